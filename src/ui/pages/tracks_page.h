#pragma once

#include "ui/wizard_page.h"

namespace tesslow {

// Page 3: the disc's tracks to rip.
class TracksPage final : public WizardPage {
    Q_OBJECT
public:
    explicit TracksPage(const PageContext& context);
    QString Subtitle() const override;
    void OnSetActive() override;
    PageTurn OnWizardBack() override;
};

}  // namespace tesslow
