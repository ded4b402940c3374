#pragma once

#include <QImage>
#include <QWidget>

namespace tesslow {

// A line of text drawn in white on the destination page's strip picture.
// Too wide a text is shortened: a folder in the middle (after its first
// component, "/home/.../Music/Artist"), a file name at its end with "...".
class PreviewStrip final : public QWidget {
    Q_OBJECT
public:
    enum class Shortening { Middle, End };

    PreviewStrip(const QImage& strip, Shortening shortening, QWidget* parent = nullptr);

    void SetText(const QString& text);
    QString Text() const { return text_; }
    // What is drawn: the text, shortened to the width.
    QString ShownText() const;
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage strip_;
    Shortening shortening_;
    QString text_;
};

// A folder shortened to `width` pixels in `metrics`: a path starting with "/"
// keeps its first component, then "..." and as much of its end as fits; other
// text is left as it is. Measures the text a logarithmic number of times.
QString ShortenFolder(const QString& folder, const QFontMetrics& metrics, int width);

}  // namespace tesslow
