#pragma once

#include "app/disc_record.h"
#include "drive/disc_probe.h"
#include "support/recording_shell.h"
#include "support/test_disc.h"
#include "support/temp_dir.h"
#include "ui/page_id.h"
#include "ui/pages/tracks_page.h"
#include "ui/skin.h"
#include "ui/wizard_frame.h"
#include "ui/wizard_page.h"
#include "ui/wizard_pages.h"
#include "ui/wizard_state.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QTest>

#include <functional>
#include <memory>
#include <string>

#include <gtest/gtest.h>

namespace tesslow::test {

// The wizard of one skin with its nine pages, in a user sandbox, shown
// offscreen at its own size. A disc of `tracks` tracks has been found (the
// tracks page shows it), and the drive list is empty, so a search finds
// nothing unless a test sets TESSLOW_DRIVES itself.
class WizardHarness {
public:
    explicit WizardHarness(SkinKind kind, int tracks = 3)
        : skin(MakeSkin(kind, MakeUiFonts())), frame(std::make_unique<WizardFrame>(skin))
    {
        TestDisc testDisc;
        for (int t = 0; t < tracks; ++t) testDisc.tracks.push_back({150 + 10 * t});
        disc = WriteTestDisc(sandbox.Root(), testDisc);
        state.job.driveKey = disc.cue.string();
        ProbeDisc(*state.records, state.job.driveKey);
        AddWizardPages(PageContext{*frame, state, skin, shell});
        frame->Start();
        frame->show();
        frame->activateWindow();
        (void)QTest::qWaitForWindowActive(frame.get());  // keyboard shortcuts need an active window
    }

    PageId Current() const { return frame->CurrentPage()->Id(); }
    QAbstractButton* Button(const char* name) const
    {
        return frame->findChild<QAbstractButton*>(QString::fromLatin1(name) + QStringLiteral("Button"));
    }
    // Shown and usable, as a person sees it.
    bool Usable(const char* name) const { return Button(name)->isVisible() && Button(name)->isEnabled(); }
    bool Shown(const char* name) const { return Button(name)->isVisible(); }
    void Click(const char* name) const { Button(name)->click(); }
    void GoTo(PageId page) const { frame->SetCurSel(static_cast<int>(page)); }
    // Waits for the tracks page's answer from the drive, which reads the disc
    // again on activation and for Next.
    bool WaitForTracksRead() const
    {
        auto* page = frame->findChild<TracksPage*>();
        return QTest::qWaitFor([page] { return !page->Reading(); }, 10000);
    }
    // The tracks page shown, with the drive's answer in.
    bool GoToTracks() const
    {
        GoTo(PageId::Tracks);
        return WaitForTracksRead();
    }
    // Next on the tracks page, which goes on when the drive has said the disc is still the same.
    bool NextFromTracks() const
    {
        Click("next");
        return QTest::qWaitFor([this] { return Current() != PageId::Tracks; }, 10000);
    }

    UserSandbox sandbox;
    ScopedEnv noDrives{"TESSLOW_DRIVES", ""};
    ScopedEnv noWeb{"TESSLOW_MUSICBRAINZ_URL", "http://127.0.0.1:9"};
    WrittenDisc disc;
    Skin skin;
    WizardState state;
    RecordingShell shell;
    std::unique_ptr<WizardFrame> frame;
};

// Does `act`, during which the page is expected to show a message box;
// answers the box with OK and returns its text (empty when none came).
inline QString AcceptMessageBoxDuring(const std::function<void()>& act)
{
    QString said;
    QTimer::singleShot(0, [&said] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            said = box->text();
            box->accept();
        }
    });
    act();
    return said;
}

// Answers with OK every message box shown until `done` (waited for as
// QTest::qWaitFor does), and returns the last one's text (empty when none came).
// For a box that a page shows when a worker's answer arrives.
inline QString AcceptMessageBoxesUntil(const std::function<bool()>& done, int ms = 10000)
{
    QString said;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&said] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            said = box->text();
            box->accept();
        }
    });
    watch.start(10);
    (void)QTest::qWaitFor(done, ms);
    return said;
}

// Names the instances of a test run in both skins.
inline std::string SkinName(const ::testing::TestParamInfo<SkinKind>& info)
{
    return info.param == SkinKind::Aero ? "Aero" : "Classic";
}

}  // namespace tesslow::test
