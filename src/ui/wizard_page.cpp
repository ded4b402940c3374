#include "ui/wizard_page.h"

#include "app/settings.h"
#include "ui/help.h"
#include "ui/skin.h"

namespace tesslow {

WizardPage::WizardPage(PageId id, const PageContext& context) : id_(id), context_(context)
{
    setObjectName(QStringLiteral("page%1").arg(static_cast<int>(id) + 1));
}

int WizardPage::TemplateId() const { return tesslow::TemplateId(id_, context_.skin.kind); }

int WizardPage::TemplateOf(PageId id) const { return tesslow::TemplateId(id, context_.skin.kind); }

int WizardPage::HelpContext() const { return FactsOf(id_).helpContext; }

QString WizardPage::Title() const { return QString::fromUtf8(FactsOf(id_).aeroTitle); }

void WizardPage::OnHelp()
{
    if (HelpContext() == 0) return;
    OpenHelp(context_.shell, Settings().AppPath, HelpContext());
}

}  // namespace tesslow
