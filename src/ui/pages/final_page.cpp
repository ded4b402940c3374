#include "ui/pages/final_page.h"

#include "app/settings.h"
#include "platform/desktop_shell.h"
#include "ui/controls/hyperlink_label.h"
#include "ui/controls/pictures.h"
#include "ui/label_text.h"
#include "ui/skin.h"
#include "ui/wizard_frame.h"
#include "ui/wizard_state.h"

#include <algorithm>

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace tesslow {

FinalPage::FinalPage(const PageContext& context)
    : WizardPage(PageId::Final, context),
      text_(new QLabel(this)),
      notes_(new QLabel(this)),
      accuracy_(new QLabel(this)),
      picture_(new QLabel(this)),
      errors_(new QPlainTextEdit(this)),
      site_(new HyperlinkLabel(QStringLiteral("<a>Visit program site >></a>"), this)),
      support_(new HyperlinkLabel(QStringLiteral("<a>Contact support >></a>"), this)),
      newVersion_(new HyperlinkLabel(QStringLiteral("<a>Check for new version >></a>"), this))
{
    text_->setObjectName(QStringLiteral("outcomeText"));
    text_->setWordWrap(true);
    text_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    notes_->setObjectName(QStringLiteral("ripNotes"));
    notes_->setWordWrap(true);
    accuracy_->setObjectName(QStringLiteral("accuracyLine"));
    accuracy_->setWordWrap(true);
    picture_->setObjectName(QStringLiteral("outcomePicture"));
    picture_->setPixmap(QPixmap::fromImage(LoadPicture(kFinalPicture)));
    picture_->setAlignment(Qt::AlignCenter);
    errors_->setObjectName(QStringLiteral("errorList"));
    errors_->setReadOnly(true);
    errors_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    errors_->installEventFilter(this);
    site_->setObjectName(QStringLiteral("siteLink"));
    support_->setObjectName(QStringLiteral("supportLink"));
    newVersion_->setObjectName(QStringLiteral("newVersionLink"));
    newVersion_->hide();  // nothing behind it yet
    connect(site_, &HyperlinkLabel::clicked, this, [this] { Context().shell.Open(Settings().HomeURL); });
    connect(support_, &HyperlinkLabel::clicked, this, [this] { Context().shell.Open(Settings().MailURL); });

    auto* links = new QHBoxLayout;
    links->addWidget(site_);
    links->addSpacing(16);
    links->addWidget(support_);
    links->addSpacing(16);
    links->addWidget(newVersion_);
    links->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(text_);
    layout->addWidget(notes_);
    layout->addWidget(accuracy_);
    // Paragraphs of their own: a blank line's space above each, as between
    // the text's paragraphs.
    const int paragraph = std::max(0, text_->fontMetrics().lineSpacing() - layout->spacing());
    notes_->setContentsMargins(0, paragraph, 0, 0);
    accuracy_->setContentsMargins(0, paragraph, 0, 0);
    layout->addWidget(picture_, 1);
    layout->addWidget(errors_, 1);
    layout->addLayout(links);
}

QString FinalPage::Title() const
{
    return State().result == RipResult::Canceled ? QStringLiteral("Canceled") : WizardPage::Title();
}

void FinalPage::OnSetActive()
{
    const RipResult result = State().result;
    const QString again = QStringLiteral("To start this wizard again and extract %1 disc press \"Rip more\". To "
                                         "close this wizard, press \"Close\".");
    switch (result) {
    case RipResult::Success:
        text_->setText(QStringLiteral("You have successfully completed Tesslow.\n\nThe tracks you've choosen were "
                                      "successfully extracted.\n\n") + again.arg(QStringLiteral("one more")));
        break;
    case RipResult::Canceled:
        text_->setText(QStringLiteral("You have canceled Tesslow.\n\n") + again.arg(QStringLiteral("one more")));
        break;
    case RipResult::CompletedWithErrors:
        if (State().tracksRipped == 0) {
            text_->setText(QStringLiteral("No tracks were ripped. See list below.\n\n") + again.arg(QStringLiteral("another")));
        } else {
            text_->setText(QStringLiteral("You have successfully completed Tesslow.\n\nHowever some errors appeared in "
                                          "progress. See list below.\n\n") + again.arg(QStringLiteral("another")));
        }
        break;
    }
    // The tick only where files were made.
    const bool nothingMade =
        result == RipResult::Canceled || (result == RipResult::CompletedWithErrors && State().tracksRipped == 0);
    picture_->setPixmap(QPixmap::fromImage(LoadPicture(nothingMade ? kFinalPictureWithoutTick : kFinalPicture)));
    // The rip's notes and what AccurateRip said, under the text of a completed rip.
    QStringList notes;
    for (const QString& line : QString::fromStdString(State().noteText).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
        notes << LabelText(line.toStdString());
    notes_->setText(notes.join(QLatin1Char('\n')));
    notes_->setVisible(result != RipResult::Canceled && !notes.isEmpty());
    accuracy_->setText(LabelText(State().accuracyLine));
    accuracy_->setVisible(result != RipResult::Canceled && !State().accuracyLine.empty());
    const bool withErrors = result == RipResult::CompletedWithErrors;
    picture_->setVisible(!withErrors);
    errors_->setVisible(withErrors);
    // One error per line; whatever else an error holds shows as spaces.
    QStringList lines;
    for (const QString& line : QString::fromStdString(State().errorText).split(QStringLiteral("\r\n")))
        lines << LabelText(line.toStdString());
    errors_->setPlainText(lines.join(QLatin1Char('\n')));

    const Skin& skin = Context().skin;
    const bool onNext = skin.restartButton == WizardButton::Next;
    Frame().SetButtons({.back = ButtonState::Hidden,
                        .next = onNext ? ButtonState::Enabled : ButtonState::Hidden,
                        .finish = onNext ? ButtonState::Hidden : ButtonState::Enabled});
    // The labels to put back on restart, unless they are this page's own
    // already (shown again without a restart in between).
    if (Frame().ButtonText(skin.restartButton) != skin.restartLabel) savedRestartLabel_ = Frame().ButtonText(skin.restartButton);
    if (Frame().ButtonText(WizardButton::Cancel) != skin.closeLabel) savedCancelLabel_ = Frame().ButtonText(WizardButton::Cancel);
    Frame().SetButtonText(skin.restartButton, skin.restartLabel);
    Frame().SetButtonText(WizardButton::Cancel, skin.closeLabel);
    emit TitleChanged();
}

bool FinalPage::eventFilter(QObject* watched, QEvent* event)
{
    // The error list gets the focus with nothing selected, at its start.
    if (watched == errors_ && event->type() == QEvent::FocusIn) {
        QTextCursor start = errors_->textCursor();
        start.movePosition(QTextCursor::Start);
        errors_->setTextCursor(start);
        errors_->ensureCursorVisible();
    }
    return WizardPage::eventFilter(watched, event);
}

void FinalPage::Restart()
{
    State().ripAgain = true;
    Frame().SetButtonText(Context().skin.restartButton, savedRestartLabel_);
    Frame().SetButtonText(WizardButton::Cancel, savedCancelLabel_);
    Frame().SetCurSelId(TemplateOf(PageId::InsertDisc));
}

PageTurn FinalPage::OnWizardNext()
{
    Restart();
    return PageTurn::Stay();
}

bool FinalPage::OnWizardFinish()
{
    Restart();
    return false;
}

}  // namespace tesslow
