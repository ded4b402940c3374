#include "ui/controls/task_dialog.h"

#include "ui/controls/pictures.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCommandLinkButton>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QStyle>
#include <QTimerEvent>
#include <QToolButton>
#include <QVBoxLayout>

namespace tesslow {
namespace {

using namespace task;

constexpr int kMaximumButtons = 20;

struct CommonButton {
    std::uint32_t flag;
    int id;
    const char* label;
    const char* name;
};
// In the order they stand in the row.
constexpr CommonButton kCommonButtons[] = {
    {kOkButton, kIdOk, "&OK", "ok"},         {kYesButton, kIdYes, "&Yes", "yes"},
    {kNoButton, kIdNo, "&No", "no"},         {kRetryButton, kIdRetry, "&Retry", "retry"},
    {kCancelButton, kIdCancel, "Cancel", "cancel"}, {kCloseButton, kIdClose, "Close", "close"},
};

bool Valid(const TaskDialogConfig& config)
{
    if (config.buttons.size() > kMaximumButtons || config.radioButtons.size() > kMaximumButtons) return false;
    const bool commandLinks = (config.flags & (kUseCommandLinks | kUseCommandLinksNoIcon)) != 0;
    return !commandLinks || !config.buttons.empty();
}

QIcon IconOf(Icon icon, const QStyle* style)
{
    switch (icon) {
    case Icon::None: return {};
    case Icon::Warning: return style->standardIcon(QStyle::SP_MessageBoxWarning);
    case Icon::Error: return style->standardIcon(QStyle::SP_MessageBoxCritical);
    case Icon::Information: return style->standardIcon(QStyle::SP_MessageBoxInformation);
    case Icon::Question: return style->standardIcon(QStyle::SP_MessageBoxQuestion);
    case Icon::Shield: return style->standardIcon(QStyle::SP_VistaShield);
    }
    return {};
}

QLabel* IconLabel(Icon icon, int size, QWidget* parent)
{
    auto* label = new QLabel(parent);
    const QIcon picture = IconOf(icon, parent->style());
    if (!picture.isNull()) label->setPixmap(picture.pixmap(size, size));
    label->setFixedSize(size, size);
    label->setVisible(icon != Icon::None);
    return label;
}

QString WithoutLinks(QString text) { return text.remove(QRegularExpression(QStringLiteral("</?a[^>]*>"))); }

}  // namespace

TaskDialogResult ShowTaskDialog(const TaskDialogConfig& config)
{
    if (!Valid(config)) return {};
    TaskDialogConfig current = config;
    bool navigated = false;
    for (;;) {
        TaskDialog dialog(current, navigated);
        dialog.exec();
        std::optional<TaskDialogConfig> next = dialog.TakeNavigation();
        if (!next) return dialog.Result();
        if (!Valid(*next)) return dialog.Result();
        current = std::move(*next);
        navigated = true;
    }
}

TaskDialog::TaskDialog(const TaskDialogConfig& config, bool navigated)
    : QDialog(config.parent), config_(config), navigated_(navigated)
{
    setObjectName(QStringLiteral("taskDialog"));
    result_.shown = true;
    setWindowTitle(config.windowTitle.isEmpty() ? QApplication::applicationName() : config.windowTitle);
    Qt::WindowFlags flags = Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint;
    if (CanCancel()) flags |= Qt::WindowCloseButtonHint | Qt::WindowSystemMenuHint;
    if (config.flags & kCanBeMinimized) flags |= Qt::WindowMinimizeButtonHint;
    setWindowFlags(flags);
    if (config.flags & kRtlLayout) setLayoutDirection(Qt::RightToLeft);
    if (!config.parent && config.mainIcon != Icon::None) setWindowIcon(IconOf(config.mainIcon, style()));
    if (config_.expandedControlText.isEmpty()) config_.expandedControlText = QStringLiteral("Hide details");
    if (config_.collapsedControlText.isEmpty()) config_.collapsedControlText = QStringLiteral("Show details");
    Build();
}

TaskDialog::~TaskDialog()
{
    if (timerId_ != 0) killTimer(timerId_);
}

bool TaskDialog::CanCancel() const
{
    return (config_.flags & kAllowDialogCancellation) != 0 || (config_.commonButtons & kCancelButton) != 0;
}

void TaskDialog::Build()
{
    const QFontMetrics metrics(font());
    const int cx = (metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz")) / 26 + 1) / 2;
    // The configured width, else as wide as the content needs, up to 60 characters.
    int width = static_cast<int>(config_.width) * cx / 4;
    if (width == 0) {
        int natural = 0;
        for (const QString& text : {config_.mainInstruction, WithoutLinks(config_.content)}) {
            for (const QString& line : text.split(QLatin1Char('\n'))) natural = std::max(natural, metrics.horizontalAdvance(line) * 5 / 4);
        }
        width = std::clamp(natural, 30 * cx, 60 * cx);
    }
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(BuildTop(width));
    layout->addWidget(BuildButtonRow());
    if (QWidget* footer = BuildFooter(width)) layout->addWidget(footer);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    expanded_ = (config_.flags & kExpandedByDefault) != 0;
    ApplyExpanded();
}

QWidget* TaskDialog::BuildTop(int contentWidth)
{
    auto* top = new QWidget(this);
    top->setBackgroundRole(QPalette::Base);
    top->setAutoFillBackground(true);
    const QFontMetrics metrics(font());
    const int cx = metrics.averageCharWidth(), cy = metrics.height();
    auto* row = new QHBoxLayout(top);
    row->setContentsMargins(cx * 3 / 2, cy * 2 / 3, cx * 3 / 2, cy * 2 / 3);
    row->setSpacing(cx * 3 / 2);
    if (config_.mainIcon != Icon::None) row->addWidget(IconLabel(config_.mainIcon, 32, top), 0, Qt::AlignTop);
    auto* column = new QVBoxLayout;
    column->setSpacing(cy / 2);
    row->addLayout(column);

    instruction_ = new QLabel(config_.mainInstruction, top);
    instruction_->setObjectName(QStringLiteral("mainInstruction"));
    QFont large = font();
    large.setPointSizeF(large.pointSizeF() * 1.4);
    instruction_->setFont(large);
    QPalette blue = instruction_->palette();
    blue.setColor(QPalette::WindowText, QColor(0, 51, 153));
    instruction_->setPalette(blue);
    instruction_->setWordWrap(true);
    instruction_->setFixedWidth(contentWidth);
    instruction_->setVisible(!config_.mainInstruction.isEmpty());
    column->addWidget(instruction_);
    column->addSpacing(cy / 4);

    const bool links = (config_.flags & kEnableHyperlinks) != 0;
    content_ = new QLabel(links ? config_.content : WithoutLinks(config_.content), top);
    content_->setObjectName(QStringLiteral("content"));
    content_->setWordWrap(true);
    content_->setFixedWidth(contentWidth);
    content_->setTextFormat(links ? Qt::RichText : Qt::PlainText);
    content_->setTextInteractionFlags(links ? Qt::TextBrowserInteraction : Qt::TextSelectableByMouse);
    content_->setVisible(!config_.content.isEmpty());
    if (links) {
        connect(content_, &QLabel::linkActivated, this, [this](const QString& address) {
            Notify(Notification::HyperlinkClicked, 0, reinterpret_cast<std::intptr_t>(&address));
        });
    }
    column->addWidget(content_);

    expandedText_ = new QLabel(WithoutLinks(config_.expandedInformation), top);
    expandedText_->setObjectName(QStringLiteral("expandedInformation"));
    expandedText_->setWordWrap(true);
    expandedText_->setFixedWidth(contentWidth);
    if ((config_.flags & kExpandFooterArea) == 0) column->addWidget(expandedText_);

    if (config_.flags & (kShowProgressBar | kShowMarqueeProgressBar)) {
        bar_ = new QProgressBar(top);
        bar_->setObjectName(QStringLiteral("progressBar"));
        bar_->setTextVisible(false);
        bar_->setFixedHeight(cy);
        bar_->setFixedWidth(contentWidth);
        bar_->setRange(0, 100);
        bar_->setValue(0);
        if (config_.flags & kShowMarqueeProgressBar) bar_->setRange(0, 0);
        column->addWidget(bar_);
    }

    if (!config_.radioButtons.empty()) {
        radios_ = new QButtonGroup(this);
        for (const Button& radio : config_.radioButtons) {
            auto* button = new QRadioButton(radio.text, top);
            button->setObjectName(QStringLiteral("radio%1").arg(radio.id));
            radios_->addButton(button, radio.id);
            auto* indented = new QHBoxLayout;
            indented->setContentsMargins(cx * 3 / 2, 0, 0, 0);
            indented->addWidget(button);
            column->addLayout(indented);
        }
        connect(radios_, &QButtonGroup::idClicked, this, [this](int id) {
            result_.radioButton = id;
            Notify(Notification::RadioButtonClicked, static_cast<std::uintptr_t>(id));
        });
    }

    if (config_.flags & (kUseCommandLinks | kUseCommandLinksNoIcon)) {
        const bool icon = (config_.flags & kUseCommandLinksNoIcon) == 0;
        for (const Button& link : config_.buttons) {
            const qsizetype breakAt = link.text.indexOf(QLatin1Char('\n'));
            auto* button = new QCommandLinkButton(breakAt < 0 ? link.text : link.text.left(breakAt),
                                                  breakAt < 0 ? QString() : link.text.mid(breakAt + 1), top);
            button->setObjectName(QStringLiteral("button%1").arg(link.id));
            if (icon) {
                const QImage arrow = LoadPicture(kArrowIcon);
                if (!arrow.isNull()) button->setIcon(QIcon(QPixmap::fromImage(arrow)));
            } else {
                button->setIcon(QIcon());
            }
            button->setFixedWidth(contentWidth);
            connect(button, &QAbstractButton::clicked, this, [this, id = link.id] { ClickButton(id); });
            buttons_[link.id] = button;
            column->addWidget(button);
        }
    }
    column->addStretch(1);
    return top;
}

QWidget* TaskDialog::BuildButtonRow()
{
    auto* area = new QWidget(this);
    const QFontMetrics metrics(font());
    const int cx = metrics.averageCharWidth(), cy = metrics.height();
    auto* row = new QHBoxLayout(area);
    row->setContentsMargins(cx * 3 / 2, cy * 3 / 4, cx * 3 / 2, cy * 3 / 4);
    row->setSpacing(cx);

    auto* left = new QVBoxLayout;
    if (!config_.expandedInformation.isEmpty()) {
        expando_ = new QToolButton(area);
        expando_->setObjectName(QStringLiteral("expandoButton"));
        expando_->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        expando_->setAutoRaise(true);
        expando_->setIconSize(QSize(20, 20));
        connect(expando_, &QToolButton::clicked, this, &TaskDialog::Toggle);
        left->addWidget(expando_);
    }
    if (!config_.verificationText.isEmpty()) {
        verification_ = new QCheckBox(config_.verificationText, area);
        verification_->setObjectName(QStringLiteral("verification"));
        verification_->setChecked((config_.flags & kVerificationFlagChecked) != 0);
        result_.verificationChecked = verification_->isChecked();
        connect(verification_, &QCheckBox::clicked, this, [this](bool checked) {
            result_.verificationChecked = checked;
            Notify(Notification::VerificationClicked, checked ? 1 : 0);
        });
        left->addWidget(verification_);
    }
    row->addLayout(left);
    row->addStretch(1);

    auto addPush = [&](int id, const QString& text, const QString& name) {
        auto* button = new QPushButton(text, area);
        button->setObjectName(name);
        button->setMinimumWidth(75);
        connect(button, &QAbstractButton::clicked, this, [this, id] { ClickButton(id); });
        buttons_[id] = button;
        rowOrder_.push_back(id);
        row->addWidget(button);
    };
    const bool commandLinks = (config_.flags & (kUseCommandLinks | kUseCommandLinksNoIcon)) != 0;
    if (!commandLinks) {
        for (const Button& custom : config_.buttons) addPush(custom.id, custom.text, QStringLiteral("button%1").arg(custom.id));
    }
    std::uint32_t common = config_.commonButtons;
    if (common == 0 && config_.buttons.empty()) common = kOkButton;  // a dialog always has a way out
    for (const CommonButton& button : kCommonButtons) {
        if (common & button.flag) addPush(button.id, QString::fromLatin1(button.label), QString::fromLatin1(button.name) + QStringLiteral("Button"));
    }
    return area;
}

QWidget* TaskDialog::BuildFooter(int contentWidth)
{
    const bool footerExpanded = (config_.flags & kExpandFooterArea) != 0 && !config_.expandedInformation.isEmpty();
    if (config_.footer.isEmpty() && !footerExpanded) return nullptr;
    auto* area = new QWidget(this);
    const QFontMetrics metrics(font());
    const int cx = metrics.averageCharWidth(), cy = metrics.height();
    auto* column = new QVBoxLayout(area);
    column->setContentsMargins(cx * 3 / 2, cy / 2, cx * 3 / 2, cy / 2);
    auto* line = new QFrame(area);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    column->addWidget(line);
    if (!config_.footer.isEmpty()) {
        auto* row = new QHBoxLayout;
        if (config_.footerIcon != Icon::None) row->addWidget(IconLabel(config_.footerIcon, 16, area), 0, Qt::AlignTop);
        footerText_ = new QLabel(WithoutLinks(config_.footer), area);
        footerText_->setObjectName(QStringLiteral("footer"));
        footerText_->setWordWrap(true);
        footerText_->setFixedWidth(contentWidth);
        row->addWidget(footerText_, 1);
        column->addLayout(row);
    }
    if (footerExpanded) column->addWidget(expandedText_);
    return area;
}

void TaskDialog::ApplyExpanded()
{
    expandedText_->setVisible(expanded_ && !config_.expandedInformation.isEmpty());
    if (!expando_) return;
    expando_->setText(expanded_ ? config_.expandedControlText : config_.collapsedControlText);
    const QImage icon = LoadPicture(expanded_ ? kCollapseIcon : kExpandIcon);
    expando_->setIcon(icon.isNull() ? QIcon() : QIcon(QPixmap::fromImage(icon)));
}

void TaskDialog::Toggle()
{
    expanded_ = !expanded_;
    ApplyExpanded();
    Notify(Notification::ExpandoButtonClicked, expanded_ ? 1 : 0);
}

void TaskDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (started_) return;
    started_ = true;
    // Centred over the owner only when asked to be; else on the screen.
    const QWidget* owner = parentWidget() ? parentWidget()->window() : nullptr;
    if (owner && (config_.flags & kPositionRelativeToWindow) != 0) {
        move(owner->frameGeometry().center() - rect().center());
    } else if (const QScreen* screen = owner ? owner->screen() : this->screen()) {
        move(screen->availableGeometry().center() - rect().center());
    }
    // Defaults, then the first notifications once the dialog runs.
    if (radios_ && (config_.flags & kNoDefaultRadioButton) == 0) {
        const int id = config_.defaultRadioButton != 0 ? config_.defaultRadioButton : config_.radioButtons.front().id;
        if (QAbstractButton* radio = radios_->button(id)) radio->click();
    }
    // Without one configured, the first custom button (a command link too),
    // else the first button of the row.
    const int defaultId = config_.defaultButton != 0 ? config_.defaultButton
                          : !buttons_.empty() && !config_.buttons.empty() ? config_.buttons.front().id
                          : !rowOrder_.empty() ? rowOrder_.front() : 0;
    if (auto found = buttons_.find(defaultId); found != buttons_.end()) {
        if (auto* push = qobject_cast<QPushButton*>(found->second)) push->setDefault(true);
        found->second->setFocus();
    }
    if (config_.mainIcon == Icon::Error || config_.mainIcon == Icon::Warning || config_.mainIcon == Icon::Information) {
        QApplication::beep();
    }
    timerOrigin_.start();
    if (config_.flags & kCallbackTimer) timerId_ = startTimer(200);
    QMetaObject::invokeMethod(this, [this] {
        Notify(Notification::DialogConstructed);
        Notify(navigated_ ? Notification::Navigated : Notification::Created);
    }, Qt::QueuedConnection);
}

void TaskDialog::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != timerId_) return QDialog::timerEvent(event);
    if (Notify(Notification::Timer, static_cast<std::uintptr_t>(timerOrigin_.elapsed())) != 0) timerOrigin_.restart();
}

