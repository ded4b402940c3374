#pragma once

#include "ui/page_id.h"
#include "ui/wizard_buttons.h"

#include <QString>
#include <QWidget>

namespace tesslow {

class DesktopShell;
class WizardFrame;
struct Skin;
struct WizardState;

// What every page is built with.
struct PageContext {
    WizardFrame& frame;
    WizardState& state;
    const Skin& skin;
    DesktopShell& shell;
};

// One page of the wizard: its body, and its answers to the frame's
// notifications. The frame calls them on the UI thread: OnSetActive when the
// page is shown (every time), then for a button press OnLeave (Next, Back and
// Cancel) followed by OnWizardNext, OnWizardBack or OnQueryCancel, or
// OnWizardFinish, and OnKillActive before another page is shown. Pages set the buttons from OnSetActive through the
// frame and may select pages themselves.
class WizardPage : public QWidget {
    Q_OBJECT
public:
    WizardPage(PageId id, const PageContext& context);

    PageId Id() const { return id_; }
    int TemplateId() const;
    int HelpContext() const;
    // The classic welcome and final pages: painted in the window colour with
    // the side banner, titled in the title font.
    bool IsExterior() const { return id_ == PageId::Welcome || id_ == PageId::Final; }

    // The title shown above the page (Aero header, classic header band or
    // exterior title) and the classic subtitle.
    virtual QString Title() const;
    virtual QString Subtitle() const { return {}; }

    virtual void OnSetActive() {}
    // Next, Back or Cancel was pressed: the page stores what it owns (its
    // settings and the wizard's state) before it answers where to go.
    virtual void OnLeave() {}
    // The options dialog changed settings while the page was shown.
    virtual void OnOptionsChanged() {}
    // False keeps the page.
    virtual bool OnKillActive() { return true; }
    virtual PageTurn OnWizardNext() { return PageTurn::Onward(); }
    virtual PageTurn OnWizardBack() { return PageTurn::Onward(); }
    // True lets the wizard close.
    virtual bool OnWizardFinish() { return true; }
    // True lets the wizard close.
    virtual bool OnQueryCancel() { return true; }
    // Help and F1: opens the page's help context; nothing without one.
    virtual void OnHelp();

signals:
    // The page's title or subtitle changed.
    void TitleChanged();

protected:
    const PageContext& Context() const { return context_; }
    // Another page's template id in this skin, for jumps.
    int TemplateOf(PageId id) const;
    WizardFrame& Frame() const { return context_.frame; }
    WizardState& State() const { return context_.state; }

private:
    const PageId id_;
    PageContext context_;
};

}  // namespace tesslow
