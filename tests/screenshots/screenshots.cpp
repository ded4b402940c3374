// Writes a picture of every wizard page in both skins, as a person would see
// it at the wizard's own size: OUTPUT_FOLDER/<skin>-<NN>-<page>.png.
//
//   ui_screenshots OUTPUT_FOLDER

#include "app/settings.h"
#include "drive/disc_probe.h"
#include "drive/toc_reader.h"
#include "app/cover_picture.h"
#include "metadata/cover_cache.h"
#include "metadata/disc_id.h"
#include "metadata/title_cache.h"
#include "support/test_disc.h"
#include "support/dark_palette.h"
#include "support/recording_shell.h"
#include "support/temp_dir.h"
#include "ui/controls/browse_button.h"
#include "ui/controls/cover_well.h"
#include "ui/controls/hyperlink_label.h"
#include "ui/controls/picture_button.h"
#include "ui/controls/pictures.h"
#include "ui/controls/task_dialog.h"
#include "ui/guarded_application.h"
#include "ui/page_id.h"
#include "ui/pages/tracks_page.h"
#include "ui/skin.h"
#include "ui/wizard_frame.h"
#include "ui/wizard_page.h"
#include "ui/wizard_pages.h"
#include "ui/wizard_state.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <QPixmap>
#include <QDialog>
#include <QTest>

#include <cstdio>
#include <cstdlib>

namespace {

const char* const kPageNames[] = {"welcome", "insert-disc", "tracks",   "format", "quality",
                                  "destination", "ready",   "progress", "final"};

// A disc of 13 named tracks in the emulated drive, its titles in the cache,
// with 23 seconds of audio hidden before track 1: 14 rows.
std::string InsertDemoDisc(const std::filesystem::path& folder)
{
    using namespace tesslow;
    test::TestDisc disc;
    for (int t = 0; t < 13; ++t) disc.tracks.push_back({900 + 150 * (t % 5)});
    disc.tracks.front().sectors += 1725;
    disc.tracks.front().indexZero = 1725;
    const test::WrittenDisc written = test::WriteTestDisc(folder, disc, "screenshots");
    DiscRecords records;
    ProbeDisc(records, written.cue.string());
    AlbumInfo album;
    album.artist = "The Tesslow Ensemble";
    album.album = "Music for Screenshots";
    album.year = "2026";
    const char* const titles[] = {"Overture", "Morning Light", "The Long Road", "Interlude in Blue", "Harbour Song",
                                  "Clockwork", "Night Train", "Paper Boats", "Reprise", "A Quiet Room",
                                  "Northern Lights", "Tin Roof Rain", "Last Dance"};
    for (const char* title : titles) {
        album.trackTitles.push_back(title);
        album.credits.push_back({title});
    }
    // Two tracks with guests, and a second release of the disc: the artist
    // column and the release choice show.
    for (const auto& [track, artist] : {std::pair{1, "Ana Lira"}, std::pair{6, "The Tesslow Ensemble & Kofi Mensah"}}) {
        album.credits[track].artist = artist;
        album.trackTitles[track] = std::string(artist) + " / " + titles[track];
    }
    album.source = "5d0c1b8e-7a42-4f3e-9b61-2c8d4e7f0a13";
    album.releases = {{album.source, album.album, album.artist, "2026-03-01", "GB", "Corvalen Records"},
                      {"5d0c1b8e-7a42-4f3e-9b61-2c8d4e7f0a14", album.album, album.artist, "2026-06-12", "JP", "Tesslow Japan"}};
    TitleCache cache;
    cache.Store(DiscIdFromRawToc(records[written.cue.string()].rawToc), album);
    cache.Write();
    // The release's front cover, as an earlier rip left it in the cover cache.
    QImage front(500, 500, QImage::Format_RGB32);
    QPainter painter(&front);
    QLinearGradient ground(0, 0, 500, 500);
    ground.setColorAt(0, QColor(0x1d, 0x3b, 0x5a));
    ground.setColorAt(1, QColor(0xd9, 0x8c, 0x3f));
    painter.fillRect(front.rect(), ground);
    painter.setPen(Qt::white);
    painter.setFont(QFont(QStringLiteral("DejaVu Serif"), 40));
    painter.drawText(front.rect().adjusted(30, 30, -30, -30), Qt::AlignLeft | Qt::AlignBottom | Qt::TextWordWrap,
                     QStringLiteral("Music for Screenshots"));
    painter.end();
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    front.save(&buffer, "JPEG", 90);
    if (const auto picture = ReadCoverPicture(jpeg.toStdString()))
        (void)CoverCache().Store(CoverCache::ReleaseKey(album.source, 500), *picture);
    return written.cue.string();
}

bool Save(QWidget& widget, const QDir& folder, const QString& name)
{
    if (widget.grab().save(folder.filePath(name))) return true;
    std::fprintf(stderr, "ui_screenshots: cannot write %s\n", qPrintable(folder.filePath(name)));
    return false;
}

// Clicks the button that opens a dialog, saves the dialog once it shows
// (however slowly it comes), and closes it.
bool ShootDialog(QWidget& frame, const char* button, const QDir& folder, const QString& name)
{
    bool shot = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) return;
        // A cover well shows its picture once it has been read.
        if (const auto* well = dialog->findChild<tesslow::CoverWell*>(); well && well->Looking()) return;
        watch.stop();
        shot = Save(*dialog, folder, name);
        dialog->reject();
    });
    watch.start(50);
    frame.findChild<QPushButton*>(QString::fromLatin1(button))->click();
    // A dialog that waits for a worker's answer (the options ask the drive first) opens later.
    (void)QTest::qWaitFor([&shot] { return shot; }, 5000);
    return shot;
}

