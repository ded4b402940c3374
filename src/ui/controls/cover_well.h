#pragma once

#include "platform/worker_thread.h"
#include "ripper/cover_art_fetch.h"

#include <QImage>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

class QLabel;
class QPushButton;

namespace tesslow {

class QtMessageSink;

// A picture well for a disc's front cover: the picture (or "No cover"), a
// line saying where it comes from, and "Choose..." (a file dialog for JPEG
// and PNG) and "Remove" buttons. Every picture is found, read, checked and
// scaled on a thread of its own, never on the GUI thread: the release's
// cover (cache or archive) when the well is made, a chosen file when it is
// chosen, which is then kept as a copy in the cover cache. A file that is not
// a picture leaves the well as it was and says why. GUI thread only; a
// look-up still under way when the well goes is left to end on its own.
class CoverWell final : public QWidget {
    Q_OBJECT
public:
    // `wish` names what the disc has now: the person's file, none, or its release.
    CoverWell(QWidget* parent, CoverWish wish);
    ~CoverWell() override;

    // What the person did: nothing, chose a picture (its copy's path), or removed it.
    enum class Choice { Unchanged, Chosen, Removed };
    Choice PersonsChoice() const { return choice_; }
    const std::string& ChosenFile() const { return chosenFile_; }

    // Takes the picture in `path` as the person's, as "Choose..." does once a
    // file is picked (tests call it without the file dialog).
    void ChooseFile(const QString& path);
    void Remove();

    bool HasPicture() const { return hasPicture_; }
    // A look-up is under way.
    bool Looking() const { return looking_; }

signals:
    // A look-up ended and the well shows its outcome.
    void Shown();

private:
    struct Shared;
    void Start(CoverWish wish, bool chosen);
    void Arrived(std::uint64_t generation);
    void ShowNone(const QString& why);
    void ChooseWithDialog();

    QLabel* picture_;
    QLabel* source_;
    QPushButton* choose_;
    QPushButton* remove_;
    std::shared_ptr<Shared> shared_;
    std::shared_ptr<QtMessageSink> sink_;
    std::vector<WorkerThread> lookups_;
    std::uint64_t generation_ = 0;
    Choice choice_ = Choice::Unchanged;
    std::string chosenFile_;
    bool hasPicture_ = false;
    bool looking_ = false;
    std::string cacheFolder_;
};

}  // namespace tesslow
