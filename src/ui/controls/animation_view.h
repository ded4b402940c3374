#pragma once

#include <QImage>
#include <QWidget>

#include <vector>

namespace tesslow {

// The progress page's animation: the frames drawn one after the other over
// whatever is behind the widget (the skin's background), 10 a second while
// running. The frames are loaded once.
class AnimationView final : public QWidget {
    Q_OBJECT
public:
    explicit AnimationView(QWidget* parent = nullptr);

    void Start();
    void Stop();
    int Frame() const { return frame_; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    std::vector<QImage> frames_;
    int frame_ = 0;
    int timer_ = 0;
};

}  // namespace tesslow