long TaskDialog::Notify(Notification notification, std::uintptr_t wParam, std::intptr_t lParam)
{
    if (!config_.callback) return 0;
    return config_.callback(*this, notification, wParam, lParam);
}

void TaskDialog::ClickButton(int id)
{
    if (finished_) return;
    if (Notify(Notification::ButtonClicked, static_cast<std::uintptr_t>(id)) == 1) return;  // "don't close"
    Finish(id);
}

void TaskDialog::Finish(int button)
{
    if (finished_) return;
    finished_ = true;
    result_.button = button;
    if (timerId_ != 0) {
        killTimer(timerId_);
        timerId_ = 0;
    }
    if (verification_) result_.verificationChecked = verification_->isChecked();
    Notify(Notification::Destroyed);
    done(button);
}

void TaskDialog::EnableButton(int id, bool enabled)
{
    if (auto found = buttons_.find(id); found != buttons_.end()) found->second->setEnabled(enabled);
}

void TaskDialog::EnableRadioButton(int id, bool enabled)
{
    if (!radios_) return;
    if (QAbstractButton* radio = radios_->button(id)) radio->setEnabled(enabled);
}

void TaskDialog::SetProgressBarRange(int minimum, int maximum)
{
    if (bar_) bar_->setRange(minimum, maximum);
}

