#include "ui/pages/ready_page.h"

#include "ui/skin.h"
#include "ui/wizard_frame.h"

namespace tesslow {

ReadyPage::ReadyPage(const PageContext& context) : WizardPage(PageId::Ready, context) {}

QString ReadyPage::Title() const
{
    // The classic header names the step differently from the Aero title.
    return Context().skin.kind == SkinKind::Classic ? QStringLiteral("Ready to extract") : WizardPage::Title();
}

QString ReadyPage::Subtitle() const { return QStringLiteral("Selected audio tracks will now be extracted..."); }

void ReadyPage::OnSetActive()
{
    Frame().SetButtons({});
    if (!Context().skin.startLabel.isEmpty()) Frame().SetButtonText(WizardButton::Next, Context().skin.startLabel);
}

PageTurn ReadyPage::OnWizardNext()
{
    Frame().SetButtonText(WizardButton::Next, {});
    return PageTurn::Onward();
}

PageTurn ReadyPage::OnWizardBack()
{
    Frame().SetButtonText(WizardButton::Next, {});
    return PageTurn::Onward();
}

}  // namespace tesslow
