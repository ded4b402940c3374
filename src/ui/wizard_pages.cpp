#include "ui/wizard_pages.h"

#include "ui/pages/destination_page.h"
#include "ui/pages/final_page.h"
#include "ui/pages/format_page.h"
#include "ui/pages/insert_disc_page.h"
#include "ui/pages/progress_page.h"
#include "ui/pages/quality_page.h"
#include "ui/pages/ready_page.h"
#include "ui/pages/tracks_page.h"
#include "ui/pages/welcome_page.h"
#include "ui/wizard_frame.h"

namespace tesslow {

void AddWizardPages(const PageContext& context)
{
    WizardFrame& frame = context.frame;
    frame.AddPage(new WelcomePage(context));
    frame.AddPage(new InsertDiscPage(context));
    frame.AddPage(new TracksPage(context));
    frame.AddPage(new FormatPage(context));
    frame.AddPage(new QualityPage(context));
    frame.AddPage(new DestinationPage(context));
    frame.AddPage(new ReadyPage(context));
    frame.AddPage(new ProgressPage(context));
    frame.AddPage(new FinalPage(context));
}

}  // namespace tesslow
