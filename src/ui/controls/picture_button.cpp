#include "ui/controls/picture_button.h"

#include "ui/controls/pictures.h"

#include <QEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

namespace tesslow {

PictureButton::PictureButton(QWidget* parent) : QAbstractButton(parent)
{
    setAttribute(Qt::WA_Hover);
    setFocusPolicy(Qt::StrongFocus);
}

void PictureButton::SetPicture(const QImage& picture)
{
    picture_ = picture;
    update();
}

PictureButton::Look PictureButton::CurrentLook() const
{
    if (isDown()) return Look::Pressed;
    if (!isEnabled()) return Look::Disabled;
    if (hot_) return Look::Hot;
    if (hasFocus()) return Look::Focused;
    return Look::Normal;
}

QSize PictureButton::sizeHint() const
{
    const int width = std::max(75, picture_.isNull() ? 0 : static_cast<int>(picture_.width() / picture_.devicePixelRatio()) + 2 * offset_.x());
    return QSize(width, captionTop_ + 2 * fontMetrics().lineSpacing() + 6);
}

bool PictureButton::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::HoverEnter: hot_ = true; update(); break;
    case QEvent::HoverLeave: hot_ = false; update(); break;
    default: break;
    }
    return QAbstractButton::event(event);
}

void PictureButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QStyleOptionButton option;
    option.initFrom(this);
    option.features = QStyleOptionButton::None;
    const Look look = CurrentLook();
    if (look == Look::Pressed) option.state |= QStyle::State_Sunken;
    else option.state |= QStyle::State_Raised;
    if (look == Look::Hot) option.state |= QStyle::State_MouseOver;
    else option.state &= ~QStyle::State_MouseOver;
    if (look == Look::Focused) option.features |= QStyleOptionButton::DefaultButton;
    style()->drawControl(QStyle::CE_PushButtonBevel, &option, &painter, this);

    const QRect content = style()->subElementRect(QStyle::SE_PushButtonContents, &option, this);
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = style()->subElementRect(QStyle::SE_PushButtonFocusRect, &option, this);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
    DrawPicture(painter, content.left() + offset_.x(), content.top() + offset_.y(), picture_, !isEnabled());

    const QRect caption(rect().left() + 1, captionTop_, rect().width() - 2, rect().height() - captionTop_);
    style()->drawItemText(&painter, caption, Qt::AlignCenter | Qt::TextWordWrap | Qt::TextShowMnemonic, palette(),
                          isEnabled(), text(), QPalette::ButtonText);
}

}  // namespace tesslow
