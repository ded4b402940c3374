#include "ui/controls/preview_strip.h"

#include "ui/controls/pictures.h"

#include <QPainter>

namespace tesslow {

QString ShortenFolder(const QString& folder, const QFontMetrics& metrics, int width)
{
    if (!folder.startsWith(QLatin1Char('/')) || metrics.horizontalAdvance(folder) <= width) return folder;
    const qsizetype afterFirst = folder.indexOf(QLatin1Char('/'), 1);
    if (afterFirst < 0) return folder;
    const QString head = folder.left(afterFirst + 1) + QStringLiteral("...");
    const QString tail = folder.mid(afterFirst + 1);
    // The fewest characters to drop from the tail's start, found by halves:
    // each measure costs the text's length, and a folder may be long.
    qsizetype fits = tail.size(), tooFew = -1;  // dropping `fits` fits; dropping `tooFew` does not
    while (fits - tooFew > 1) {
        const qsizetype drop = tooFew + (fits - tooFew) / 2;
        (metrics.horizontalAdvance(head + tail.mid(drop)) <= width ? fits : tooFew) = drop;
    }
    if (fits < tail.size() && tail.at(fits).isLowSurrogate()) ++fits;  // never half a character
    return head + tail.mid(fits);
}

PreviewStrip::PreviewStrip(const QImage& strip, Shortening shortening, QWidget* parent)
    : QWidget(parent), strip_(strip), shortening_(shortening)
{
}

void PreviewStrip::SetText(const QString& text)
{
    text_ = text;
    update();
}

QString PreviewStrip::ShownText() const
{
    const int room = width() - 2;
    if (shortening_ == Shortening::Middle) return ShortenFolder(text_, fontMetrics(), room);
    return fontMetrics().elidedText(text_, Qt::ElideRight, room);
}

QSize PreviewStrip::sizeHint() const
{
    const QSizeF strip = strip_.isNull() ? QSizeF(300, 17) : strip_.deviceIndependentSize();
    return QSize(static_cast<int>(strip.width()), std::max(static_cast<int>(strip.height()), fontMetrics().height()));
}

void PreviewStrip::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!strip_.isNull()) {
        // The strip as wide as the control, continued by its last column.
        const QSizeF size = strip_.deviceIndependentSize();
        painter.drawImage(QRectF(0, 0, std::min<qreal>(size.width(), width()), height()), strip_,
                          QRectF(0, 0, std::min<qreal>(strip_.width(), width() * strip_.devicePixelRatio()), strip_.height()));
        if (width() > size.width()) {
            painter.drawImage(QRectF(size.width(), 0, width() - size.width(), height()), strip_,
                              QRectF(strip_.width() - 1, 0, 1, strip_.height()));
        }
    }
    painter.setPen(Qt::white);
    painter.drawText(rect().adjusted(2, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, ShownText());
}

}  // namespace tesslow
