#pragma once

#include <QAbstractButton>
#include <QImage>

namespace tesslow {

// A push button showing a picture with its caption wrapped below it. It is
// hot while the mouse is over it and pressed while the mouse button or Space
// is held on it; a click (mouse, Space, or its mnemonic) reports clicked().
class PictureButton final : public QAbstractButton {
    Q_OBJECT
public:
    // The look it paints, chosen as the system button does: pressed, else
    // disabled, else hot, else focused (defaulted), else normal.
    enum class Look { Normal, Hot, Pressed, Disabled, Focused };

    explicit PictureButton(QWidget* parent = nullptr);

    void SetPicture(const QImage& picture);
    // The picture's place inside the content rectangle, and where the caption
    // starts (it runs to the bottom).
    void SetPictureOffset(QPoint offset) { offset_ = offset; update(); }
    void SetCaptionTop(int top) { captionTop_ = top; update(); }

    Look CurrentLook() const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    QImage picture_;
    QPoint offset_{11, 0};
    int captionTop_ = 48;
    bool hot_ = false;
};

}  // namespace tesslow
