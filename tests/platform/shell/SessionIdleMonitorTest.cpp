#include "platform/shell/SessionIdleMonitor.h"

#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusError>
#include <QProcess>
#include <QStandardPaths>
#include <QThread>
#include <atomic>
#include <gtest/gtest.h>

using namespace quorvale;

namespace {

// The desktop's side: idle monitors as GNOME's compositor and a screen saver
// service export them, answering from a thread of their own as a desktop
// answers from its own process while the program waits for the reply.
class MutterIdleMonitor : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.gnome.Mutter.IdleMonitor")
public:
    std::atomic<qulonglong> idle{0};
public Q_SLOTS:
    qulonglong GetIdletime() { return idle; }
};

class ScreenSaver : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")
public:
    std::atomic<uint> idle{0};
    std::atomic<bool> refuse{false};
public Q_SLOTS:
    uint GetSessionIdleTime()
    {
        if (refuse)
            sendErrorReply(QDBusError::NotSupported,
                           QStringLiteral("GetSessionIdleTime is not supported on this platform"));
        return idle;
    }
};

// A private session bus of a real D-Bus daemon, with one connection for the
// desktop and one for the program.
class SessionIdleMonitorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
        ASSERT_FALSE(daemon.isEmpty()) << "dbus-daemon is needed (Debian package dbus-daemon)";
        m_daemon.start(daemon,
                       {QStringLiteral("--session"), QStringLiteral("--nofork"),
                        QStringLiteral("--nopidfile"), QStringLiteral("--print-address=1")});
        ASSERT_TRUE(m_daemon.waitForStarted(5000));
        while (!m_daemon.canReadLine())
            ASSERT_TRUE(m_daemon.waitForReadyRead(5000)) << m_daemon.readAllStandardError().data();
        m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
        m_desktopThread.start();
    }

    void TearDown() override
    {
        QDBusConnection::disconnectFromBus(QStringLiteral("desktop"));
        QDBusConnection::disconnectFromBus(QStringLiteral("program"));
        m_desktopThread.quit();
        m_desktopThread.wait();
        m_daemon.kill();
        m_daemon.waitForFinished(5000);
    }

    QDBusConnection desktop()
    {
        return QDBusConnection::connectToBus(m_address, QStringLiteral("desktop"));
    }
    QDBusConnection program()
    {
        return QDBusConnection::connectToBus(m_address, QStringLiteral("program"));
    }

    template <typename Service> void serve(Service &service, const char *name, const char *path)
    {
        service.moveToThread(&m_desktopThread);
        QDBusConnection bus = desktop();
        ASSERT_TRUE(
            bus.registerObject(QLatin1String(path), &service, QDBusConnection::ExportAllSlots));
        ASSERT_TRUE(bus.registerService(QLatin1String(name)))
            << bus.lastError().message().toStdString();
    }

    QProcess m_daemon;
    QString m_address;
    QThread m_desktopThread;
    // Destroyed after TearDown has stopped the thread they answer on.
    MutterIdleMonitor mutter;
    ScreenSaver saver;
};

TEST_F(SessionIdleMonitorTest, ReadsTheCompositorsIdleMonitorToTheMillisecond)
{
    mutter.idle = 1234;
    serve(mutter, "org.gnome.Mutter.IdleMonitor", "/org/gnome/Mutter/IdleMonitor/Core");
    // A screen saver on the same bus is not asked while the compositor answers.
    saver.idle = 999;
    serve(saver, "org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver");

    SessionIdleMonitor monitor(program());
    ASSERT_TRUE(monitor.available()) << monitor.unavailableReason().toStdString();
    EXPECT_EQ(monitor.serviceName(), QStringLiteral("org.gnome.Mutter.IdleMonitor"));
    EXPECT_EQ(monitor.idleMilliseconds(), 1234);
    // Hours past 32 bits of milliseconds come through whole.
    mutter.idle = 5'000'000'123ULL;
    EXPECT_EQ(monitor.idleMilliseconds(), 5'000'000'123LL);

    // The desktop restarted without its monitor: no answer, not zero idle time.
    desktop().unregisterService(QStringLiteral("org.gnome.Mutter.IdleMonitor"));
    desktop().unregisterObject(QStringLiteral("/org/gnome/Mutter/IdleMonitor/Core"));
    EXPECT_EQ(monitor.idleMilliseconds(), std::nullopt);
}

TEST_F(SessionIdleMonitorTest, FallsBackToTheScreenSaverOnlyWhenItAnswers)
{
    saver.idle = 61'000;
    serve(saver, "org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver");
    {
        SessionIdleMonitor monitor(program());
        ASSERT_TRUE(monitor.available()) << monitor.unavailableReason().toStdString();
        EXPECT_EQ(monitor.serviceName(), QStringLiteral("org.freedesktop.ScreenSaver"));
        EXPECT_EQ(monitor.idleMilliseconds(), 61'000);
    }
    // Registered but refusing the question, as a screen saver may on Wayland.
    saver.refuse = true;
    SessionIdleMonitor monitor(program());
    EXPECT_FALSE(monitor.available());
    EXPECT_EQ(monitor.idleMilliseconds(), std::nullopt);
    EXPECT_EQ(monitor.unavailableReason(),
              QStringLiteral("no idle monitor answers on the desktop session bus"));
}

TEST_F(SessionIdleMonitorTest, SaysSoWhenThereIsNoBusOrNoMonitor)
{
    SessionIdleMonitor nothingServed(program());
    EXPECT_FALSE(nothingServed.available());
    EXPECT_TRUE(nothingServed.serviceName().isEmpty());
    EXPECT_FALSE(nothingServed.unavailableReason().isEmpty());

    SessionIdleMonitor noBus(QDBusConnection(QStringLiteral("never connected")));
    EXPECT_FALSE(noBus.available());
    EXPECT_EQ(noBus.unavailableReason(), QStringLiteral("there is no desktop session bus to ask"));
    EXPECT_EQ(noBus.idleMilliseconds(), std::nullopt);
}

} // namespace

#include "SessionIdleMonitorTest.moc"
