#include "ui/pages/tracks_page.h"

#include "ui/wizard_frame.h"
#include "ui/wizard_state.h"

namespace tesslow {

TracksPage::TracksPage(const PageContext& context) : WizardPage(PageId::Tracks, context) {}

QString TracksPage::Subtitle() const { return QStringLiteral("What audio tracks do you want to extract?"); }

void TracksPage::OnSetActive() { Frame().SetButtons({}); }

PageTurn TracksPage::OnWizardBack()
{
    State().ripAgain = true;  // the insert-disc page prompts rather than searching again
    return PageTurn::Onward();
}

}  // namespace tesslow
