#include "data/ServerWatch.h"

#include "platform/db/Connection.h"
#include "support/Prompts.h"

#include <QLoggingCategory>
#include <algorithm>

namespace quorvale {

Q_LOGGING_CATEGORY(lcServerWatch, "quorvale.data.server")

ServerWatch::ServerWatch(std::function<db::Connection *()> connection, Prompts &prompts,
                         QObject *parent)
    : QObject(parent), m_connection(std::move(connection)), m_prompts(prompts)
{
    m_retry.setSingleShot(true);
    connect(&m_retry, &QTimer::timeout, this, [this] { retryNow(); });
}

QString ServerWatch::lostMessage()
{
    return QStringLiteral(
        "The connection to the database server was lost.\n\nYour work is kept on this "
        "computer and will be saved when the server is back; Quorvale is trying to "
        "reconnect. You can go on working meanwhile; what needs the server waits.");
}

bool ServerWatch::lost(const QString &rawError)
{
    db::Connection *cnn = m_connection ? m_connection() : nullptr;
    if (!cnn || cnn->engine() != db::Engine::Odbc)
        return false;
    qCWarning(lcServerWatch).noquote() << "database server connection lost:" << rawError;
    // A statement that made the connection again ended the outage before the
    // next try noticed: this loss is a new one.
    if (m_inOutage && cnn->reconnects() == m_reconnectsAtLoss)
        return true;
    m_inOutage = true;
    m_reconnectsAtLoss = cnn->reconnects();
    m_delayMs = FirstRetryMs;
    m_retry.stop();
    m_prompts.messageBox(QStringLiteral("Quorvale"), lostMessage(), PromptButtons::Ok,
                         PromptIcon::Warning);
    // Only after the message: a try from inside its window would write the kept
    // work in the middle of the command that failed.
    if (m_inOutage)
        schedule();
    return true;
}

void ServerWatch::schedule()
{
    m_retry.start(m_delayMs);
}

bool ServerWatch::retryNow()
{
    if (!m_inOutage)
        return false;
    m_retry.stop();
    db::Connection *cnn = m_connection ? m_connection() : nullptr;
    const bool back = cnn && (!cnn->isLost() || cnn->reconnect());
    if (!back) {
        m_delayMs = std::min(m_delayMs * 2, LongestRetryMs);
        qCDebug(lcServerWatch) << "server still away; next try in" << m_delayMs << "ms";
        schedule();
        return false;
    }
    qCInfo(lcServerWatch) << "database server connection made again";
    m_inOutage = false;
    m_delayMs = FirstRetryMs;
    Q_EMIT restored();
    return true;
}

} // namespace quorvale
