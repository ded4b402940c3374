#pragma once

#include <QFont>

namespace tesslow {

// The fonts every page draws with, made once at start-up.
struct UiFonts {
    QFont normal;        // the desktop's general font
    QFont bold;          // the same, bold
    QFont titleAero;     // the general font, 4 pixels larger
    QFont titleClassic;  // "Verdana Bold" 12 pt; fontconfig picks a bold sans where Verdana is absent
};

// Needs a running QApplication.
UiFonts MakeUiFonts();

}  // namespace tesslow
