#include "ui/wizard_frame.h"

#include "ui/options_dialog.h"

#include "ui/aero_chrome.h"
#include "ui/classic_chrome.h"
#include "ui/skin.h"
#include "ui/wizard_page.h"

#include <QAbstractButton>
#include <QShortcut>
#include <QVBoxLayout>

namespace tesslow {

WizardFrame::WizardFrame(const Skin& skin, QWidget* parent) : QDialog(parent), skin_(skin)
{
    setObjectName(QStringLiteral("wizardFrame"));
    setWindowTitle(QStringLiteral("Tesslow"));
    setFont(skin.fonts.normal);
    if (skin.kind == SkinKind::Classic) chrome_ = new ClassicChrome(skin, this);
    else chrome_ = new AeroChrome(skin, this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(chrome_);
    connect(chrome_, &WizardChrome::Clicked, this, &WizardFrame::Press);
    auto* help = new QShortcut(QKeySequence(Qt::Key_F1), this);
    connect(help, &QShortcut::activated, this, [this] { Press(WizardButton::Help); });
    auto* options = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma), this);
    connect(options, &QShortcut::activated, this, [this] { ShowOptions(); });
}

void WizardFrame::ShowOptions(const DriveModel& drive, OffsetDetector detect)
{
    OptionsDialog dialog(this, drive, std::move(detect));
    if (dialog.exec() == QDialog::Accepted && CurrentPage()) CurrentPage()->OnOptionsChanged();
}

void WizardFrame::AddPage(WizardPage* page)
{
    page->setParent(this);
    pages_.push_back(page);
    chrome_->AddPage(page);
    connect(page, &WizardPage::TitleChanged, this, [this, page] {
        if (CurrentPage() == page) chrome_->ShowPage(*page);
    });
}

WizardPage* WizardFrame::Page(int index) const
{
    if (index < 0 || index >= PageCount()) return nullptr;
    return pages_[static_cast<std::size_t>(index)];
}

int WizardFrame::IndexOfTemplate(int templateId) const
{
    for (int i = 0; i < PageCount(); ++i) {
        if (Page(i)->TemplateId() == templateId) return i;
    }
    return -1;
}

void WizardFrame::Start(int first)
{
    if (current_ < 0 && !SetCurSel(first)) SetCurSel(0);
}

bool WizardFrame::SetCurSel(int index)
{
    WizardPage* next = Page(index);
    if (!next) return false;
    if (WizardPage* leaving = CurrentPage(); leaving && !leaving->OnKillActive()) return false;
    current_ = index;
    chrome_->ShowPage(*next);
    next->OnSetActive();
    // OnSetActive may have moved on already; the page now current sets the look.
    if (CurrentPage() == next) {
        ApplyButtons();
        next->setFocus();
    }
    return true;
}

bool WizardFrame::SetCurSelId(int templateId) { return SetCurSel(IndexOfTemplate(templateId)); }

void WizardFrame::SetButtons(const WizardButtonSet& set)
{
    buttons_ = set;
    ApplyButtons();
}

void WizardFrame::ApplyButtons()
{
    const WizardPage* page = CurrentPage();
    chrome_->ApplyButtons(buttons_, page && page->HelpContext() != 0);
}

void WizardFrame::SetButtonText(WizardButton button, const QString& text)
{
    QString label = text;
    if (label.isEmpty()) {
        switch (button) {
        case WizardButton::Back: label = skin_.backLabel; break;
        case WizardButton::Next: label = skin_.nextLabel; break;
        case WizardButton::Finish: label = skin_.finishLabel; break;
        case WizardButton::Cancel: label = skin_.cancelLabel; break;
        case WizardButton::Help: label = skin_.helpLabel; break;
        }
    }
    chrome_->Button(button)->setText(label);
    ApplyButtons();  // a longer label may need more room
}

QString WizardFrame::ButtonText(WizardButton button) const { return chrome_->Button(button)->text(); }

void WizardFrame::Press(WizardButton button)
{
    WizardPage* page = CurrentPage();
    if (!page) return;
    if (button != WizardButton::Help) {
        const QAbstractButton* control = chrome_->Button(button);
        if (!control->isVisible() || !control->isEnabled()) return;
    }
    if (button == WizardButton::Next || button == WizardButton::Back || button == WizardButton::Cancel) {
        page->OnLeave();
    }
    switch (button) {
    case WizardButton::Next: Follow(page->OnWizardNext(), +1); break;
    case WizardButton::Back: Follow(page->OnWizardBack(), -1); break;
    case WizardButton::Finish:
        if (page->OnWizardFinish()) done(QDialog::Accepted);
        break;
    case WizardButton::Cancel:
        if (page->OnQueryCancel()) done(QDialog::Rejected);
        break;
    case WizardButton::Help: page->OnHelp(); break;
    }
}

void WizardFrame::Follow(const PageTurn& turn, int step)
{
    switch (turn.kind) {
    case PageTurn::Kind::Onward: SetCurSel(current_ + step); break;
    case PageTurn::Kind::Stay: break;
    case PageTurn::Kind::ToIndex: SetCurSel(turn.value); break;
    case PageTurn::Kind::ToTemplate: SetCurSelId(turn.value); break;
    }
}

void WizardFrame::reject()
{
    // Esc and the window's close box ask as Cancel does.
    Press(WizardButton::Cancel);
}

void WizardFrame::Abandon() { done(QDialog::Rejected); }

void WizardFrame::AdjustWindow()
{
    // Neither window can be resized (its pages do not grow); the classic one
    // gets a minimize box.
    if (skin_.kind == SkinKind::Classic) setWindowFlag(Qt::WindowMinimizeButtonHint, true);
    setSizeGripEnabled(false);
    adjustSize();
    setFixedSize(sizeHint());
}

}  // namespace tesslow
