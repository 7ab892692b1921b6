#include "Command.h"

#include "platform/core/QvError.h"

namespace quorvale::db {

Command::Command(Connection &connection, const QString &sql) : m_connection(&connection), m_sql(sql)
{
    m_query.emplace(connection.prepare(sql));
    connection.registerHolder(this);
}

Command::~Command()
{
    if (m_connection)
        m_connection->unregisterHolder(this);
}

void Command::connectionClosing()
{
    m_query.reset();
    m_connection = nullptr;
}

QSqlQuery &Command::ready()
{
    if (!m_connection)
        throw QvError(ErrorNumber::Generic,
                      QStringLiteral("The connection of this command is closed."),
                      QString::fromLatin1(JetErrorSource), QStringLiteral("Statement: ") + m_sql);
    // A lost connection is made again here (dropping the query) when the server is back.
    m_connection->ensureConnected();
    if (!m_query)
        m_query.emplace(m_connection->prepare(m_sql));
    return *m_query;
}

int Command::execute(const QVariantList &params)
{
    QSqlQuery &q = ready();
    m_connection->run(q, params, m_sql);
    const int affected = q.numRowsAffected();
    q.finish();
    return affected;
}

std::optional<QSqlRecord> Command::first(const QVariantList &params)
{
    QSqlQuery &q = ready();
    m_connection->run(q, params, m_sql);
    std::optional<QSqlRecord> row;
    if (q.next())
        row = q.record();
    q.finish();
    return row;
}

std::vector<QSqlRecord> Command::all(const QVariantList &params)
{
    QSqlQuery &q = ready();
    m_connection->run(q, params, m_sql);
    std::vector<QSqlRecord> rows;
    while (q.next())
        rows.push_back(q.record());
    q.finish();
    return rows;
}

} // namespace quorvale::db
