#include "ui/pages/welcome_page.h"

#include "ui/wizard_frame.h"

namespace tesslow {

WelcomePage::WelcomePage(const PageContext& context) : WizardPage(PageId::Welcome, context) {}

void WelcomePage::OnSetActive()
{
    if (!adjusted_) {
        Frame().AdjustWindow();
        adjusted_ = true;
    }
    Frame().SetButtons({.back = ButtonState::Hidden, .next = ButtonState::Enabled});
}

}  // namespace tesslow
