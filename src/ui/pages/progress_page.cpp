#include "ui/pages/progress_page.h"

#include "ui/wizard_frame.h"
#include "ui/wizard_state.h"

namespace tesslow {

ProgressPage::ProgressPage(const PageContext& context) : WizardPage(PageId::Progress, context) {}

QString ProgressPage::Subtitle() const { return QStringLiteral("Please wait while the selected tracks are extracted."); }

void ProgressPage::OnSetActive()
{
    Frame().SetButtons({.back = ButtonState::Disabled, .next = ButtonState::Hidden});
}

bool ProgressPage::OnQueryCancel()
{
    State().result = RipResult::Canceled;
    Frame().SetCurSel(static_cast<int>(PageId::Final));
    return false;
}

}  // namespace tesslow
