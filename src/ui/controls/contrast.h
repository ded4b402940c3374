#pragma once

#include <QColor>

namespace tesslow {

// The contrast ratio of two colours (1 to 21), from their relative luminance
// as WCAG defines it; text wants 4.5 or more.
double ContrastRatio(const QColor& a, const QColor& b);

// `preferred` when it stands out enough on `background` (4.5:1), else black
// or white, whichever stands out more.
QColor ReadableOn(const QColor& background, const QColor& preferred);

}  // namespace tesslow