// The progress page after more than 10 s of a slow rip, so that it shows
// an estimate; the rip is then cancelled.
bool ShootRip(tesslow::WizardFrame& frame, tesslow::WizardState& state, const QDir& folder, const QString& skinName)
{
    using namespace tesslow;
    frame.Press(frame.skin().restartButton);  // "Rip more": the labels as they were
    const test::WrittenDisc slow = test::WriteTestDisc(
        folder.filePath(QStringLiteral("../screenshot-discs")).toStdString(),
        {.tracks = {{2000}, {2000}}, .conditions = {"SPEED 150"}}, skinName.toStdString());
    state.job.driveKey = slow.cue.string();
    ReadToc(*state.records, slow.cue.string());
    state.job.SelectedTracks = {0, 1};
    state.job.format = FormatCode::Flac;
    state.job.OutputFolder = folder.filePath(QStringLiteral("../screenshot-rip")).toStdString();
    state.job.AlwaysOverwrite = true;
    frame.SetCurSel(static_cast<int>(PageId::Ready));
    frame.Press(WizardButton::Next);
    QTest::qWait(11500);
    const bool saved = Save(frame, folder, QStringLiteral("%1-08-progress.png").arg(skinName));
    // Yes to "Are you sure?", from inside the dialog's own event loop.
    QTimer::singleShot(100, [] {
        if (auto* dialog = qobject_cast<TaskDialog*>(QApplication::activeModalWidget())) dialog->ClickButton(task::kIdYes);
    });
    frame.Press(WizardButton::Cancel);
    (void)QTest::qWaitFor([&] { return frame.CurrentPage()->Id() == PageId::Final; }, 10000);
    std::filesystem::remove_all(folder.filePath(QStringLiteral("../screenshot-rip")).toStdString());
    std::filesystem::remove_all(folder.filePath(QStringLiteral("../screenshot-discs")).toStdString());
    return saved;
}

// The wizard of one skin over the disc in `discKey`, shown offscreen.
struct ShownWizard {
    ShownWizard(tesslow::SkinKind kind, const std::string& discKey)
        : skin(tesslow::MakeSkin(kind, tesslow::MakeUiFonts())), frame(skin)
    {
        state.job.driveKey = discKey;
        tesslow::ProbeDisc(*state.records, discKey);
        tesslow::AddWizardPages(tesslow::PageContext{frame, state, skin, shell});
        frame.Start();
        frame.show();
        (void)QTest::qWaitForWindowExposed(&frame);
    }
    QString SkinName() const { return skin.kind == tesslow::SkinKind::Aero ? QStringLiteral("aero") : QStringLiteral("classic"); }

    // Selects a page; the tracks page once the title look-up has said its piece.
    void Show(tesslow::PageId page)
    {
        frame.SetCurSel(static_cast<int>(page));
        QTest::qWait(20);
        if (page != tesslow::PageId::Tracks) return;
        auto* tracks = frame.findChild<tesslow::TracksPage*>();
        auto* status = frame.findChild<QLabel*>(QStringLiteral("trackStatus"));
        (void)QTest::qWaitFor([tracks, status] { return !tracks->Reading() && !status->text().isEmpty(); }, 5000);
    }

    tesslow::Skin skin;
    tesslow::WizardState state;
    tesslow::test::RecordingShell shell;
    tesslow::WizardFrame frame;
};

