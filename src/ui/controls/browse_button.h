#pragma once

#include <QAbstractButton>

class QLineEdit;

namespace tesslow {

// The small "..." button that opens a folder chooser. Its name for assistive
// technology is "Browse"; the face shows only the dots.
class BrowseButton final : public QAbstractButton {
    Q_OBJECT
public:
    explicit BrowseButton(QWidget* parent = nullptr);
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

// Places `button` inside the right end of `edit`: the edit's text stops short
// of it, it follows the edit's right edge when the edit is resized, and
// clicks on it go to the button, never to the edit. False (nothing changed)
// when either is missing.
bool AttachBuddyButton(QLineEdit* edit, QAbstractButton* button);

}  // namespace tesslow
