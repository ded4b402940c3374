#pragma once

#include "ui/wizard_page.h"

#include <QString>

namespace tesslow {

// Page 9: the outcome. Its restart button ("Rip more" / "Rip another disc")
// goes back to the insert-disc page, which then prompts; "Close" closes.
class FinalPage final : public WizardPage {
    Q_OBJECT
public:
    explicit FinalPage(const PageContext& context);
    QString Title() const override;
    void OnSetActive() override;
    PageTurn OnWizardNext() override;
    bool OnWizardFinish() override;

private:
    void Restart();

    QString savedRestartLabel_, savedCancelLabel_;
};

}  // namespace tesslow
