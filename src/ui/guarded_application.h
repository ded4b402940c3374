#pragma once

#include <QApplication>

#include <exception>
#include <functional>

namespace tesslow {

// The program's QApplication. An exception that escapes an event handler is
// not allowed through Qt's event loop: it is caught here, kept, and the
// `onEscape` hook (set by the start-up sequence) closes the wizard, after
// which the start-up sequence rethrows it into its guard.
class GuardedApplication final : public QApplication {
public:
    GuardedApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;

    // Called once when the first exception is caught.
    void SetEscapeHook(std::function<void()> onEscape) { onEscape_ = std::move(onEscape); }
    // The kept exception, handed over once (null when there is none).
    std::exception_ptr TakeEscaped();

private:
    std::exception_ptr escaped_;
    std::function<void()> onEscape_;
};

}  // namespace tesslow
