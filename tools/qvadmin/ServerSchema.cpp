#include "qvadmin/ServerSchema.h"

#include "data/Schema.h"
#include "platform/core/QvError.h"
#include "platform/db/Connection.h"
#include "qvadmin/AdminLog.h"

#include <QSqlError>
#include <QSqlQuery>

namespace quorvale::admin {

namespace {

const QString Source = QStringLiteral("qvadmin: server schema");

[[noreturn]] void fail(const QString &text)
{
    throw QvError(ErrorNumber::Generic, text, Source);
}

} // namespace

ServerSchema::ServerSchema(db::Connection &server) : m_server(server) {}

ServerSchema::~ServerSchema()
{
    if (!m_created)
        return;
    try {
        drop();
    } catch (const QvError &e) {
        qCWarning(lcAdmin) << "could not drop the half-made schema:" << e.description();
    }
}

bool ServerSchema::exists()
{
    if (m_server.dialect() == db::Dialect::PostgreSQL) {
        // The schema is created with unquoted names, which PostgreSQL folds to lower
        // case; current_schema() is where they would land.
        return m_server
                   .scalar(QStringLiteral("SELECT COUNT(*) FROM information_schema.tables WHERE "
                                          "table_schema = current_schema() AND table_name = ?"),
                           {QStringLiteral("tbladminoptions")})
                   .toInt() > 0;
    }
    // Elsewhere a probe, outside any transaction so a failure spoils nothing.
    try {
        m_server.scalar(QStringLiteral("SELECT COUNT(*) FROM tblAdminOptions"));
        return true;
    } catch (const QvError &) {
        return false;
    }
}

void ServerSchema::create()
{
    if (m_server.dialect() != db::Dialect::PostgreSQL)
        fail(QStringLiteral("Only PostgreSQL servers are supported for a program database."));
    drop();
    QSqlDatabase db = m_server.database();
    m_created = true;
    schema::createProgramSchema(db, schema::Dialect::PostgreSQL);
}

void ServerSchema::drop()
{
    for (const QString &table : schema::sharedTableNames())
        m_server.execute(QStringLiteral("DROP TABLE IF EXISTS ") + table);
}

void writePassThroughCatalog(QSqlDatabase &linkDb, const QString &providerString,
                             const QStringList &tableNames)
{
    if (!linkDb.transaction())
        fail(linkDb.lastError().text());
    QSqlQuery q(linkDb);
    bool ok = q.exec(QStringLiteral("DELETE FROM tblLinkCatalog")) &&
              q.prepare(QStringLiteral("INSERT INTO tblLinkCatalog (Name, Type, LinkDatasource, "
                                       "LinkProviderString, RemoteTableName) "
                                       "VALUES (?, ?, ?, ?, ?)"));
    for (qsizetype i = 0; ok && i < tableNames.size(); ++i) {
        q.addBindValue(tableNames[i]);
        q.addBindValue(QString::fromLatin1(schema::LinkTypePassThrough));
        q.addBindValue(QString());
        q.addBindValue(providerString);
        q.addBindValue(tableNames[i]);
        ok = q.exec();
    }
    if (!ok || !linkDb.commit()) {
        const QString text = q.lastError().text();
        linkDb.rollback();
        fail(text);
    }
}

} // namespace quorvale::admin
