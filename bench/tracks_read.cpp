// How the wizard's window lives while the tracks page waits for a slow drive.
//
// Probes a three-track disc image, then makes its emulated drive answer every
// command --delay milliseconds late and shows the tracks page offscreen, which
// reads the table of contents again on a thread of its own. Meanwhile a 16 ms
// timer asks the page to repaint, as an animation would. Prints how long the
// drive took, the page's repaints per second meanwhile (goal: near the 60 the
// timer asks for) and the longest gap between two turns of the event loop
// (goal: well under 100 ms; a read on the GUI thread would make it the whole
// delay).
//
//   build/bench/bench_tracks_read [--delay 3000]

#include "drive/disc_probe.h"
#include "support/paint_counter.h"
#include "support/recording_shell.h"
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
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

using Clock = std::chrono::steady_clock;

using tesslow::test::PaintCounter;

double Seconds(Clock::duration duration) { return std::chrono::duration<double>(duration).count(); }

}  // namespace

int main(int argc, char** argv)
{
    using namespace tesslow;
    int delay = 3000;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::strcmp(argv[i], "--delay") == 0) delay = std::max(1, std::atoi(argv[++i]));
    }
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    test::UserSandbox sandbox;
    test::ScopedEnv noWeb("TESSLOW_MUSICBRAINZ_URL", "http://127.0.0.1:9");
    test::ScopedEnv noDrives("TESSLOW_DRIVES", "");
    GuardedApplication application(argc, argv);

    const test::TestDisc fast{.tracks = {{150}, {160}, {170}}};
    const test::WrittenDisc disc = test::WriteTestDisc(sandbox.Root(), fast, "bench");
    const Skin skin = MakeSkin(SkinKind::Aero, MakeUiFonts());
    WizardState state;
    state.job.driveKey = disc.cue.string();
    ProbeDisc(*state.records, state.job.driveKey);
    test::TestDisc slow = fast;
    slow.conditions = {"DELAY " + std::to_string(delay)};
    test::WriteTestDisc(sandbox.Root(), slow, "bench");  // the same disc, in a slow drive

    test::RecordingShell shell;
    WizardFrame frame(skin);
    AddWizardPages(PageContext{frame, state, skin, shell});
    frame.Start();
    frame.show();
    (void)QTest::qWaitForWindowExposed(&frame);
    auto* tracks = frame.findChild<TracksPage*>();
    PaintCounter counter;
    tracks->installEventFilter(&counter);
    Clock::time_point lastTurn = Clock::now();
    double longestGap = 0;
    QTimer beat;
    QObject::connect(&beat, &QTimer::timeout, [&] {
        const Clock::time_point now = Clock::now();
        longestGap = std::max(longestGap, Seconds(now - lastTurn));
        lastTurn = now;
        tracks->update();
    });
    beat.start(16);

    const auto started = Clock::now();
    lastTurn = started;
    frame.SetCurSel(static_cast<int>(PageId::Tracks));
    while (tracks->Reading()) QTest::qWait(5);
    const double seconds = Seconds(Clock::now() - started);
    longestGap = std::max(longestGap, Seconds(Clock::now() - lastTurn));
    std::printf("the drive answered after %.2f s (delay %d ms a command); the page repainted %.1f times a second "
                "meanwhile; longest gap between event-loop turns %.0f ms\n",
                seconds, delay, counter.paints / seconds, longestGap * 1000);
    return 0;
}
