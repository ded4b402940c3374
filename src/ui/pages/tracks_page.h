#pragma once

#include "app/disc_record.h"
#include "platform/worker_thread.h"
#include "ui/background_call.h"
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
struct EditWrites;
struct PlaybackData;

// Page 3: the disc's artist and album, and its tracks in rows: a check box,
// the number, the title (the track's artist beside it on a compilation) and
// the length, whole or with a tooltip, never scrolled sideways. Titles are
// looked up on a thread of its own from activation on; when several releases
// match the disc, "Release:" switches between them. F2 or a double-click
// edits a title, "Disc details..." the disc's names; edits are kept in the
// title cache as the person's own (written on a thread of its own). A track
// can be played from the disc before ripping. On activation the drive reads
// the table of contents again on a thread of its own; until it answers the
// list shows the disc as the search found it, greyed, with "Reading the
// disc...", and Next waits. Next needs at least one checked track; leaving
// the page ends the look-up's say and the playback, records the checked
// tracks and, on Next, makes sure the disc is still the same (reading it again
// on that thread, the page greyed meanwhile). Back, Cancel and closing never
// wait for the drive: a read left behind finishes on its own.
class TracksPage final : public WizardPage {
    Q_OBJECT
public:
    explicit TracksPage(const PageContext& context);
    ~TracksPage() override;
    QString Subtitle() const override;
    void OnSetActive() override;
    void OnLeave() override;
    bool OnKillActive() override;
    PageTurn OnWizardNext() override;
    PageTurn OnWizardBack() override;

    bool Playing() const { return playback_.Running(); }
    // The drive is being asked for the table of contents (on activation or
    // for Next); the page waits for its answer.
    bool Reading() const { return discRead_.Pending(); }
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
    void ReadDisc(bool again);
    void DiscRead(DiscRecord record, const std::string& failure);
    void DiscChecked(const DiscRecord& record, const std::string& failure);
    void ShowReading(bool reading);

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
    // The table of contents read again: the record read, or what failed.
    BackgroundCall<std::pair<DiscRecord, std::string>> discRead_;
    BackgroundCall<bool> cacheWrite_;  // true: the person's names are in the title cache
    std::shared_ptr<EditWrites> editWrites_;
};

}  // namespace tesslow
