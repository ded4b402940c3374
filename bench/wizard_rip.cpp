// A rip through the wizard next to the same rip by tesslow-rip, and how
// often the wizard's window repaints meanwhile.
//
// Generates a disc image (10 minutes in 10 tracks by default), walks the
// wizard offscreen from the tracks page to the final page ripping every track
// to FLAC, then runs tesslow-rip on the same disc with the same settings.
// Prints both wall-clock times, their ratio (goal: the wizard at most 5%
// slower) and the animation's repaints per second during the rip (goal: 5 or
// more, the window staying responsive).
//
//   build/bench/bench_wizard_rip [--minutes 10]

#include "app/settings.h"
#include "drive/disc_probe.h"
#include "support/paint_counter.h"
#include "support/recording_shell.h"
#include "support/run_program.h"
#include "support/temp_dir.h"
#include "support/test_disc.h"
#include "ui/guarded_application.h"
#include "ui/page_id.h"
#include "ui/pages/tracks_page.h"
#include "ui/skin.h"
#include "ui/wizard_frame.h"
#include "ui/wizard_page.h"
#include "ui/wizard_pages.h"
#include "ui/wizard_state.h"

#include <QTest>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace {

using Clock = std::chrono::steady_clock;

using tesslow::test::PaintCounter;

double Seconds(Clock::duration duration) { return std::chrono::duration<double>(duration).count(); }

}  // namespace

int main(int argc, char** argv)
{
    using namespace tesslow;
    int minutes = 10;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--minutes") == 0) minutes = std::atoi(argv[i + 1]);
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    test::UserSandbox sandbox;
    test::ScopedEnv noWeb("TESSLOW_MUSICBRAINZ_URL", "http://127.0.0.1:9");
    test::ScopedEnv noDrives("TESSLOW_DRIVES", "");
    GuardedApplication application(argc, argv);

    test::TestDisc testDisc;
    for (int t = 0; t < 10; ++t) testDisc.tracks.push_back({minutes * 60 * 75 / 10});
    const test::WrittenDisc disc = test::WriteTestDisc(sandbox.Root(), testDisc, "bench");
    const std::filesystem::path wizardOut = sandbox.Root() / "wizard", cliOut = sandbox.Root() / "cli";
    {
        Settings settings;
        settings.WriteLastFormat(FormatCode::Flac);
        settings.WriteLastFolder(wizardOut.string());
        settings.WriteSubfolders(false, false, false);
    }

    const Skin skin = MakeSkin(SkinKind::Aero, MakeUiFonts());
    WizardState state;
    state.job.driveKey = disc.cue.string();
    ProbeDisc(*state.records, state.job.driveKey);
    test::RecordingShell shell;
    WizardFrame frame(skin);
    AddWizardPages(PageContext{frame, state, skin, shell});
    frame.Start();
    frame.show();
    (void)QTest::qWaitForWindowExposed(&frame);
    frame.SetCurSel(static_cast<int>(PageId::Tracks));
    auto* tracks = frame.findChild<TracksPage*>();
    (void)QTest::qWaitFor([tracks] { return !tracks->Reading(); }, 10000);
    frame.Press(WizardButton::Next);  // tracks → format, once the drive has said it is the same disc
    (void)QTest::qWaitFor([&frame] { return frame.CurrentPage()->Id() == PageId::Format; }, 10000);
    for (int page = 0; page < 2; ++page) frame.Press(WizardButton::Next);  // format → destination → ready
    PaintCounter counter;
    frame.findChild<QWidget*>(QStringLiteral("animation"))->installEventFilter(&counter);
    const auto started = Clock::now();
    frame.Press(WizardButton::Next);  // the rip
    while (frame.CurrentPage()->Id() != PageId::Final) QTest::qWait(5);
    const double wizardSeconds = Seconds(Clock::now() - started);
    if (state.result != RipResult::Success) {
        std::fprintf(stderr, "bench_wizard_rip: the wizard's rip did not succeed: %s\n", state.errorText.c_str());
        return 1;
    }

    const auto cliStarted = Clock::now();
    const auto cli = test::RunProgram("tesslow-rip", {"--drive", disc.cue.string(), "--format", "flac", "--output",
                                                      cliOut.string(), "--no-lookup", "--overwrite"});
    const double cliSeconds = Seconds(Clock::now() - cliStarted);
    if (cli.exitCode != 0) {
        std::fprintf(stderr, "bench_wizard_rip: tesslow-rip failed: %s\n", cli.err.c_str());
        return 1;
    }
    std::printf("%d minutes of audio to FLAC: wizard %.2f s, tesslow-rip %.2f s, ratio %.3f; "
                "animation repaints %.1f per second during the rip\n",
                minutes, wizardSeconds, cliSeconds, wizardSeconds / cliSeconds, counter.paints / wizardSeconds);
    return 0;
}
