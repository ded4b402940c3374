#pragma once

#include "ui/wizard_page.h"

namespace tesslow {

// Page 1: the welcome.
class WelcomePage final : public WizardPage {
    Q_OBJECT
public:
    explicit WelcomePage(const PageContext& context);
    void OnSetActive() override;

private:
    bool adjusted_ = false;
};

}  // namespace tesslow
