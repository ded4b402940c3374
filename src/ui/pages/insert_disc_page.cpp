#include "ui/pages/insert_disc_page.h"

#include "app/settings.h"
#include "ui/wizard_frame.h"
#include "ui/wizard_state.h"

namespace tesslow {

InsertDiscPage::InsertDiscPage(const PageContext& context) : WizardPage(PageId::InsertDisc, context) {}

void InsertDiscPage::SetButtons()
{
    const bool welcomeShown = Settings().SkipFirst == 0;
    Frame().SetButtons({.back = welcomeShown ? ButtonState::Enabled : ButtonState::Hidden,
                        .next = ButtonState::Disabled});
}

void InsertDiscPage::OnSetActive()
{
    SetButtons();
    State().ripAgain = false;  // consumed here
}

PageTurn InsertDiscPage::OnWizardNext()
{
    SetButtons();
    return PageTurn::Stay();
}

}  // namespace tesslow
