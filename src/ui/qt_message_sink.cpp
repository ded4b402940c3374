#include "ui/qt_message_sink.h"

#include <QCoreApplication>
#include <QThread>

#include <cassert>

namespace tesslow {

QtMessageSink::QtMessageSink(Handler handler, std::intptr_t closedAnswer)
    : handler_(std::move(handler)), closedAnswer_(closedAnswer)
{
}

void QtMessageSink::Post(std::uint32_t id, std::uintptr_t wParam, std::intptr_t lParam)
{
    if (Closed()) return;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [closed = closed_, handler = handler_, message = Message{id, wParam, lParam}] {
            if (!closed->load()) handler(message);
        },
        Qt::QueuedConnection);
}

std::intptr_t QtMessageSink::Send(std::uint32_t id, std::uintptr_t wParam, std::intptr_t lParam)
{
    assert(QThread::currentThread() != QCoreApplication::instance()->thread());
    if (Closed()) return closedAnswer_;
    std::intptr_t answer = closedAnswer_;
    QMetaObject::invokeMethod(
        QCoreApplication::instance(),
        [&, closed = closed_] {
            if (!closed->load()) answer = handler_(Message{id, wParam, lParam});
        },
        Qt::BlockingQueuedConnection);
    return answer;
}

}  // namespace tesslow
