#pragma once

#include <QDBusConnection>
#include <QString>
#include <optional>

namespace quorvale {

// Idle time as the desktop's own idle monitor tells it over the session bus.
// On Wayland no program may watch another's input, so the compositor is the
// only one that knows: GNOME's exports its idle monitor, and several desktops
// answer the screen saver service's idle question.
class SessionIdleMonitor {
public:
    // The bus is the desktop session's unless another is given.
    explicit SessionIdleMonitor(QDBusConnection bus = QDBusConnection::sessionBus());

    bool available() const { return m_service != nullptr; }
    // The service that answered, for the log; empty when none did.
    QString serviceName() const;
    // Why no idle time can be had from the bus, as a clause to go into a
    // sentence; empty when it can.
    const QString &unavailableReason() const { return m_reason; }

    // nullopt when the monitor stopped answering (the desktop restarted):
    // a question left open is not idle time.
    std::optional<qint64> idleMilliseconds() const;

    struct Service;

private:
    QDBusConnection m_bus;
    const Service *m_service = nullptr;
    QString m_reason;
};

} // namespace quorvale
