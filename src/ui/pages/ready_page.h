#pragma once

#include "ui/wizard_page.h"

class QLabel;

namespace tesslow {

// Page 7: the choices before the rip starts: format, quality and folder.
// Where the skin has a start label, Next carries it while this page is shown.
class ReadyPage final : public WizardPage {
    Q_OBJECT
public:
    explicit ReadyPage(const PageContext& context);
    QString Title() const override;
    QString Subtitle() const override;
    void OnSetActive() override;
    void OnLeave() override;
    void OnOptionsChanged() override;

private:
    QLabel* format_;
    QLabel* quality_;
    QLabel* folder_;
    QLabel* reading_ = nullptr;  // how the disc will be read (the options)
};

}  // namespace tesslow
