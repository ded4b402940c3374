#include "ui/ui_fonts.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>

namespace tesslow {

UiFonts MakeUiFonts()
{
    UiFonts fonts;
    fonts.normal = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    fonts.bold = fonts.normal;
    fonts.bold.setBold(true);
    fonts.titleAero = fonts.normal;
    fonts.titleAero.setPixelSize(QFontInfo(fonts.normal).pixelSize() + 4);
    fonts.titleClassic = fonts.normal;
    fonts.titleClassic.setFamilies(QStringList{QStringLiteral("Verdana Bold"), QStringLiteral("Verdana")});
    fonts.titleClassic.setPointSize(12);
    fonts.titleClassic.setBold(true);
    return fonts;
}

}  // namespace tesslow
