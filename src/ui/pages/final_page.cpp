#include "ui/pages/final_page.h"

#include "ui/skin.h"
#include "ui/wizard_frame.h"
#include "ui/wizard_state.h"

namespace tesslow {

FinalPage::FinalPage(const PageContext& context) : WizardPage(PageId::Final, context) {}

QString FinalPage::Title() const
{
    return State().result == RipResult::Canceled ? QStringLiteral("Canceled") : WizardPage::Title();
}

void FinalPage::OnSetActive()
{
    const Skin& skin = Context().skin;
    const bool onNext = skin.restartButton == WizardButton::Next;
    Frame().SetButtons({.back = ButtonState::Hidden,
                        .next = onNext ? ButtonState::Enabled : ButtonState::Hidden,
                        .finish = onNext ? ButtonState::Hidden : ButtonState::Enabled});
    savedRestartLabel_ = Frame().ButtonText(skin.restartButton);
    savedCancelLabel_ = Frame().ButtonText(WizardButton::Cancel);
    Frame().SetButtonText(skin.restartButton, skin.restartLabel);
    Frame().SetButtonText(WizardButton::Cancel, skin.closeLabel);
    emit TitleChanged();
}

void FinalPage::Restart()
{
    State().ripAgain = true;
    Frame().SetButtonText(Context().skin.restartButton, savedRestartLabel_);
    Frame().SetButtonText(WizardButton::Cancel, savedCancelLabel_);
    Frame().SetCurSelId(TemplateOf(PageId::InsertDisc));
}

PageTurn FinalPage::OnWizardNext()
{
    Restart();
    return PageTurn::Stay();
}

bool FinalPage::OnWizardFinish()
{
    Restart();
    return false;
}

}  // namespace tesslow
