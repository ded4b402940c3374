#include "ui/pages/tracks_page.h"

#include "app/settings.h"
#include "drive/toc_reader.h"
#include "metadata/track_titles.h"
#include "platform/format.h"
#include "platform/messages.h"
#include "platform/utf.h"
#include "preview/playback_thread.h"
#include "ui/controls/picture_button.h"
#include "ui/controls/pictures.h"
#include "ui/label_text.h"
#include "ui/qt_message_sink.h"
#include "ui/skin.h"
#include "ui/title_naming.h"
#include "ui/wizard_frame.h"
#include "ui/wizard_state.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>

namespace tesslow {
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

// A row's text height: the font's line spacing, or more where accented
// capitals and descenders reach beyond it (they would be clipped), and a
// little room. The rows of the grid are 2 pixels taller.
int ItemHeight(const QFontMetrics& metrics)
{
    const int ink = metrics.boundingRect(QStringLiteral("ÅÖÉÇgjpqy")).height();
    return std::max(metrics.lineSpacing(), ink) + 2;
}
int RowHeight(const QFontMetrics& metrics) { return ItemHeight(metrics) + 2; }

std::uint32_t TrackOfRow(const QListWidgetItem* item) { return item->data(Qt::UserRole).toUInt(); }

QString RowText(const DiscRecord& record, std::uint32_t index)
{
    const std::int32_t seconds = TrackExtent(record, index).value_or(TocEntry{}).length / 75;
    return QStringLiteral("%1 (%2:%3)")
        .arg(LabelText(DisplayUtf8(TitleOfAudioTrack(record, index))))
        .arg(seconds / 60)
        .arg(seconds % 60, 2, 10, QLatin1Char('0'));
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
      list_(new QListWidget(this)),
      markAll_(MakeButton(this, "markAllButton", QStringLiteral("&Mark all"), kMarkAllPicture)),
      unmarkAll_(MakeButton(this, "unmarkAllButton", QStringLiteral("&Unmark all"), kUnmarkAllPicture)),
      play_(MakeButton(this, "playButton", QStringLiteral("&Play"), kPlayPicture)),
      status_(new QLabel(this)),
      playingTimer_(new QTimer(this)),
      playbackData_(std::make_shared<PlaybackData>())
{
    list_->setObjectName(QStringLiteral("trackList"));
    list_->setViewMode(QListView::ListMode);
    list_->setFlow(QListView::TopToBottom);
    list_->setWrapping(true);
    list_->setUniformItemSizes(true);
    list_->setResizeMode(QListView::Adjust);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    // As many rows as the skin shows in one column before it wraps.
    const int rowHeight = RowHeight(list_->fontMetrics());
    list_->setFixedHeight(rowHeight * (context.skin.trackColumnsFrom - 1) + 2 * list_->frameWidth() + 2);
    status_->setObjectName(QStringLiteral("trackStatus"));

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(markAll_);
    buttons->addWidget(unmarkAll_);
    buttons->addWidget(play_);
    buttons->addStretch(1);
    auto* row = new QHBoxLayout;
    row->addWidget(list_, 1);
    row->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(row);
    layout->addWidget(status_);
    layout->addStretch(1);

    connect(list_, &QListWidget::itemChanged, this, &TracksPage::UpdateButtons);
    connect(markAll_, &QAbstractButton::clicked, this, [this] { SetAll(true); });
    connect(unmarkAll_, &QAbstractButton::clicked, this, [this] { SetAll(false); });
    connect(play_, &QAbstractButton::clicked, this, &TracksPage::PlayOrStop);
    connect(playingTimer_, &QTimer::timeout, this, &TracksPage::ShowPlaying);
}

TracksPage::~TracksPage()
{
    State().titleLookupStop->store(true);
    if (lookupSink_) lookupSink_->Close();
    lookup_.WaitFor(std::chrono::milliseconds(0));
    StopPlayback();
}

QString TracksPage::Subtitle() const { return QStringLiteral("What audio tracks do you want to extract?"); }

void TracksPage::OnSetActive()
{
    status_->clear();
    // The table of contents as the drive reads it now, through the record's
    // own open drive (which the look-up, the preview and the rip then use);
    // an unchanged disc keeps its record and titles.
    try {
        ReadToc(*State().records, State().job.driveKey);
    } catch (const std::runtime_error& error) {
        status_->setText(QString::fromStdString(error.what()));
    }
    Fill();
    StartLookup();
    UpdateButtons();
}

void TracksPage::Fill()
{
    const std::string& key = State().job.driveKey;
    shown_ = (*State().records)[key];
    const std::vector<std::uint32_t> rows = RowTracks(shown_);
    const int count = static_cast<int>(rows.size());
    const Skin& skin = Context().skin;
    const int column = count < skin.trackColumnsFrom ? 400 : skin.narrowTrackColumn;
    const QSignalBlocker quiet(list_);
    if (list_->count() != count || (count > 0 && TrackOfRow(list_->item(0)) != rows.front())) {
        list_->clear();
        // Every track is ticked; the hidden track is offered, not ticked.
        for (const std::uint32_t t : rows) {
            auto* item = new QListWidgetItem(RowText(shown_, t), list_);
            item->setData(Qt::UserRole, t);
            item->setSizeHint(QSize(column - 2, ItemHeight(list_->fontMetrics())));
            item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
            item->setCheckState(t == kHiddenTrackIndex ? Qt::Unchecked : Qt::Checked);
        }
    } else {
        for (int i = 0; i < count; ++i) list_->item(i)->setText(RowText(shown_, TrackOfRow(list_->item(i))));
    }
    // A list that fits one column needs no scroll bar; Qt would otherwise keep
    // its height free and wrap the last row into a second column.
    list_->setHorizontalScrollBarPolicy(count < skin.trackColumnsFrom ? Qt::ScrollBarAlwaysOff : Qt::ScrollBarAsNeeded);
    list_->setGridSize(QSize(column, RowHeight(list_->fontMetrics())));
}

void TracksPage::UpdateButtons()
{
    int checked = 0;
    for (int i = 0; i < list_->count(); ++i) checked += list_->item(i)->checkState() == Qt::Checked ? 1 : 0;
    markAll_->setEnabled(checked < list_->count());
    unmarkAll_->setEnabled(checked > 0);
    Frame().SetButtons({.next = checked > 0 ? ButtonState::Enabled : ButtonState::Disabled});
}

void TracksPage::SetAll(bool checked)
{
    {
        const QSignalBlocker quiet(list_);
        for (int i = 0; i < list_->count(); ++i) list_->item(i)->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
    }
    UpdateButtons();
}

void TracksPage::StartLookup()
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
    lookup_ = WorkerThread([naming = state.naming, own, key, stop = state.titleLookupStop, sink] {
        naming->lookup.Run(*own, key, *stop, *sink);
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
    int row = list_->currentRow();
    if (row < 0 || !list_->item(row)->isSelected()) {
        row = 0;
        for (int i = 0; i < list_->count(); ++i) {
            if (list_->item(i)->checkState() == Qt::Checked) {
                row = i;
                break;
            }
        }
    }
    if (list_->count() == 0) return;
    playbackData_->stop = false;
    // The hidden track plays on into track 1, as a player would play it.
    const std::uint32_t track = TrackOfRow(list_->item(row));
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

void TracksPage::OnLeave()
{
    // Titles that arrive from now on are not this page's business.
    State().titleLookupStop->store(true);
    if (lookupSink_) lookupSink_->Close();
    StopPlayback();
    std::vector<std::uint32_t>& selected = State().job.SelectedTracks;
    selected.clear();
    for (int i = 0; i < list_->count(); ++i) {
        if (list_->item(i)->checkState() == Qt::Checked) selected.push_back(TrackOfRow(list_->item(i)));
    }
}

bool TracksPage::DiscUnchanged()
{
    // The table of contents read again: a disc taken out or changed reads
    // differently (or not at all).
    const std::string& key = State().job.driveKey;
    DiscRecords check;
    check[key].drive = (*State().records)[key].drive;
    try {
        ReadToc(check, key);
    } catch (const std::runtime_error&) {
        return false;
    }
    return check[key].rawToc == shown_.rawToc;
}

PageTurn TracksPage::OnWizardNext()
{
    if (DiscUnchanged()) return PageTurn::Onward();
    QMessageBox::warning(this, QStringLiteral("Tesslow"),
                         QStringLiteral("The disc in the drive has been taken out or changed. Please insert the "
                                        "disc you want to rip."));
    return PageTurn::ToTemplate(TemplateOf(PageId::InsertDisc));
}

PageTurn TracksPage::OnWizardBack()
{
    State().ripAgain = true;  // the insert-disc page prompts rather than searching again
    return PageTurn::Onward();
}

}  // namespace tesslow
