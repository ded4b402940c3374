#pragma once

#include "support/recording_shell.h"
#include "support/temp_dir.h"
#include "ui/page_id.h"
#include "ui/skin.h"
#include "ui/wizard_frame.h"
#include "ui/wizard_page.h"
#include "ui/wizard_pages.h"
#include "ui/wizard_state.h"

#include <QAbstractButton>
#include <QTest>

#include <memory>

namespace tesslow::test {

// The wizard of one skin with its nine pages, in a user sandbox, shown
// offscreen at its own size.
class WizardHarness {
public:
    explicit WizardHarness(SkinKind kind)
        : skin(MakeSkin(kind, MakeUiFonts())), frame(std::make_unique<WizardFrame>(skin))
    {
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

    UserSandbox sandbox;
    Skin skin;
    WizardState state;
    RecordingShell shell;
    std::unique_ptr<WizardFrame> frame;
};

}  // namespace tesslow::test
