#include "ui/controls/note_label.h"

#include "ui/controls/contrast.h"

namespace tesslow {

QLabel* MakeNoteLabel(const QString& text, QWidget* parent)
{
    auto* note = new QLabel(text, parent);
    note->setWordWrap(true);
    QPalette grey = note->palette();
    // Dark grey on a light window, light grey on a dark one.
    const QColor window = grey.color(QPalette::Window);
    grey.setColor(QPalette::WindowText,
                  ContrastRatio(window, QColor(96, 96, 96)) >= 4.5 ? QColor(96, 96, 96) : QColor(176, 176, 176));
    note->setPalette(grey);
    return note;
}

}  // namespace tesslow
