#include "ui/pages/format_page.h"

#include "ui/skin.h"
#include "ui/wizard_frame.h"
#include "ui/wizard_state.h"

namespace tesslow {

bool HasQualityChoice(FormatCode format)
{
    return format == FormatCode::Mp3 || format == FormatCode::Wma || format == FormatCode::Ogg;
}

FormatPage::FormatPage(const PageContext& context) : WizardPage(PageId::Format, context) {}

QString FormatPage::Subtitle() const { return QStringLiteral("What type of audio files you want to create?"); }

void FormatPage::OnSetActive() { Frame().SetButtons({}); }

PageTurn FormatPage::OnWizardNext()
{
    if (HasQualityChoice(State().job.format)) return PageTurn::Onward();
    return PageTurn::ToTemplate(TemplateOf(PageId::Destination));
}

}  // namespace tesslow
