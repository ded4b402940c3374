#include "ui/pages/tracks_page.h"

#include "app/settings.h"
#include "drive/toc_reader.h"
#include "metadata/album_edits.h"
#include "metadata/cover_art_lookup.h"
#include "metadata/disc_id.h"
#include "metadata/track_titles.h"
#include "platform/format.h"
#include "platform/messages.h"
#include "platform/utf.h"
#include "preview/playback_thread.h"
#include "ui/controls/picture_button.h"
#include "ui/controls/pictures.h"
#include "ui/disc_details_dialog.h"
#include "ui/label_text.h"
#include "ui/qt_message_sink.h"
#include "ui/skin.h"
#include "ui/title_naming.h"
#include "ui/wizard_frame.h"
#include "ui/wizard_state.h"

#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QShortcut>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <mutex>

namespace tesslow {

// The title-cache writes of one page, in the order the person made the
// edits: a write that comes to its turn after a newer one has written is left
// out, so the newest names are the ones kept.
struct EditWrites {
    std::mutex turn;
    std::uint64_t made = 0;     // edits made; the UI thread only
    std::uint64_t written = 0;  // the newest edit written; under `turn`
};

namespace {

constexpr auto kPlaybackWait = std::chrono::milliseconds(1000);

// The track indexes the rows show: the hidden track first when the disc has
// one, then every audio track.
std::vector<std::uint32_t> RowTracks(const DiscRecord& record)
{
    std::vector<std::uint32_t> rows;
    if (record.hiddenTrack) rows.push_back(kHiddenTrackIndex);
    for (std::uint32_t t = 0; t < record.tracks.size(); ++t) rows.push_back(t);
    return rows;
}

// The list's columns.
enum Column { kNumber, kTitle, kArtist, kLength, kColumns };

// A row's height: the font's line spacing, or more where accented capitals
// and descenders reach beyond it (they would be clipped), and a little room.
int RowHeight(const QFontMetrics& metrics)
{
    const int ink = metrics.boundingRect(QStringLiteral("ÅÖÉÇgjpqy")).height();
    return std::max(metrics.lineSpacing(), ink) + 4;
}

std::uint32_t TrackOfRow(const QTreeWidgetItem* item) { return item->data(kNumber, Qt::UserRole).toUInt(); }

// The title a row shows: on a compilation the track's own title beside its
// artist, else the title as the disc is named.
std::string RowTitle(const DiscRecord& record, std::uint32_t index, bool artistColumn)
{
    const AlbumInfo& album = record.album;
    if (artistColumn && index < album.credits.size() && index < album.trackTitles.size() &&
        !album.credits[index].artist.empty() &&
        album.trackTitles[index] == ListedTitle(album.credits[index]))
        return album.credits[index].title;
    return TitleOfAudioTrack(record, index);
}

std::string RowArtist(const DiscRecord& record, std::uint32_t index)
{
    const AlbumInfo& album = record.album;
    if (index < album.credits.size() && !album.credits[index].artist.empty()) return album.credits[index].artist;
    return album.artist;
}

void SetCell(QTreeWidgetItem* item, int column, const QString& text)
{
    item->setText(column, text);
    item->setToolTip(column, text);  // for what the column cannot show whole
}

void FillRow(QTreeWidgetItem* item, const DiscRecord& record, std::uint32_t index, bool artistColumn)
{
    const std::int32_t seconds = TrackExtent(record, index).value_or(TocEntry{}).length / 75;
    item->setText(kNumber, index == kHiddenTrackIndex ? QStringLiteral("0") : QString::number(index + 1));
    SetCell(item, kTitle, QString::fromStdString(DisplayUtf8(RowTitle(record, index, artistColumn))));
    SetCell(item, kArtist, artistColumn ? QString::fromStdString(DisplayUtf8(RowArtist(record, index))) : QString());
    item->setText(kLength, QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0')));
    item->setTextAlignment(kNumber, Qt::AlignRight | Qt::AlignVCenter);
    item->setTextAlignment(kLength, Qt::AlignRight | Qt::AlignVCenter);
}

// "Title, GB, 2010, Label" for the release drop-down.
QString ReleaseText(const ReleaseSummary& release)
{
    QStringList parts{QString::fromStdString(DisplayUtf8(release.title))};
    for (const std::string* part : {&release.country, &release.date, &release.label})
        if (!part->empty()) parts << QString::fromStdString(DisplayUtf8(part->substr(0, part == &release.date ? 4 : part->size())));
    if (release.discs > 1) parts << QStringLiteral("disc %1 of %2").arg(release.disc).arg(release.discs);
    return parts.join(QStringLiteral(", "));
}

PictureButton* MakeButton(QWidget* parent, const char* name, const QString& caption, int picture)
{
    auto* button = new PictureButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(caption);
    button->SetPicture(LoadPicture(picture));
    button->SetPictureOffset(QPoint(11, 0));
    button->SetCaptionTop(48);
    button->setFixedSize(90, 76);
    return button;
}

}  // namespace

TracksPage::TracksPage(const PageContext& context)
    : WizardPage(PageId::Tracks, context),
      disc_(new QLabel(this)),
      releaseLabel_(new QLabel(QStringLiteral("&Release:"), this)),
      release_(new QComboBox(this)),
      list_(new QTreeWidget(this)),
      details_(new QPushButton(QStringLiteral("&Disc details..."), this)),
      markAll_(MakeButton(this, "markAllButton", QStringLiteral("&Mark all"), kMarkAllPicture)),
      unmarkAll_(MakeButton(this, "unmarkAllButton", QStringLiteral("&Unmark all"), kUnmarkAllPicture)),
      play_(MakeButton(this, "playButton", QStringLiteral("&Play"), kPlayPicture)),
      status_(new QLabel(this)),
      playingTimer_(new QTimer(this)),
      playbackData_(std::make_shared<PlaybackData>()),
      editWrites_(std::make_shared<EditWrites>())
{
    list_->setObjectName(QStringLiteral("trackList"));
    list_->setColumnCount(kColumns);
    list_->setHeaderLabels({QStringLiteral("#"), QStringLiteral("Title"), QStringLiteral("Artist"),
                            QStringLiteral("Length")});
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setAllColumnsShowFocus(true);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);  // F2 and a double-click edit the title only
    list_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    list_->setTextElideMode(Qt::ElideRight);
    QHeaderView* header = list_->header();
    header->setStretchLastSection(false);
    header->setSectionResizeMode(kNumber, QHeaderView::ResizeToContents);
    header->setSectionResizeMode(kTitle, QHeaderView::Stretch);
    header->setSectionResizeMode(kArtist, QHeaderView::Stretch);
    header->setSectionResizeMode(kLength, QHeaderView::ResizeToContents);
    header->setSectionsMovable(false);
    list_->setColumnHidden(kArtist, true);
    // Rows tall enough for accented capitals; as many as the skin shows at once.
    list_->setStyleSheet(QStringLiteral("QTreeView::item { min-height: %1px; }").arg(RowHeight(list_->fontMetrics())));
    list_->setMinimumHeight(RowHeight(list_->fontMetrics()) * 8);
    disc_->setObjectName(QStringLiteral("discNames"));
    disc_->setTextFormat(Qt::PlainText);
    // The names take the room the release choice leaves, cut short with an
    // ellipsis when they must be (the tooltip holds them whole).
    disc_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    disc_->installEventFilter(this);
    release_->setObjectName(QStringLiteral("releaseChoice"));
    release_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    release_->setMinimumContentsLength(24);
    releaseLabel_->setObjectName(QStringLiteral("releaseLabel"));
    releaseLabel_->setBuddy(release_);
    details_->setObjectName(QStringLiteral("discDetailsButton"));
    status_->setObjectName(QStringLiteral("trackStatus"));

