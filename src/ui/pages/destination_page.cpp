#include "ui/pages/destination_page.h"

#include "ui/pages/format_page.h"
#include "ui/skin.h"
#include "ui/wizard_frame.h"
#include "ui/wizard_state.h"

namespace tesslow {

DestinationPage::DestinationPage(const PageContext& context) : WizardPage(PageId::Destination, context) {}

QString DestinationPage::Subtitle() const { return QStringLiteral("Where you would like audio tracks to be saved?"); }

void DestinationPage::OnSetActive() { Frame().SetButtons({}); }

PageTurn DestinationPage::OnWizardBack()
{
    if (HasQualityChoice(State().job.format)) return PageTurn::Onward();
    return PageTurn::ToTemplate(TemplateOf(PageId::Format));
}

}  // namespace tesslow