bool Shoot(tesslow::SkinKind kind, const QDir& folder, const std::string& discKey)
{
    using namespace tesslow;
    ShownWizard shown(kind, discKey);
    WizardState& state = shown.state;
    WizardFrame& frame = shown.frame;
    const QString skinName = shown.SkinName();
    for (int index = 0; index < kPageCount; ++index) {
        shown.Show(static_cast<PageId>(index));
        const QString name = QStringLiteral("%1-%2-%3.png").arg(skinName).arg(index + 1, 2, 10, QChar('0')).arg(kPageNames[index]);
        if (!Save(frame, folder, name)) return false;
        if (index == static_cast<int>(PageId::Progress)) continue;  // shot mid-rip below
        if (index == static_cast<int>(PageId::Destination)) {
            // What the destination page hands on when it is left. No track
            // was chosen on a tracks page, so the progress page shown next
            // rips none: it is shot mid-rip below.
            frame.Press(WizardButton::Next);
            frame.SetCurSel(index);
            state.job.SelectedTracks.clear();
        }
        if (index == static_cast<int>(PageId::Ready)) {
            // The options dialog from the ready page, with what is kept for the rip's drive.
            if (!ShootDialog(frame, "optionsButton", folder, QStringLiteral("%1-07-options.png").arg(skinName)))
                return false;
        }
        if (index == static_cast<int>(PageId::Final)) {
            // Each outcome, with the rip's notes and what AccurateRip said of it.
            const struct {
                RipResult result;
                const char* name;
                const char* accuracy;
                const char* errors;
                const char* notes = "";
                int tracksRipped = -1;
            } outcomes[] = {
                {RipResult::Success, "completed", "AccurateRip: all 12 tracks accurately ripped (confidence 45).", ""},
                {RipResult::Success, "offset-found", "AccurateRip: all 12 tracks accurately ripped (confidence 45).", "",
                 "Read offset of this drive: +667 samples (3 tracks agree, AccurateRip); remembered for HL-DT-ST "
                 "DVDRAM GH24NSD1.\nTrack 12: the last 667 samples lie past the end of the disc and are silence.\n"},
                {RipResult::Canceled, "canceled", "", ""},
                {RipResult::CompletedWithErrors, "errors", "AccurateRip: 11 of 12 tracks accurately ripped.",
                 "Screenshots - [02] Morning Light.flac: 5 sectors could not be read; the file has silence there\r\n"
                 "Screenshots - [07] Night Train.flac: file skipped\r\n"
                 "Screenshots - [05] Harbour.flac: AccurateRip does not confirm this track although others on the disc "
                 "match; it may be damaged"},
                {RipResult::Success, "not-in-database", "AccurateRip: this disc is not in the database.", ""},
                {RipResult::Success, "other-pressing",
                 "AccurateRip: no track matches; this pressing may not be in the database.", ""},
                {RipResult::CompletedWithErrors, "no-tracks", "",
                 "Screenshots - [01] Overture.flac: CD read error.\r\nScreenshots - [02] Morning Light.flac: CD read error.",
                 "", 0},
            };
            for (const auto& [result, outcome, accuracy, errors, notes, ripped] : outcomes) {
                state.result = result;
                state.tracksRipped = ripped;
                state.accuracyLine = accuracy;
                state.noteText = notes;
                state.errorText = errors;
                frame.SetCurSel(static_cast<int>(PageId::Ready));
                frame.SetCurSel(static_cast<int>(PageId::Final));
                QTest::qWait(20);
                if (!Save(frame, folder, QStringLiteral("%1-09-final-%2.png").arg(skinName).arg(QLatin1String(outcome)))) {
                    return false;
                }
            }
        }
        if (index == static_cast<int>(PageId::Tracks)) {
            // The same page during a preview.
            auto* play = frame.findChild<QAbstractButton*>(QStringLiteral("playButton"));
            play->click();
            QTest::qWait(2300);
            const bool saved = Save(frame, folder, QStringLiteral("%1-03-tracks-playing.png").arg(skinName));
            play->click();
            if (!saved) return false;
            // The disc's names, as the person can fix them.
            if (!ShootDialog(frame, "discDetailsButton", folder, QStringLiteral("%1-03-disc-details.png").arg(skinName)))
                return false;
        }
    }
    return ShootRip(frame, state, folder, skinName);
}

