#include "ui/pages/welcome_page.h"

#include "app/settings.h"
#include "ui/controls/pictures.h"
#include "ui/wizard_frame.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace tesslow {

WelcomePage::WelcomePage(const PageContext& context)
    : WizardPage(PageId::Welcome, context), dontShow_(new QCheckBox(QStringLiteral("&Don't show this page again"), this))
{
    auto* text = new QLabel(QStringLiteral("Thank you for choosing Tesslow \u2014 easy-to-use tool that will help you "
                                           "create digital copies of your favourite audio CDs.\n\nPlease insert audio "
                                           "disc into your CD/DVD drive and click \"Next\"."),
                            this);
    text->setObjectName(QStringLiteral("welcomeText"));
    text->setWordWrap(true);
    auto* pictures = new QHBoxLayout;
    for (const int number : {kWelcomeDiscPicture, kWelcomeDrivePicture}) {
        auto* picture = new QLabel(this);
        picture->setPixmap(QPixmap::fromImage(LoadPicture(number)));
        pictures->addWidget(picture);
    }
    pictures->addStretch(1);
    dontShow_->setObjectName(QStringLiteral("dontShowAgain"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(text);
    layout->addSpacing(8);
    layout->addLayout(pictures);
    layout->addStretch(1);
    layout->addWidget(dontShow_);
}

void WelcomePage::OnSetActive()
{
    if (!adjusted_) {
        Frame().AdjustWindow();
        adjusted_ = true;
    }
    Frame().SetButtons({.back = ButtonState::Hidden, .next = ButtonState::Enabled});
}

PageTurn WelcomePage::OnWizardNext()
{
    if (dontShow_->isChecked()) Settings().WriteSkipFirst();
    return PageTurn::Onward();
}

}  // namespace tesslow
