#include "support/recording_shell.h"
#include "ui/rip_notification.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QTest>
#include <QThread>

#include <gtest/gtest.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

namespace tesslow {
namespace {

const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");

// A notification service of the test's own, on its own thread, as a desktop
// runs one: it answers Notify with id 42 and keeps the calls.
class NotificationService final : public QDBusVirtualObject {
public:
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        if (message.member() != QLatin1String("Notify")) return false;
        {
            std::lock_guard lock(mutex);
            calls.push_back(message.arguments());
        }
        connection.send(message.createReply(QVariant::fromValue(uint(42))));
        return true;
    }
    QString introspect(const QString&) const override { return {}; }

    std::mutex mutex;
    std::vector<QList<QVariant>> calls;
};

// A session bus of the test's own: a real dbus-daemon.
struct PrivateBus {
    PrivateBus()
    {
        FILE* daemon = ::popen("dbus-daemon --session --fork --print-address=1 --print-pid=1 2>/dev/null", "r");
        if (!daemon) return;
        char line[512] = {};
        if (std::fgets(line, sizeof line, daemon)) address = std::string(line, std::strcspn(line, "\n"));
        if (std::fgets(line, sizeof line, daemon)) pid = std::atoi(line);
        ::pclose(daemon);
    }
    ~PrivateBus()
    {
        if (pid > 0) ::kill(pid, SIGTERM);
    }
    std::string address;
    int pid = 0;
};

TEST(RipNotification, TheDesktopIsToldAndItsOpenFolderActionShowsTheFolder)
{
#ifdef TESSLOW_THREAD_SANITIZED_BUILD
    // Qt's D-Bus thread works inside libraries built without the sanitizer,
    // whose locking it cannot see: every run would report races that are not.
    GTEST_SKIP() << "Qt's D-Bus thread under the thread sanitizer";
#endif
    PrivateBus bus;
    if (bus.address.empty()) GTEST_SKIP() << "no dbus-daemon here";
    const QString address = QString::fromStdString(bus.address);

    NotificationService service;
    QThread thread;
    thread.start();
    service.moveToThread(&thread);
    bool registered = false;
    QMetaObject::invokeMethod(&service, [&] {
        QDBusConnection server = QDBusConnection::connectToBus(address, QStringLiteral("notification-service"));
        registered = server.registerVirtualObject(kPath, &service) && server.registerService(kInterface);
    }, Qt::BlockingQueuedConnection);
    ASSERT_TRUE(registered);

    test::RecordingShell shell;
    RipNotifier notifier(shell, nullptr, QDBusConnection::connectToBus(address, QStringLiteral("wizard")));
    ASSERT_TRUE(notifier.Notify(QStringLiteral("Rip finished"), QStringLiteral("The tracks are in /music."), "/music"));
    {
        std::lock_guard lock(service.mutex);
        ASSERT_EQ(service.calls.size(), 1u);
        const QList<QVariant>& call = service.calls.front();
        ASSERT_EQ(call.size(), 8);
        EXPECT_EQ(call[0].toString(), "Tesslow");
        EXPECT_EQ(call[3].toString(), "Rip finished");
        EXPECT_EQ(call[4].toString(), "The tracks are in /music.");
        EXPECT_TRUE(call[5].toStringList().contains(QStringLiteral("open-folder")));
    }

    // The person clicks "Open folder"; an action of another notification is not ours.
    QMetaObject::invokeMethod(&service, [&] {
        QDBusConnection server(QStringLiteral("notification-service"));
        for (const uint id : {7u, 42u}) {
            QDBusMessage signal = QDBusMessage::createSignal(kPath, kInterface, QStringLiteral("ActionInvoked"));
            signal << id << QStringLiteral("open-folder");
            server.send(signal);
        }
    }, Qt::BlockingQueuedConnection);
    // The signals come in order: once 42's has been handled, 7's has been too.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !shell.Explored().empty(); }, 5000));
    EXPECT_EQ(shell.Explored(), std::vector<std::string>{"/music"});

    QMetaObject::invokeMethod(&service, [&] {
        QDBusConnection::disconnectFromBus(QStringLiteral("notification-service"));
    }, Qt::BlockingQueuedConnection);
    thread.quit();
    thread.wait();
    service.moveToThread(QThread::currentThread());

    // Without a service on the bus nothing is shown, and nothing waits long.
    RipNotifier alone(shell, nullptr, QDBusConnection::connectToBus(address, QStringLiteral("alone")));
    EXPECT_FALSE(alone.Notify(QStringLiteral("Rip finished"), QString(), "/music"));
}

}  // namespace
}  // namespace tesslow
