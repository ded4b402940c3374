#pragma once

#include "ui/wizard_page.h"

namespace tesslow {

// Page 8: the rip. Only Cancel is usable, and the wizard never closes from
// here: a canceled rip goes on to the final page.
class ProgressPage final : public WizardPage {
    Q_OBJECT
public:
    explicit ProgressPage(const PageContext& context);
    QString Subtitle() const override;
    void OnSetActive() override;
    bool OnQueryCancel() override;
};

}  // namespace tesslow
