#include "platform/shell/SessionIdleMonitor.h"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <algorithm>
#include <limits>

namespace quorvale {

struct SessionIdleMonitor::Service {
    const char *name;
    const char *path;
    const char *interface;
    const char *method;
};

namespace {

// In the order asked. The screen saver service answers an unsigned 32-bit
// count that implementations document as seconds and return as milliseconds;
// read as milliseconds, a seconds answer only makes idle time go unnoticed,
// where the other reading would invent hours of it.
constexpr SessionIdleMonitor::Service Services[] = {
    {"org.gnome.Mutter.IdleMonitor", "/org/gnome/Mutter/IdleMonitor/Core",
     "org.gnome.Mutter.IdleMonitor", "GetIdletime"},
    {"org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver", "org.freedesktop.ScreenSaver",
     "GetSessionIdleTime"},
};

// Asked on the window's thread every few seconds: a desktop that hangs must
// not freeze the window for long.
constexpr int AnswerTimeoutMs = 500;

std::optional<qint64> ask(const QDBusConnection &bus, const SessionIdleMonitor::Service &service)
{
    const QDBusMessage call = QDBusMessage::createMethodCall(
        QLatin1String(service.name), QLatin1String(service.path), QLatin1String(service.interface),
        QLatin1String(service.method));
    const QDBusMessage reply = bus.call(call, QDBus::Block, AnswerTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().size() != 1)
        return std::nullopt;
    const QVariant value = reply.arguments().constFirst();
    switch (value.metaType().id()) {
    case QMetaType::ULongLong:
        return static_cast<qint64>(
            std::min<qulonglong>(value.toULongLong(), std::numeric_limits<qint64>::max()));
    case QMetaType::UInt:
        return static_cast<qint64>(value.toUInt());
    default:
        return std::nullopt;
    }
}

} // namespace

SessionIdleMonitor::SessionIdleMonitor(QDBusConnection bus) : m_bus(std::move(bus))
{
    if (!m_bus.isConnected()) {
        m_reason = QStringLiteral("there is no desktop session bus to ask");
        return;
    }
    QDBusConnectionInterface *names = m_bus.interface();
    for (const Service &service : Services) {
        if (names && !names->isServiceRegistered(QLatin1String(service.name)).value())
            continue;
        // Some desktops keep the service but refuse the question (the screen
        // saver on Wayland): only a service that answers counts.
        if (ask(m_bus, service)) {
            m_service = &service;
            return;
        }
    }
    m_reason = QStringLiteral("no idle monitor answers on the desktop session bus");
}

QString SessionIdleMonitor::serviceName() const
{
    return m_service ? QLatin1String(m_service->name) : QString();
}

std::optional<qint64> SessionIdleMonitor::idleMilliseconds() const
{
    if (!m_service)
        return std::nullopt;
    return ask(m_bus, *m_service);
}

} // namespace quorvale
