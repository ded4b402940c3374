#pragma once

#include "app/rip_job.h"
#include "ui/wizard_page.h"

namespace tesslow {

// Page 4: the audio format. Formats without a quality choice (WAV, Monkey's
// Audio, FLAC) go straight on to the destination page.
class FormatPage final : public WizardPage {
    Q_OBJECT
public:
    explicit FormatPage(const PageContext& context);
    QString Subtitle() const override;
    void OnSetActive() override;
    PageTurn OnWizardNext() override;
};

// Whether the quality page has anything to offer for a format.
bool HasQualityChoice(FormatCode format);

}  // namespace tesslow