    auto* top = new QHBoxLayout;
    top->addWidget(disc_, 1);
    top->addWidget(releaseLabel_);
    top->addWidget(release_);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(markAll_);
    buttons->addWidget(unmarkAll_);
    buttons->addWidget(play_);
    buttons->addStretch(1);
    auto* row = new QHBoxLayout;
    row->addWidget(list_, 1);
    row->addLayout(buttons);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(status_, 1);
    bottom->addWidget(details_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(top);
    layout->addLayout(row, 1);
    layout->addLayout(bottom);

    connect(list_, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int column) {
        if (column == kTitle) TitleEdited(item, column);
        UpdateButtons();
    });
    connect(list_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) { EditTitle(item); });
    auto* rename = new QShortcut(QKeySequence(Qt::Key_F2), list_, nullptr, nullptr, Qt::WidgetShortcut);
    connect(rename, &QShortcut::activated, this, [this] { EditTitle(list_->currentItem()); });
    connect(release_, &QComboBox::activated, this, &TracksPage::ReleaseChosen);
    connect(details_, &QPushButton::clicked, this, &TracksPage::EditDiscDetails);
    connect(markAll_, &QAbstractButton::clicked, this, [this] { SetAll(true); });
    connect(unmarkAll_, &QAbstractButton::clicked, this, [this] { SetAll(false); });
    connect(play_, &QAbstractButton::clicked, this, &TracksPage::PlayOrStop);
    connect(playingTimer_, &QTimer::timeout, this, &TracksPage::ShowPlaying);
}