// Every numbered picture on a light ground with its number, at a scale.
bool ShootArtwork(const QDir& folder, int scale)
{
    using namespace tesslow;
    std::vector<int> numbers{kProgramIcon, kArrowHotIcon, kArrowIcon, kExpandIcon, kCollapseIcon, kMarkAllPicture,
                             kUnmarkAllPicture, kPlayPicture, kStopPicture, kWelcomeDrivePicture,
                             kWelcomeDiscPicture, kFinalPicture, kHeaderPicture, kAeroPreviewStrip,
                             kClassicPreviewStrip, kSideBanner};
    for (int frame = 0; frame < kAnimationFrames; ++frame) numbers.push_back(kFirstAnimationFrame + frame);
    QImage sheet(1240 * scale, 1000 * scale, QImage::Format_RGB32);
    sheet.fill(QColor(0xf4, 0xf5, 0xf7));
    QPainter painter(&sheet);
    QFont label = painter.font();
    label.setPixelSize(11 * scale);
    painter.setFont(label);
    painter.setPen(Qt::black);
    auto load = [scale](int number) {
        return QImage(QStringLiteral(":/pictures/%1%2.png").arg(number).arg(scale == 2 ? QStringLiteral("@2x") : QString()));
    };
    // The tall banner in a column of its own at the right; the rest in rows.
    const QImage banner = load(kSideBanner);
    const int right = sheet.width() - banner.width() - 10 * scale;
    painter.drawImage(right, 10 * scale, banner);
    painter.drawText(right, 10 * scale + banner.height() + 14 * scale, QString::number(kSideBanner));
    int x = 10 * scale, y = 10 * scale, rowHeight = 0;
    for (int number : numbers) {
        if (number == kSideBanner) continue;
        QImage picture = load(number);
        if (number == kProgramIcon) picture = picture.scaled(128 * scale, 128 * scale, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        if (x + picture.width() > right - 10 * scale) {
            x = 10 * scale;
            y += rowHeight + 24 * scale;
            rowHeight = 0;
        }
        painter.drawImage(x, y, picture);
        painter.drawText(x, y + picture.height() + 14 * scale, QString::number(number));
        x += picture.width() + 16 * scale;
        rowHeight = std::max(rowHeight, picture.height());
    }
    painter.end();
    return sheet.save(folder.filePath(QStringLiteral("artwork-%1x.png").arg(scale)));
}

// The pages' controls together.
bool ShootControls(const QDir& folder)
{
    using namespace tesslow;
    QWidget window;
    window.setObjectName(QStringLiteral("controls"));
    auto* layout = new QVBoxLayout(&window);
    auto* row = new QHBoxLayout;
    const std::pair<int, const char*> buttons[] = {
        {kMarkAllPicture, "&Mark all"}, {kUnmarkAllPicture, "&Unmark all"}, {kPlayPicture, "&Play"}, {kStopPicture, "&Stop"}};
    for (const auto& [number, caption] : buttons) {
        auto* button = new PictureButton(&window);
        button->SetPicture(LoadPicture(number));
        button->setText(QString::fromLatin1(caption));
        button->setFixedSize(90, 90);
        if (number == kStopPicture) button->setEnabled(false);
        row->addWidget(button);
    }
    layout->addLayout(row);
    auto* edit = new QLineEdit(QStringLiteral("/home/me/Music"), &window);
    AttachBuddyButton(edit, new BrowseButton);
    layout->addWidget(edit);
    layout->addWidget(new HyperlinkLabel(QStringLiteral("Check for <a>new version</a> of Tesslow"), &window));
    layout->addWidget(new TwoLineHyperlink(&window));
    window.resize(600, 230);
    window.show();
    (void)QTest::qWaitForWindowExposed(&window);
    return window.grab().save(folder.filePath(QStringLiteral("controls.png")));
}

// A task dialog as it first shows (after `prepare`), then closed.
bool ShootTaskDialog(const QDir& folder, const char* name, tesslow::TaskDialogConfig config,
                     std::function<void(tesslow::TaskDialog&)> prepare = {})
{
    using namespace tesslow;
    bool saved = false;
    config.callback = [&](TaskDialog& dialog, task::Notification note, std::uintptr_t, std::intptr_t) -> long {
        if (note == task::Notification::Created) {
            QTimer::singleShot(50, &dialog, [&] {
                if (prepare) prepare(dialog);
                QTest::qWait(20);
                saved = dialog.grab().save(folder.filePath(QStringLiteral("task-dialog-%1.png").arg(QLatin1String(name))));
                dialog.done(0);
            });
        }
        return 0;
    };
    ShowTaskDialog(config);
    return saved;
}

bool ShootTaskDialogs(const QDir& folder)
{
    using namespace tesslow;
    TaskDialogConfig overwrite;
    overwrite.commonButtons = task::kYesButton | task::kNoButton;
    overwrite.windowTitle = QStringLiteral("Tesslow");
    overwrite.mainIcon = task::Icon::Question;
    overwrite.mainInstruction = QStringLiteral("The target file already exists. Do you wish to overwrite?");
    overwrite.content = QStringLiteral("/home/me/Music/The Tesslow Ensemble/Demo Disc/The Tesslow Ensemble - [01] Overture.flac");
    overwrite.verificationText = QStringLiteral("Remember my choice for all files");

    TaskDialogConfig cancel;
    cancel.flags = task::kAllowDialogCancellation;
    cancel.commonButtons = task::kYesButton | task::kNoButton;
    cancel.defaultButton = task::kIdNo;
    cancel.windowTitle = QStringLiteral("Tesslow");
    cancel.mainIcon = task::Icon::Warning;
    cancel.mainInstruction = QStringLiteral("Are you sure?");
    cancel.content = QStringLiteral("You are going to cancel ripping your disc.");

    TaskDialogConfig full;
    full.flags = task::kUseCommandLinks | task::kShowProgressBar | task::kExpandedByDefault;
    full.windowTitle = QStringLiteral("Tesslow");
    full.mainIcon = task::Icon::Information;
    full.mainInstruction = QStringLiteral("Two tracks could not be read cleanly");
    full.content = QStringLiteral("The disc may be scratched. What do you want to do with the tracks?");
    full.buttons = {{101, QStringLiteral("Keep the files\nThe unreadable sectors are silence in them.")},
                    {102, QStringLiteral("Delete the files\nRip the tracks again from a cleaner disc.")}};
    full.radioButtons = {{201, QStringLiteral("For these two tracks")}, {202, QStringLiteral("For every track of this rip")}};
    full.verificationText = QStringLiteral("Do not ask again");
    full.expandedInformation = QStringLiteral("Track 02: 5 sectors could not be read.\nTrack 07: 1 sector could not be read.");
    full.footerIcon = task::Icon::Information;
    full.footer = QStringLiteral("Cleaning the disc often helps.");

    return ShootTaskDialog(folder, "overwrite", overwrite) && ShootTaskDialog(folder, "cancel", cancel) &&
           ShootTaskDialog(folder, "full", full, [](TaskDialog& dialog) { dialog.SetProgressBarPos(40); });
}

}  // namespace

