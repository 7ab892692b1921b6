#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

namespace quorvale {

class Prompts;

namespace db {
class Connection;
}

// Watches over the connection to the database server while it is gone.
//
// lost() starts an outage: the person is told once, in plain words, that the work
// is kept and that the program is reconnecting; then the connection is tried again
// after 1 s, 2 s, 4 s ... up to every 30 s. (Statements also try by themselves, at
// most once a second, so a command given meanwhile goes through when the server is
// back.) When it is back, restored is called once, for the work kept meanwhile to
// be written. The raw error only goes to the log.
//
// Connections that are files (SQLite) are never lost this way: lost() refuses them.
class ServerWatch : public QObject {
    Q_OBJECT

public:
    static constexpr int FirstRetryMs = 1000;
    static constexpr int LongestRetryMs = 30000;

    // connection: the server connection as it is now (it may be replaced).
    ServerWatch(std::function<db::Connection *()> connection, Prompts &prompts,
                QObject *parent = nullptr);

    // The connection was found lost (rawError: what the driver said). False when
    // there is no server connection to make again, and the error must be handled
    // as any other.
    bool lost(const QString &rawError);
    // An outage has begun and the server has not been found back yet.
    bool inOutage() const { return m_inOutage; }
    // Tries the server now instead of waiting (true: it is back, restored called).
    bool retryNow();
    // The wait before the next try, in ms (0 when no outage).
    int nextRetryMs() const { return m_inOutage ? m_delayMs : 0; }

    static QString lostMessage();

Q_SIGNALS:
    // The server answers again after an outage.
    void restored();

private:
    void schedule();

    std::function<db::Connection *()> m_connection;
    Prompts &m_prompts;
    QTimer m_retry;
    bool m_inOutage = false;
    int m_delayMs = FirstRetryMs;
    int m_reconnectsAtLoss = 0;
};

} // namespace quorvale