TracksPage::~TracksPage()
{
    discRead_.Cancel();
    cacheWrite_.Cancel();
    State().titleLookupStop->store(true);
    if (lookupSink_) lookupSink_->Close();
    lookup_.WaitFor(std::chrono::milliseconds(0));
    StopPlayback();
}

QString TracksPage::Subtitle() const { return QStringLiteral("What audio tracks do you want to extract?"); }

void TracksPage::OnSetActive()
{
    // The disc as the search found it, greyed until the drive has read it again.
    Fill();
    ReadDisc(false);
}

void TracksPage::ReadDisc(bool again)
{
    ShowReading(true);
    // The table of contents as the drive reads it now, through the record's
    // own open drive (which the look-up, the preview and the rip then use).
    // On activation a copy of the record is read, so an unchanged disc keeps
    // its titles; again, for Next, a blank record with the same drive. The
    // read works on a record of its own: one left behind by a page that moved
    // on never writes what the pages read.
    const std::string key = State().job.driveKey;
    const DiscRecord& record = (*State().records)[key];
    DiscRecord start;
    if (again)
        start.drive = record.drive;
    else
        start = record;
    discRead_.Start(
        [key, start = std::move(start)]() mutable {
            DiscRecords own;
            own[key] = std::move(start);
            std::string failure;
            try {
                ReadToc(own, key);
            } catch (const std::runtime_error& error) {
                failure = error.what();
            }
            return std::pair<DiscRecord, std::string>(std::move(own[key]), failure);
        },
        [this, again](std::pair<DiscRecord, std::string> read) {
            if (again)
                DiscChecked(read.first, read.second);
            else
                DiscRead(std::move(read.first), read.second);
        });
}

void TracksPage::DiscRead(DiscRecord record, const std::string& failure)
{
    if (Frame().CurrentPage() != this) return;
    ShowReading(false);
    (*State().records)[State().job.driveKey] = std::move(record);
    status_->setText(QString::fromStdString(failure));
    Fill();
    StartLookup();
    UpdateButtons();
}

void TracksPage::ShowReading(bool reading)
{
    list_->setEnabled(!reading);
    for (QWidget* control : std::initializer_list<QWidget*>{release_, details_, markAll_, unmarkAll_, play_})
        control->setEnabled(!reading);
    if (reading) {
        status_->setText(QStringLiteral("Reading the disc..."));
        Frame().SetButtons({.next = ButtonState::Disabled});
    } else {
        status_->clear();
        details_->setEnabled(!shown_.tracks.empty());
    }
}

