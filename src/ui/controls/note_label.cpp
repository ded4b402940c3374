#include "ui/controls/note_label.h"

namespace tesslow {

QLabel* MakeNoteLabel(const QString& text, QWidget* parent)
{
    auto* note = new QLabel(text, parent);
    note->setWordWrap(true);
    QPalette grey = note->palette();
    grey.setColor(QPalette::WindowText, QColor(96, 96, 96));
    note->setPalette(grey);
    return note;
}

}  // namespace tesslow
