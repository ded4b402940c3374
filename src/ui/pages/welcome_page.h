#pragma once

#include "ui/wizard_page.h"

class QCheckBox;

namespace tesslow {

// Page 1: the welcome, with "Don't show this page again" (SkipFirst).
class WelcomePage final : public WizardPage {
    Q_OBJECT
public:
    explicit WelcomePage(const PageContext& context);
    void OnSetActive() override;
    PageTurn OnWizardNext() override;

private:
    QCheckBox* dontShow_;
    bool adjusted_ = false;
};

}  // namespace tesslow
