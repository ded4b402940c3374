#include "ui/wizard_chrome.h"

#include "ui/wizard_page.h"

#include <QPushButton>
#include <QStackedWidget>
#include <QToolButton>

namespace tesslow {

WizardChrome::WizardChrome(const Skin& skin, QWidget* parent)
    : QWidget(parent), skin_(skin), stack_(new QStackedWidget(this))
{
    stack_->setObjectName(QStringLiteral("pageStack"));
}

void WizardChrome::AddPage(WizardPage* page) { stack_->addWidget(page); }

template <typename ButtonType>
ButtonType* WizardChrome::MakeButton(WizardButton which, const QString& label, const char* name)
{
    auto* button = new ButtonType(this);
    button->setText(label);
    button->setObjectName(QString::fromLatin1(name) + QStringLiteral("Button"));
    connect(button, &QAbstractButton::clicked, this, [this, which] { emit Clicked(which); });
    buttons_[static_cast<int>(which)] = button;
    return button;
}

template QPushButton* WizardChrome::MakeButton<QPushButton>(WizardButton, const QString&, const char*);
template QToolButton* WizardChrome::MakeButton<QToolButton>(WizardButton, const QString&, const char*);

}  // namespace tesslow
