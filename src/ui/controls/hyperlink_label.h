#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>
#include <QWidget>

namespace tesslow {

// The colours of links: the palette's Link and LinkVisited roles where the
// palette sets them, blue (0, 0, 255) and purple (128, 0, 128) where it does
// not, or light blue and light purple on a dark window.
struct LinkColours {
    QColor link;
    QColor visited;
};
LinkColours LinkColoursOf(const QPalette& palette);

// A line of text with one link in it, marked with <a> and </a>. Only the
// link reacts: the hand cursor and an underline while the mouse is over it,
// and a click on it marks it visited and reports clicked(). A label with a
// link takes the focus with Tab (a dotted frame around the link shows it),
// and Enter then opens the link as a click does. A disabled label draws the
// link in the grey text colour.
class HyperlinkLabel : public QWidget {
    Q_OBJECT
public:
    explicit HyperlinkLabel(const QString& markedText = {}, QWidget* parent = nullptr);

    void SetText(const QString& markedText);
    bool Visited() const { return visited_; }
    bool Hovered() const { return hovered_; }
    // Where the link is drawn, in the label's coordinates.
    virtual QRect LinkRect() const;
    QSize sizeHint() const override;
    // Never squeezed: its text is not wrapped.
    QSize minimumSizeHint() const override { return sizeHint(); }

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

    void Activate();
    QColor LinkColour() const;
    QFont LinkFont() const;

    QString before_, link_, after_;
    bool visited_ = false;
    bool hovered_ = false;

private:
    void SetHovered(bool hovered);
};

// The format page's two-line link on the classic skin: "Audio format defines
// the way your audio files are created. Click here to learn more about
// supported" and, on a second line, "audio formats.", with "here" the link.
class TwoLineHyperlink final : public HyperlinkLabel {
    Q_OBJECT
public:
    explicit TwoLineHyperlink(QWidget* parent = nullptr);
    QRect LinkRect() const override;
    QSize sizeHint() const override;
    // As narrow as the first line up to the link: the rest can move down.
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace tesslow
