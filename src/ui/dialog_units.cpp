#include "ui/dialog_units.h"

#include <QFontMetrics>

namespace tesslow {

QSize DialogUnitsToPixels(const QSize& units, const QFont& font)
{
    const QFontMetrics metrics(font);
    const int letters = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    const int averageWidth = (letters / 26 + 1) / 2;
    const int height = metrics.height();
    return QSize((units.width() * averageWidth + 2) / 4, (units.height() * height + 4) / 8);
}

}  // namespace tesslow
