#include "ui/guarded_application.h"

namespace tesslow {

GuardedApplication::GuardedApplication(int& argc, char** argv) : QApplication(argc, argv) {}

bool GuardedApplication::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        if (!escaped_) {
            escaped_ = std::current_exception();
            if (onEscape_) onEscape_();
        }
        return false;
    }
}

std::exception_ptr GuardedApplication::TakeEscaped()
{
    std::exception_ptr escaped = escaped_;
    escaped_ = nullptr;
    return escaped;
}

}  // namespace tesslow