void TracksPage::Fill()
{
    const std::string& key = State().job.driveKey;
    shown_ = (*State().records)[key];
    const std::vector<std::uint32_t> rows = RowTracks(shown_);
    const int count = static_cast<int>(rows.size());
    const bool artists = HasTrackArtists(shown_.album);
    const QSignalBlocker quiet(list_);
    list_->setColumnHidden(kArtist, !artists);
    if (list_->topLevelItemCount() != count || (count > 0 && TrackOfRow(list_->topLevelItem(0)) != rows.front())) {
        list_->clear();
        // Every track is ticked; the hidden track is offered, not ticked.
        for (const std::uint32_t t : rows) {
            auto* item = new QTreeWidgetItem(list_);
            item->setData(kNumber, Qt::UserRole, t);
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(kNumber, t == kHiddenTrackIndex ? Qt::Unchecked : Qt::Checked);
            FillRow(item, shown_, t, artists);
        }
    } else {
        // The same disc: the checks stay as the person left them.
        for (int i = 0; i < count; ++i) FillRow(list_->topLevelItem(i), shown_, TrackOfRow(list_->topLevelItem(i)), artists);
    }
    ShowDisc();
}

void TracksPage::ShowDisc()
{
    const AlbumInfo& album = shown_.album;
    QString names = QString::fromStdString(DisplayUtf8(album.artist));
    if (!album.album.empty())
        names += (names.isEmpty() ? QString() : QStringLiteral(" \u2014 ")) + QString::fromStdString(DisplayUtf8(album.album));
    disc_->setToolTip(names);
    ElideDiscNames();
    const QSignalBlocker quiet(release_);
    release_->clear();
    int used = -1;
    for (std::size_t i = 0; i < album.releases.size(); ++i) {
        release_->addItem(ReleaseText(album.releases[i]), QString::fromStdString(album.releases[i].id));
        release_->setItemData(static_cast<int>(i), ReleaseText(album.releases[i]), Qt::ToolTipRole);
        if (album.releases[i].id == album.source) used = static_cast<int>(i);
    }
    release_->setCurrentIndex(used);
    // A choice only where there is one, and never over the person's own names.
    const bool choice = album.releases.size() > 1 && !album.edited;
    release_->setVisible(choice);
    releaseLabel_->setVisible(choice);
    details_->setEnabled(!shown_.tracks.empty() && !Reading());
}

void TracksPage::ElideDiscNames()
{
    const QString names = disc_->toolTip();
    disc_->setText(disc_->fontMetrics().elidedText(names, Qt::ElideRight, std::max(disc_->width(), 1)));
}

bool TracksPage::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == disc_ && event->type() == QEvent::Resize) ElideDiscNames();
    return WizardPage::eventFilter(watched, event);
}

void TracksPage::ReleaseChosen(int index)
{
    const std::string id = release_->itemData(index).toString().toStdString();
    if (id.empty() || id == shown_.album.source) return;
    status_->setText(QStringLiteral("Loading the titles of the release..."));
    StartLookup(id);
}

void TracksPage::EditTitle(QTreeWidgetItem* item)
{
    if (!item || Reading() || TrackOfRow(item) == kHiddenTrackIndex) return;
    item->setFlags(item->flags() | Qt::ItemIsEditable);
    list_->editItem(item, kTitle);
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
}

void TracksPage::TitleEdited(QTreeWidgetItem* item, int column)
{
    const std::uint32_t index = TrackOfRow(item);
    if (column != kTitle || index == kHiddenTrackIndex) return;
    AlbumInfo album = shown_.album;
    const std::string typed = item->text(kTitle).trimmed().toStdString();
    if (typed == RowTitle(shown_, index, HasTrackArtists(album))) return;
    TitleEveryTrack(album, shown_.tracks.size());
    RetitleTrack(album, index, typed);
    KeepEdits(std::move(album));
}

void TracksPage::EditDiscDetails()
{
    DiscDetailsDialog dialog(this, shown_.album, CoverArtSizeOf(Settings().CoverArtSize));
    if (dialog.exec() != QDialog::Accepted) return;
    AlbumInfo album = dialog.Album();
    if (album == shown_.album) return;
    TitleEveryTrack(album, shown_.tracks.size());
    KeepEdits(std::move(album));
}

