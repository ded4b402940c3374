#include "ui/pages/quality_page.h"

#include "ui/wizard_frame.h"

namespace tesslow {

QualityPage::QualityPage(const PageContext& context) : WizardPage(PageId::Quality, context) {}

QString QualityPage::Subtitle() const { return QStringLiteral("How good do you want your audio files to sound?"); }

void QualityPage::OnSetActive() { Frame().SetButtons({}); }

}  // namespace tesslow
