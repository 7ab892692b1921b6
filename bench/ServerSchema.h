#pragma once

#include "data/Schema.h"
#include "platform/db/Connection.h"

#include <QCoreApplication>
#include <QString>

namespace quorvale::bench {

// A program database of its own on a database server for one run: a schema
// named for the run, with the program's tables and their default rows, dropped
// again when this goes (also when the run failed).
class ServerSchema {
public:
    ServerSchema(const QString &server, const QString &prefix)
        : m_name(QStringLiteral("%1_%2").arg(prefix).arg(QCoreApplication::applicationPid()))
    {
        m_admin.open(server);
        m_admin.execute(QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE").arg(m_name));
        m_admin.execute(QStringLiteral("CREATE SCHEMA %1").arg(m_name));
        m_connect = QStringLiteral("ConnSettings=SET search_path TO %1;").arg(m_name) + server;
        db::Connection tables;
        tables.open(m_connect);
        QSqlDatabase database = tables.database();
        schema::createProgramSchema(database, schema::Dialect::PostgreSQL);
        schema::insertDefaultRows(database);
    }
    ~ServerSchema()
    {
        try {
            m_admin.execute(QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE").arg(m_name));
        } catch (...) {
            // A server gone away takes the schema's fate with it.
        }
    }
    ServerSchema(const ServerSchema &) = delete;
    ServerSchema &operator=(const ServerSchema &) = delete;

    // The server's connect string that reaches this schema's tables.
    const QString &connectString() const { return m_connect; }

private:
    QString m_name;
    QString m_connect;
    db::Connection m_admin;
};

} // namespace quorvale::bench
