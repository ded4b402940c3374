#pragma once

#include <QEvent>
#include <QObject>

namespace tesslow::test {

// Counts the paint events of the widgets it is installed on as an event
// filter; lets every event through.
class PaintCounter final : public QObject {
public:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Paint) ++paints;
        return false;
    }
    int paints = 0;
};

}  // namespace tesslow::test
