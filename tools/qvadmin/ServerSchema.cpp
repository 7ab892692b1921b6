#include "qvadmin/ServerSchema.h"

#include "data/AdminOptionOrdinals.h"
#include "data/Schema.h"
#include "data/SchemaDdl.h"
#include "platform/core/QvError.h"
#include "platform/db/Connection.h"
#include "platform/db/Transaction.h"

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
    if (m_server.transactionDepth() == 0)
        fail(QStringLiteral("The program tables are only replaced inside a transaction."));
    for (const QString &table : schema::sharedTableNames())
        m_server.execute(QStringLiteral("DROP TABLE IF EXISTS ") + table);
    // Through the connection, not schema::createProgramSchema: that one commits.
    for (const QString &sql :
         schema::createStatements(schema::DatabaseKind::Program, schema::Dialect::PostgreSQL))
        m_server.execute(sql);
    insertDefaultRows(m_server);
}

void insertDefaultRows(db::Connection &db)
{
    // A fresh database bills time per contact and activity at the user's own rates.
    const int switchedOn[] = {AdminOption::BillingInUse, AdminOption::ContactInUse,
                              AdminOption::Activity1InUse, AdminOption::RateSourceStaff};
    QStringList columns;
    QStringList values;
    for (int ordinal : switchedOn) {
        const std::string_view name =
            schema::adminOptionColumns[static_cast<std::size_t>(ordinal)].column.name;
        columns << QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
        values << QStringLiteral("-1");
    }
    db::Transaction tx(db);
    db.execute(QStringLiteral("INSERT INTO tblAdminOptions (%1) VALUES (%2)")
                   .arg(columns.join(QStringLiteral(", ")), values.join(QStringLiteral(", "))));
    db.execute(QStringLiteral("INSERT INTO tblUserSettings DEFAULT VALUES"));
    tx.commit();
}

} // namespace quorvale::admin
