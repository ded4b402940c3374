#pragma once

#include "ui/wizard_page.h"

namespace tesslow {

// Page 2: waiting for an audio disc. Back is offered only while the welcome
// page is shown at start (SkipFirst 0); Next stays disabled.
class InsertDiscPage final : public WizardPage {
    Q_OBJECT
public:
    explicit InsertDiscPage(const PageContext& context);
    void OnSetActive() override;
    PageTurn OnWizardNext() override;

private:
    void SetButtons();
};

}  // namespace tesslow
