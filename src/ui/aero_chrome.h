#pragma once

#include "ui/wizard_chrome.h"

class QLabel;

namespace tesslow {

// The Aero look: a white content area with the page's title in large text and
// the back arrow beside it at the top left, and a command strip at the bottom
// with Next or Finish and Cancel.
class AeroChrome final : public WizardChrome {
    Q_OBJECT
public:
    AeroChrome(const Skin& skin, QWidget* parent);

    void ShowPage(WizardPage& page) override;
    void ApplyButtons(const WizardButtonSet& set, bool help) override;

private:
    QLabel* title_;
};

}  // namespace tesslow
