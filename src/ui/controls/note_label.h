#pragma once

#include <QLabel>

namespace tesslow {

// A grey note under a choice, RGB(96, 96, 96), word-wrapped.
QLabel* MakeNoteLabel(const QString& text, QWidget* parent);

}  // namespace tesslow
