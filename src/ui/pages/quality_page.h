#pragma once

#include "ui/wizard_page.h"

#include <array>

class QLabel;
class QRadioButton;
class QSlider;

namespace tesslow {

// Page 5: the quality of the lossy formats: three presets, or Custom with a
// slider over the format's steps. The stored preset and step are shown on
// activation; LastPreset, the format's Last…Value and the wizard's preset and
// step choices are written on leaving.
class QualityPage final : public WizardPage {
    Q_OBJECT
public:
    explicit QualityPage(const PageContext& context);
    QString Subtitle() const override;
    void OnSetActive() override;
    void OnLeave() override;

private:
    void ShowStep();
    void EnableSlider();

    std::array<QRadioButton*, 4> presets_{};
    QSlider* slider_;
    QLabel* step_;
};

}  // namespace tesslow
