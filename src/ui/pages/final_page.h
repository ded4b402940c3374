#pragma once

#include "ui/wizard_page.h"

#include <QString>

class QLabel;
class QPlainTextEdit;

namespace tesslow {

class HyperlinkLabel;

// Page 9: the outcome: completed (with the picture), canceled, or completed
// with errors (with the list of errors). Its restart button ("Rip more" /
// "Rip another disc") goes back to the insert-disc page, which then prompts;
// "Close" closes. Two links open the program's site and support address.
class FinalPage final : public WizardPage {
    Q_OBJECT
public:
    explicit FinalPage(const PageContext& context);
    QString Title() const override;
    void OnSetActive() override;
    PageTurn OnWizardNext() override;
    bool OnWizardFinish() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Restart();

    QLabel* text_;
    QLabel* notes_;
    QLabel* accuracy_;
    QLabel* picture_;
    QPlainTextEdit* errors_;
    HyperlinkLabel* site_;
    HyperlinkLabel* support_;
    HyperlinkLabel* newVersion_;
    QString savedRestartLabel_, savedCancelLabel_;
};

}  // namespace tesslow
