#pragma once

#include <QFont>
#include <QSize>

namespace tesslow {

// Pixels of a size in dialog units, as Windows converts them for a dialog in
// `font`: x by the average character width / 4, y by the character height / 8.
// The average width is that of the 52 Latin letters, rounded.
QSize DialogUnitsToPixels(const QSize& units, const QFont& font);

}  // namespace tesslow