// A few pages of each skin on a dark palette.
bool ShootDark(tesslow::SkinKind kind, const QDir& folder, const std::string& discKey)
{
    using namespace tesslow;
    const QPalette light = QApplication::palette();
    QApplication::setPalette(test::DarkPalette());
    bool saved = true;
    {
        ShownWizard shown(kind, discKey);
        for (const PageId page : {PageId::Tracks, PageId::Format, PageId::Destination, PageId::Final}) {
            shown.Show(page);
            const int index = static_cast<int>(page);
            saved = saved && Save(shown.frame, folder,
                                  QStringLiteral("dark-%1-%2-%3.png").arg(shown.SkinName()).arg(index + 1, 2, 10, QChar('0')).arg(kPageNames[index]));
        }
    }
    QApplication::setPalette(light);
    return saved;
}

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: ui_screenshots OUTPUT_FOLDER\n");
        return 2;
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    tesslow::test::UserSandbox sandbox;  // a first run: default settings
    tesslow::test::ScopedEnv noDrives("TESSLOW_DRIVES", "");  // the insert-disc page searches in vain
    tesslow::test::ScopedEnv noWeb("TESSLOW_MUSICBRAINZ_URL", "http://127.0.0.1:9");
    tesslow::test::ScopedEnv silent("SDL_AUDIODRIVER", "dummy");
    tesslow::GuardedApplication application(argc, argv);
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    folder.mkpath(QStringLiteral("."));
    const std::string disc = InsertDemoDisc(sandbox.Root());
    {
        // A long folder with every subfolder, for the destination page.
        tesslow::Settings settings;
        settings.WriteLastFolder((sandbox.Home() / "Music" / "Collections" / "Orchestral and Chamber Music" /
                                  "Remastered Editions" / "Box Sets").string());
        settings.WriteSubfolders(true, true, true);
    }
    const bool written = Shoot(tesslow::SkinKind::Aero, folder, disc) && Shoot(tesslow::SkinKind::Classic, folder, disc) &&
                         ShootDark(tesslow::SkinKind::Aero, folder, disc) &&
                         ShootDark(tesslow::SkinKind::Classic, folder, disc) &&
                         ShootArtwork(folder, 1) && ShootArtwork(folder, 2) && ShootControls(folder) &&
                         ShootTaskDialogs(folder);
    if (written) std::printf("Screenshots in %s\n", qPrintable(folder.absolutePath()));
    return written ? 0 : 1;
}
