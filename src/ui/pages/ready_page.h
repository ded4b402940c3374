#pragma once

#include "ui/wizard_page.h"

namespace tesslow {

// Page 7: the choices before the rip starts. Where the skin has a start
// label, Next carries it while this page is shown.
class ReadyPage final : public WizardPage {
    Q_OBJECT
public:
    explicit ReadyPage(const PageContext& context);
    QString Title() const override;
    QString Subtitle() const override;
    void OnSetActive() override;
    PageTurn OnWizardNext() override;
    PageTurn OnWizardBack() override;
};

}  // namespace tesslow
