#pragma once

#include "app/disc_record.h"
#include "platform/worker_thread.h"
#include "ui/wizard_page.h"

#include <memory>

class QComboBox;
class QLabel;
class QPushButton;
class QTimer;
class QTreeWidget;
class QTreeWidgetItem;

namespace tesslow {

class PictureButton;
class QtMessageSink;
struct PlaybackData;

// Page 3: the disc's artist and album, and its tracks in rows: a check box,
// the number, the title (the track's artist beside it on a compilation) and
// the length, whole or with a tooltip, never scrolled sideways. Titles are
// looked up on a thread of its own from activation on; when several releases
// match the disc, "Release:" switches between them. F2 or a double-click
// edits a title, "Disc details..." the disc's names; edits are kept in the
// title cache as the person's own. A track can be played from the disc
// before ripping. Next needs at least one checked track; leaving the page
// ends the look-up's say and the playback, records the checked tracks and,
// on Next, makes sure the disc is still the same.
class TracksPage final : public WizardPage {
    Q_OBJECT
public:
    explicit TracksPage(const PageContext& context);
    ~TracksPage() override;
    QString Subtitle() const override;
    void OnSetActive() override;
    void OnLeave() override;
    PageTurn OnWizardNext() override;
    PageTurn OnWizardBack() override;

    bool Playing() const { return playback_.Running(); }
    // The position the "Playing" line shows, for tests.
    std::int32_t PlayingSector() const;

private:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void Fill();
    void ShowDisc();
    void ElideDiscNames();
    void ReleaseChosen(int index);
    void EditTitle(QTreeWidgetItem* item);
    void TitleEdited(QTreeWidgetItem* item, int column);
    void EditDiscDetails();
    void KeepEdits(AlbumInfo album);
    void UpdateButtons();
    void SetAll(bool checked);
    void StartLookup(const std::string& releaseId = {});
    void TitlesLoaded(bool found);
    void PlayOrStop();
    void StopPlayback();
    void PlaybackEnded();
    void ShowPlaying();
    bool DiscUnchanged();

    QLabel* disc_;
    QLabel* releaseLabel_;
    QComboBox* release_;
    QTreeWidget* list_;
    QPushButton* details_;
    PictureButton* markAll_;
    PictureButton* unmarkAll_;
    PictureButton* play_;
    QLabel* status_;
    QTimer* playingTimer_;
    DiscRecord shown_;  // the record as the list shows it
    WorkerThread lookup_;
    std::shared_ptr<QtMessageSink> lookupSink_;
    WorkerThread playback_;
    std::shared_ptr<QtMessageSink> playbackSink_;
    std::shared_ptr<PlaybackData> playbackData_;
};

}  // namespace tesslow
