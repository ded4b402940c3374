#include "ui/aero_chrome.h"

#include "ui/dialog_units.h"
#include "ui/skin.h"
#include "ui/wizard_page.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QStackedWidget>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

namespace tesslow {

AeroChrome::AeroChrome(const Skin& skin, QWidget* parent) : WizardChrome(skin, parent), title_(new QLabel(this))
{
    auto* back = MakeButton<QToolButton>(WizardButton::Back, skin.backLabel, "back");
    back->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
    back->setIconSize(QSize(24, 24));
    back->setAutoRaise(true);
    back->setToolTip(skin.backLabel);
    back->setAccessibleName(skin.backLabel);
    QSizePolicy keepPlace = back->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);  // the title stays where it is without the arrow
    back->setSizePolicy(keepPlace);
    // The arrow has no mnemonic of its own: Alt+B and Alt+Left press it.
    for (const QKeySequence& keys : {QKeySequence(Qt::ALT | Qt::Key_B), QKeySequence(Qt::ALT | Qt::Key_Left)}) {
        auto* shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, this, [back] {
            if (back->isVisible() && back->isEnabled()) back->click();
        });
    }
    auto* next = MakeButton<QPushButton>(WizardButton::Next, skin.nextLabel, "next");
    auto* finish = MakeButton<QPushButton>(WizardButton::Finish, skin.finishLabel, "finish");
    auto* cancel = MakeButton<QPushButton>(WizardButton::Cancel, skin.cancelLabel, "cancel");
    MakeButton<QPushButton>(WizardButton::Help, skin.helpLabel, "help")->hide();  // Aero has F1 only
    for (QPushButton* button : {next, finish, cancel}) {
        button->setAutoDefault(false);
        button->setMinimumWidth(75);
    }

    title_->setObjectName(QStringLiteral("headerTitle"));
    title_->setFont(skin.titleFont);

    auto* content = new QWidget(this);
    content->setBackgroundRole(QPalette::Base);
    content->setAutoFillBackground(true);
    auto* header = new QHBoxLayout;
    header->setContentsMargins(4, 4, 12, 0);
    header->setSpacing(6);
    header->addWidget(back);
    header->addWidget(title_, 1);
    const QSize page = DialogUnitsToPixels(skin.pageDialogUnits, skin.fonts.normal);
    stack_->setMinimumSize(page);
    auto* contentLayout = new QVBoxLayout(content);
    contentLayout->setContentsMargins(0, 0, 0, 0);
    contentLayout->setSpacing(8);
    contentLayout->addLayout(header);
    auto* body = new QHBoxLayout;
    body->setContentsMargins(back->sizeHint().width() + 10, 0, 20, 12);
    body->addWidget(stack_);
    contentLayout->addLayout(body, 1);

    auto* line = new QFrame(this);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Plain);
    line->setForegroundRole(QPalette::Mid);

    auto* strip = new QHBoxLayout;
    strip->setContentsMargins(12, 10, 12, 10);
    strip->setSpacing(8);
    strip->addStretch(1);
    strip->addWidget(next);
    strip->addWidget(finish);
    strip->addWidget(cancel);

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);
    root->addWidget(content, 1);
    root->addWidget(line);
    root->addLayout(strip);
}

void AeroChrome::ShowPage(WizardPage& page)
{
    title_->setText(page.Title());
    stack_->setCurrentWidget(&page);
}

void AeroChrome::ApplyButtons(const WizardButtonSet& set, bool)
{
    auto apply = [this](WizardButton which, ButtonState state) {
        Button(which)->setVisible(state != ButtonState::Hidden);
        Button(which)->setEnabled(state == ButtonState::Enabled);
    };
    apply(WizardButton::Back, set.back);
    apply(WizardButton::Next, set.next);
    apply(WizardButton::Finish, set.finish);
    apply(WizardButton::Cancel, set.cancel);
    // Enter presses Finish where it is usable, else Next.
    const bool finish = set.finish == ButtonState::Enabled;
    static_cast<QPushButton*>(Button(WizardButton::Finish))->setDefault(finish);
    static_cast<QPushButton*>(Button(WizardButton::Next))->setDefault(!finish);
}

}  // namespace tesslow
