#include "ui/controls/animation_view.h"

#include "ui/controls/pictures.h"

#include <QPainter>
#include <QTimerEvent>

namespace tesslow {

AnimationView::AnimationView(QWidget* parent) : QWidget(parent)
{
    for (int i = 0; i < kAnimationFrames; ++i) frames_.push_back(LoadPicture(kFirstAnimationFrame + i));
}

void AnimationView::Start()
{
    if (timer_ == 0) timer_ = startTimer(100);
}

void AnimationView::Stop()
{
    if (timer_ != 0) killTimer(timer_);
    timer_ = 0;
}

QSize AnimationView::sizeHint() const { return QSize(325, 75); }

void AnimationView::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != timer_) return QWidget::timerEvent(event);
    frame_ = (frame_ + 1) % kAnimationFrames;
    update();
}

void AnimationView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QImage& frame = frames_[static_cast<std::size_t>(frame_)];
    const QSizeF size = frame.deviceIndependentSize();
    DrawPicture(painter, static_cast<int>((width() - size.width()) / 2), 0, frame);
}

}  // namespace tesslow
