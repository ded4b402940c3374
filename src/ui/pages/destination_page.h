#pragma once

#include "ui/wizard_page.h"

namespace tesslow {

// Page 6: the output folder and file names. Back skips the quality page for
// formats without a quality choice.
class DestinationPage final : public WizardPage {
    Q_OBJECT
public:
    explicit DestinationPage(const PageContext& context);
    QString Subtitle() const override;
    void OnSetActive() override;
    PageTurn OnWizardBack() override;
};

}  // namespace tesslow
