#include "ui/rip_notification.h"

#include "platform/desktop_shell.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusReply>
#include <QFileInfo>
#include <QVariantMap>

namespace tesslow {

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");
const QString kOpenFolder = QStringLiteral("open-folder");

}  // namespace

RipNotifier::RipNotifier(DesktopShell& shell, QObject* parent) : QObject(parent), shell_(shell) {}

RipNotifier::RipNotifier(DesktopShell& shell, QObject* parent, QDBusConnection bus)
    : QObject(parent), shell_(shell), bus_(std::move(bus))
{
}

bool RipNotifier::Notify(const QString& summary, const QString& body, const std::string& folder)
{
    if (!bus_) {
        // No session bus named: no desktop to tell (and none is started).
        const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
        if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS") &&
            (runtime.isEmpty() || !QFileInfo::exists(runtime + QStringLiteral("/bus"))))
            return false;
        bus_ = QDBusConnection::sessionBus();
    }
    QDBusConnection& bus = *bus_;
    if (!bus.isConnected()) return false;
    if (!listening_) {
        listening_ = bus.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                                 SLOT(ActionInvoked(uint, QString)));
    }
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    call << QStringLiteral("Tesslow") << uint(0) << QStringLiteral("tesslow") << summary << body
         << QStringList{kOpenFolder, QStringLiteral("Open folder")} << QVariantMap{} << int(-1);
    const QDBusReply<uint> reply = bus.call(call, QDBus::Block, 2000);
    if (!reply.isValid()) return false;
    lastId_ = reply.value();
    folder_ = folder;
    return true;
}

void RipNotifier::ActionInvoked(uint id, const QString& action)
{
    if (id == lastId_ && action == kOpenFolder && !folder_.empty()) shell_.Explore(folder_);
}

}  // namespace tesslow