int TaskDialog::SetProgressBarPos(int position)
{
    if (!bar_) return 0;
    const int previous = bar_->value();
    bar_->setValue(position);
    return previous;
}

void TaskDialog::SetElementText(Element element, const QString& text)
{
    switch (element) {
    case Element::Content:
        content_->setText((config_.flags & kEnableHyperlinks) ? text : WithoutLinks(text));
        content_->setVisible(!text.isEmpty());
        break;
    case Element::ExpandedInformation:
        config_.expandedInformation = text;
        expandedText_->setText(WithoutLinks(text));
        ApplyExpanded();
        break;
    case Element::Footer:
        if (footerText_) footerText_->setText(WithoutLinks(text));
        break;
    case Element::MainInstruction:
        instruction_->setText(text);
        instruction_->setVisible(!text.isEmpty());
        break;
    }
}

void TaskDialog::NavigatePage(const TaskDialogConfig& config)
{
    navigation_ = config;
    finished_ = true;
    if (timerId_ != 0) {
        killTimer(timerId_);
        timerId_ = 0;
    }
    done(0);
}

std::optional<TaskDialogConfig> TaskDialog::TakeNavigation()
{
    std::optional<TaskDialogConfig> next = std::move(navigation_);
    navigation_.reset();
    return next;
}

void TaskDialog::reject()
{
    // Esc: only where cancelling is allowed, and then as the Cancel button.
    if (CanCancel()) ClickButton(kIdCancel);
}

void TaskDialog::closeEvent(QCloseEvent* event)
{
    if (finished_) return event->accept();
    event->ignore();
    if (CanCancel()) ClickButton(kIdCancel);
}

void TaskDialog::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_F1) {
        Notify(Notification::Help);
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace tesslow