void TracksPage::KeepEdits(AlbumInfo album)
{
    album.edited = true;
    WizardState& state = State();
    // A look-up still under way must not put its names over the person's.
    state.titleLookupStop->store(true);
    if (lookupSink_) lookupSink_->Close();
    (*state.records)[state.job.driveKey].album = album;
    if (!state.naming) state.naming = std::make_shared<TitleNaming>(Settings().HomeURL);
    status_->clear();
    const std::string id = DiscIdFromRawToc(shown_.rawToc);
    if (!id.empty()) {
        // The cache file is written on a thread of its own; only a failure is said.
        const std::uint64_t edit = ++editWrites_->made;
        cacheWrite_.Start(
            [naming = state.naming, writes = editWrites_, edit, id, album] {
                const std::lock_guard turn(writes->turn);
                if (writes->written > edit) return true;  // newer names are in already
                writes->written = edit;
                return naming->lookup.KeepEdits(id, album);
            },
            [this](bool kept) {
                if (!kept)
                    status_->setText(
                        QStringLiteral("Your names could not be saved in the title cache; they are used for this rip."));
            });
    }
    Fill();
}

void TracksPage::UpdateButtons()
{
    int checked = 0;
    const int count = list_->topLevelItemCount();
    for (int i = 0; i < count; ++i) checked += list_->topLevelItem(i)->checkState(kNumber) == Qt::Checked ? 1 : 0;
    markAll_->setEnabled(checked < count);
    unmarkAll_->setEnabled(checked > 0);
    Frame().SetButtons({.next = checked > 0 && !Reading() ? ButtonState::Enabled : ButtonState::Disabled});
}

void TracksPage::SetAll(bool checked)
{
    {
        const QSignalBlocker quiet(list_);
        for (int i = 0; i < list_->topLevelItemCount(); ++i)
            list_->topLevelItem(i)->setCheckState(kNumber, checked ? Qt::Checked : Qt::Unchecked);
    }
    UpdateButtons();
}

void TracksPage::StartLookup(const std::string& releaseId)
{
    WizardState& state = State();
    if (!state.naming) state.naming = std::make_shared<TitleNaming>(Settings().HomeURL);
    // A fresh flag for this activation: a look-up left behind keeps its own, set.
    state.titleLookupStop->store(true);
    state.titleLookupStop = std::make_shared<std::atomic<bool>>(false);
    if (lookupSink_) lookupSink_->Close();
    lookup_.WaitFor(std::chrono::milliseconds(0));
    // The look-up names a copy of the record: one left behind by a page that
    // moved on never writes what the pages read. Its titles are taken over
    // with its message, after its thread has ended.
    const std::string key = state.job.driveKey;
    auto own = std::make_shared<DiscRecords>();
    (*own)[key] = (*state.records)[key];
    auto sink = std::make_shared<QtMessageSink>([this, own, key](const Message& message) -> std::intptr_t {
        if (message.id != UM_TITLES_LOADED) return 0;
        lookup_.WaitFor(std::chrono::milliseconds(1000));
        (*State().records)[key].album = (*own)[key].album;
        TitlesLoaded(message.wParam == 1);
        return 0;
    });
    lookupSink_ = sink;
    ReleaseWish wish;
    wish.id = releaseId;
    lookup_ = WorkerThread([naming = state.naming, own, key, stop = state.titleLookupStop, sink, wish] {
        naming->lookup.Run(*own, key, *stop, *sink, wish);
    });
}

void TracksPage::TitlesLoaded(bool found)
{
    if (found) {
        Fill();
        status_->setText(QStringLiteral("Track titles have been successfully loaded."));
    } else {
        status_->setText(QStringLiteral("Track titles for this disc could not be found."));
    }
}

std::int32_t TracksPage::PlayingSector() const { return playbackData_->position; }

