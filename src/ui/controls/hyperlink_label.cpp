#include "ui/controls/hyperlink_label.h"

#include "ui/controls/contrast.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace tesslow {

LinkColours LinkColoursOf(const QPalette& palette)
{
    // Blue and purple on a light window; their light kin on a dark one, where
    // the classic colours cannot be read.
    const QColor window = palette.color(QPalette::Active, QPalette::Window);
    const bool dark = ContrastRatio(window, Qt::white) > ContrastRatio(window, Qt::black);
    LinkColours colours = dark ? LinkColours{QColor(138, 180, 248), QColor(200, 160, 250)}
                               : LinkColours{QColor(0, 0, 255), QColor(128, 0, 128)};
    if (palette.isBrushSet(QPalette::Active, QPalette::Link)) colours.link = palette.color(QPalette::Active, QPalette::Link);
    if (palette.isBrushSet(QPalette::Active, QPalette::LinkVisited)) {
        colours.visited = palette.color(QPalette::Active, QPalette::LinkVisited);
    }
    return colours;
}

HyperlinkLabel::HyperlinkLabel(const QString& markedText, QWidget* parent) : QWidget(parent)
{
    setMouseTracking(true);
    SetText(markedText);
}

void HyperlinkLabel::SetText(const QString& markedText)
{
    const qsizetype open = markedText.indexOf(QStringLiteral("<a>"), 0, Qt::CaseInsensitive);
    const qsizetype close = markedText.indexOf(QStringLiteral("</a>"), open < 0 ? 0 : open, Qt::CaseInsensitive);
    if (open < 0 || close < 0) {
        before_ = markedText;
        link_.clear();
        after_.clear();
    } else {
        before_ = markedText.left(open);
        link_ = markedText.mid(open + 3, close - open - 3);
        after_ = markedText.mid(close + 4);
    }
    setFocusPolicy(link_.isEmpty() ? Qt::NoFocus : Qt::TabFocus);
    updateGeometry();
    update();
}

QFont HyperlinkLabel::LinkFont() const
{
    QFont underlined = font();
    underlined.setUnderline(hovered_);
    return underlined;
}

QColor HyperlinkLabel::LinkColour() const
{
    if (!isEnabled()) return palette().color(QPalette::Disabled, QPalette::WindowText);
    const LinkColours colours = LinkColoursOf(palette());
    return visited_ ? colours.visited : colours.link;
}

QRect HyperlinkLabel::LinkRect() const
{
    const QFontMetrics metrics(font());
    return QRect(metrics.horizontalAdvance(before_), 0, metrics.horizontalAdvance(link_), metrics.height());
}

QSize HyperlinkLabel::sizeHint() const
{
    const QFontMetrics metrics(font());
    return QSize(metrics.horizontalAdvance(before_ + link_ + after_) + 1, metrics.height());
}

void HyperlinkLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QFontMetrics metrics(font());
    const int baseline = metrics.ascent();
    int x = 0;
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    painter.drawText(x, baseline, before_);
    x += metrics.horizontalAdvance(before_);
    painter.setFont(LinkFont());
    painter.setPen(LinkColour());
    painter.drawText(x, baseline, link_);
    x += metrics.horizontalAdvance(link_);
    painter.setFont(font());
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    painter.drawText(x, baseline, after_);
    if (hasFocus() && !link_.isEmpty()) {
        QStyleOptionFocusRect frame;
        frame.initFrom(this);
        frame.rect = LinkRect().adjusted(-1, 0, 1, 0) & rect();
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &frame, &painter, this);
    }
}

void HyperlinkLabel::SetHovered(bool hovered)
{
    if (hovered == hovered_) return;
    hovered_ = hovered;
    if (hovered) setCursor(Qt::PointingHandCursor);
    else unsetCursor();
    update();
}

void HyperlinkLabel::mouseMoveEvent(QMouseEvent* event)
{
    SetHovered(isEnabled() && !link_.isEmpty() && LinkRect().contains(event->position().toPoint()));
}

void HyperlinkLabel::leaveEvent(QEvent*) { SetHovered(false); }

void HyperlinkLabel::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange && !isEnabled()) SetHovered(false);
    QWidget::changeEvent(event);
}

void HyperlinkLabel::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || !isEnabled() || link_.isEmpty()) return;
    if (!LinkRect().contains(event->position().toPoint())) return;
    Activate();
}

void HyperlinkLabel::keyPressEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && isEnabled() && !link_.isEmpty()) {
        Activate();
        return;
    }
    QWidget::keyPressEvent(event);
}

void HyperlinkLabel::focusInEvent(QFocusEvent* event)
{
    update();
    QWidget::focusInEvent(event);
}

void HyperlinkLabel::focusOutEvent(QFocusEvent* event)
{
    update();
    QWidget::focusOutEvent(event);
}

void HyperlinkLabel::Activate()
{
    visited_ = true;
    update();
    emit clicked();
}

TwoLineHyperlink::TwoLineHyperlink(QWidget* parent)
    : HyperlinkLabel(QStringLiteral("Audio format defines the way your audio files are created. Click <a>here</a> to "
                                    "learn more about supported"),
                     parent)
{
}

QRect TwoLineHyperlink::LinkRect() const { return HyperlinkLabel::LinkRect(); }

QSize TwoLineHyperlink::sizeHint() const
{
    const QSize line = HyperlinkLabel::sizeHint();
    return QSize(line.width(), 2 * line.height() + 1);
}

QSize TwoLineHyperlink::minimumSizeHint() const
{
    const QFontMetrics metrics(font());
    return QSize(metrics.horizontalAdvance(before_ + link_), 2 * metrics.height() + 1);
}

void TwoLineHyperlink::paintEvent(QPaintEvent*)
{
    // The words after the link that do not fit on the first line (fonts wider
    // than the one the text was set for) go on to the second.
    const QFontMetrics metrics(font());
    const int linkEnd = metrics.horizontalAdvance(before_ + link_);
    QString first = after_;
    QString second = QStringLiteral("audio formats.");
    while (!first.isEmpty() && linkEnd + metrics.horizontalAdvance(first) > width()) {
        const qsizetype cut = first.lastIndexOf(QLatin1Char(' '));
        second = first.mid(cut + 1) + QLatin1Char(' ') + second;
        first = cut > 0 ? first.left(cut) : QString();
    }
    QPainter painter(this);
    const QColor text = palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText);
    const int baseline = metrics.ascent();
    painter.setPen(text);
    painter.drawText(0, baseline, before_);
    painter.setFont(LinkFont());
    painter.setPen(LinkColour());
    painter.drawText(metrics.horizontalAdvance(before_), baseline, link_);
    painter.setFont(font());
    painter.setPen(text);
    painter.drawText(linkEnd, baseline, first);
    // The second line starts one pixel below the first.
    painter.drawText(0, metrics.height() + 1 + baseline, second);
}

}  // namespace tesslow
