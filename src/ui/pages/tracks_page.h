#pragma once

#include "app/disc_record.h"
#include "platform/worker_thread.h"
#include "ui/wizard_page.h"

#include <memory>

class QLabel;
class QListWidget;
class QTimer;

namespace tesslow {

class PictureButton;
class QtMessageSink;
struct PlaybackData;

// Page 3: the disc's tracks, each with a check box, its title and length.
// Titles are looked up on a thread of its own from activation on; a track can
// be played from the disc before ripping. Next needs at least one checked
// track; leaving the page ends the look-up's say and the playback, records
// the checked tracks and, on Next, makes sure the disc is still the same.
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
    void Fill();
    void UpdateButtons();
    void SetAll(bool checked);
    void StartLookup();
    void TitlesLoaded(bool found);
    void PlayOrStop();
    void StopPlayback();
    void PlaybackEnded();
    void ShowPlaying();
    bool DiscUnchanged();

    QListWidget* list_;
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
