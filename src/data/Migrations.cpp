#include "data/Migrations.h"

#include "data/SchemaDdl.h"
#include "data/SchemaTables.h"
#include "platform/core/QvError.h"

#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>

namespace quorvale::schema {

namespace {

void run(QSqlDatabase &db, const QString &sql)
{
    QSqlQuery query(db);
    if (!query.exec(sql))
        throw QvError(ErrorNumber::Generic, query.lastError().text(),
                      QStringLiteral("DatabaseUpgrader"), QStringLiteral("Statement: ") + sql);
}

QStringList columnsOf(QSqlDatabase &db, const QString &table)
{
    QSqlQuery query(db);
    QStringList names;
    if (!query.exec(QStringLiteral("PRAGMA table_info(%1)").arg(table)))
        return names;
    while (query.next())
        names << query.value(1).toString();
    return names;
}

bool hasTable(QSqlDatabase &db, const QString &table)
{
    QSqlQuery query(db);
    query.prepare(QStringLiteral(
        "SELECT COUNT(*) FROM sqlite_master WHERE type = 'table' AND name = ? COLLATE NOCASE"));
    query.addBindValue(table);
    return query.exec() && query.next() && query.value(0).toInt() > 0;
}

// The table and column names come from this file, never from input.
void addColumn(QSqlDatabase &db, const QString &table, const QString &column, const QString &type)
{
    if (!columnsOf(db, table).contains(column, Qt::CaseInsensitive))
        run(db, QStringLiteral("ALTER TABLE %1 ADD COLUMN %2 %3").arg(table, column, type));
}

} // namespace

const std::vector<Migration> &programMigrations()
{
    // A new step appends an entry here and changes the table descriptions so that
    // a newly created database is the same as an upgraded one.
    static const std::vector<Migration> migrations{
        {1, QStringLiteral("Baseline schema"), {}, {}},
        {2,
         QStringLiteral("Invoices, reimbursements, billing options and billing rounding"),
         {},
         [](QSqlDatabase &db) {
             // Each part only where it is missing: a file made by a build of
             // this step's time may hold some of it already.
             addColumn(db, QStringLiteral("tblPayments"), QStringLiteral("InvoiceID"),
                       QStringLiteral("INTEGER"));
             run(db, QStringLiteral("CREATE INDEX IF NOT EXISTS IX_Payments_InvoiceID ON "
                                    "tblPayments (InvoiceID)"));
             addColumn(db, QStringLiteral("tblContacts"), QStringLiteral("BillingIncrement"),
                       QStringLiteral("INTEGER DEFAULT 0"));
             addColumn(db, QStringLiteral("tblContacts"), QStringLiteral("BillingRounding"),
                       QStringLiteral("INTEGER DEFAULT 0"));
             for (const Table &table : {invoices(), reimbursements(), billingOptions()})
                 if (!hasTable(db,
                               QString::fromUtf8(table.name.data(), qsizetype(table.name.size()))))
                     for (const QString &sql : createTableStatements(table, Dialect::SQLite))
                         run(db, sql);
         }},
        {3,
         QStringLiteral("Backup options"),
         {},
         [](QSqlDatabase &db) {
             const Table table = backupOptions();
             if (!hasTable(db, QString::fromUtf8(table.name.data(), qsizetype(table.name.size()))))
                 for (const QString &sql : createTableStatements(table, Dialect::SQLite))
                     run(db, sql);
         }},
        {4,
         QStringLiteral("Open work of one user read as one range in the default order"),
         {QStringLiteral("DROP INDEX IF EXISTS IX_TimeCards_InvoiceID"),
          QStringLiteral(
              "CREATE INDEX IX_TimeCards_InvoiceID ON tblTimeCards (InvoiceID, UserId)")},
         {}},
        {5,
         QStringLiteral("The contact picker's order read from an index"),
         {QStringLiteral("CREATE INDEX IF NOT EXISTS IX_Contacts_AccountName ON tblContacts "
                         "(ContactAccount, ContactName, Active)")},
         {}},
    };
    return migrations;
}

int programSchemaVersion()
{
    const auto &all = programMigrations();
    int version = 1;
    for (const auto &m : all)
        version = std::max(version, m.version);
    return version;
}

} // namespace quorvale::schema
