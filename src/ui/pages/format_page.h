#pragma once

#include "app/rip_job.h"
#include "ui/wizard_page.h"

#include <map>

class QRadioButton;

namespace tesslow {

struct WizardState;

// Page 4: the audio format, in two groups (lossless, lossy) with their notes
// and a link to the formats' help. The stored format is shown on activation;
// LastFormat and the wizard's format choice are written on leaving. Formats without a quality
// choice (WAV, Monkey's Audio, FLAC) go straight on to the destination page.
class FormatPage final : public WizardPage {
    Q_OBJECT
public:
    explicit FormatPage(const PageContext& context);
    QString Subtitle() const override;
    void OnSetActive() override;
    void OnLeave() override;
    PageTurn OnWizardNext() override;

private:
    std::map<FormatCode, QRadioButton*> radios_;
};

// Whether the quality page has anything to offer for a format.
bool HasQualityChoice(FormatCode format);

// The format the wizard's pages work with: the one chosen on this page, else
// the stored one.
FormatCode ChosenFormat(const WizardState& state);

}  // namespace tesslow
