#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>

#include <optional>
#include <string>

namespace tesslow {

class DesktopShell;

// Tells the desktop that a rip has ended, when the person is looking at
// another window: a freedesktop notification over the session bus, with the
// outcome and an "Open folder" action that shows the output folder. Without
// a session bus or a notification service nothing happens. One per wizard;
// it keeps listening for the action of its last notification.
class RipNotifier final : public QObject {
    Q_OBJECT
public:
    // On the session bus, reached only when a notification is shown and the
    // environment names one (DBUS_SESSION_BUS_ADDRESS, or $XDG_RUNTIME_DIR/bus).
    RipNotifier(DesktopShell& shell, QObject* parent);
    // On the given bus.
    RipNotifier(DesktopShell& shell, QObject* parent, QDBusConnection bus);

    // Shows the notification; false when no service took it.
    bool Notify(const QString& summary, const QString& body, const std::string& folder);

private slots:
    void ActionInvoked(uint id, const QString& action);

private:
    DesktopShell& shell_;
    std::optional<QDBusConnection> bus_;
    uint lastId_ = 0;
    std::string folder_;
    bool listening_ = false;
};

}  // namespace tesslow
