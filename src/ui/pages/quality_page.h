#pragma once

#include "ui/wizard_page.h"

namespace tesslow {

// Page 5: the quality of the lossy formats.
class QualityPage final : public WizardPage {
    Q_OBJECT
public:
    explicit QualityPage(const PageContext& context);
    QString Subtitle() const override;
    void OnSetActive() override;
};

}  // namespace tesslow