void TracksPage::PlayOrStop()
{
    if (playback_.Running()) {
        StopPlayback();
        return;
    }
    // The selected row, else the first checked one, else the first.
    const int count = list_->topLevelItemCount();
    if (count == 0) return;
    int row = list_->currentItem() && list_->currentItem()->isSelected()
                  ? list_->indexOfTopLevelItem(list_->currentItem())
                  : -1;
    if (row < 0) {
        row = 0;
        for (int i = 0; i < count; ++i) {
            if (list_->topLevelItem(i)->checkState(kNumber) == Qt::Checked) {
                row = i;
                break;
            }
        }
    }
    playbackData_->stop = false;
    // The hidden track plays on into track 1, as a player would play it.
    const std::uint32_t track = TrackOfRow(list_->topLevelItem(row));
    playbackData_->position = TrackExtent(shown_, track).value_or(TocEntry{}).start;
    auto sink = std::make_shared<QtMessageSink>([this](const Message& message) -> std::intptr_t {
        if (message.id == UM_PLAYBACK_ENDED) PlaybackEnded();
        return 0;
    });
    playbackSink_ = sink;
    playback_ = WorkerThread([data = playbackData_, records = State().records, key = State().job.driveKey,
                              track = std::size_t{track}, sink] {
        RunPlayback(*data, *records, key, track, *sink);
    });
    play_->setText(QStringLiteral("&Stop"));
    play_->SetPicture(LoadPicture(kStopPicture));
    playingTimer_->start(1000);
}

void TracksPage::ShowPlaying()
{
    if (!playback_.Running()) return;
    status_->setText(LabelText(Format("Playing %1%", DisplayUtf8(TitleAtDiscPosition(shown_, playbackData_->position)))));
}

void TracksPage::StopPlayback()
{
    if (!playback_.Running()) return;
    playbackData_->stop = true;
    playback_.WaitFor(kPlaybackWait);
    PlaybackEnded();
}

void TracksPage::PlaybackEnded()
{
    if (playbackSink_) playbackSink_->Close();
    playback_.WaitFor(kPlaybackWait);
    play_->setText(QStringLiteral("&Play"));
    play_->SetPicture(LoadPicture(kPlayPicture));
    playingTimer_->stop();
    if (playbackData_->soundMissing.load())
        status_->setText(QStringLiteral("No sound output is available."));
    else
        status_->clear();
}

bool TracksPage::OnKillActive()
{
    // However the page is left, a table of contents still on its way is not
    // its business any more.
    if (Reading()) {
        discRead_.Cancel();
        ShowReading(false);
    }
    return true;
}

void TracksPage::OnLeave()
{
    // Titles and a table of contents that arrive from now on are not this
    // page's business.
    if (Reading()) {
        discRead_.Cancel();
        ShowReading(false);
    }
    State().titleLookupStop->store(true);
    if (lookupSink_) lookupSink_->Close();
    StopPlayback();
    // Positions on the disc, as the command line takes them: 0 is the hidden track.
    std::vector<std::uint32_t>& positions = State().choices.trackPositions;
    positions.clear();
    for (int i = 0; i < list_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = list_->topLevelItem(i);
        const std::uint32_t track = TrackOfRow(item);
        if (item->checkState(kNumber) == Qt::Checked) positions.push_back(track == kHiddenTrackIndex ? 0 : track + 1);
    }
}

PageTurn TracksPage::OnWizardNext()
{
    // The table of contents read again: a disc taken out or changed reads
    // differently (or not at all). The page goes on when the drive answers.
    ReadDisc(true);
    return PageTurn::Stay();
}

void TracksPage::DiscChecked(const DiscRecord& record, const std::string& failure)
{
    if (Frame().CurrentPage() != this) return;
    ShowReading(false);
    if (failure.empty() && record.rawToc == shown_.rawToc) {
        Frame().SetCurSel(Frame().CurrentIndex() + 1);
        return;
    }
    QMessageBox::warning(this, QStringLiteral("Tesslow"),
                         QStringLiteral("The disc in the drive has been taken out or changed. Please insert the "
                                        "disc you want to rip."));
    if (Frame().CurrentPage() == this) Frame().SetCurSelId(TemplateOf(PageId::InsertDisc));
}

PageTurn TracksPage::OnWizardBack()
{
    State().ripAgain = true;  // the insert-disc page prompts rather than searching again
    return PageTurn::Onward();
}

}  // namespace tesslow
