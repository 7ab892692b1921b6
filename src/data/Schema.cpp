#include "data/Schema.h"

#include "data/AdminOptionOrdinals.h"
#include "data/Migrations.h"
#include "data/SchemaDdl.h"
#include "data/SchemaTables.h"
#include "platform/core/QvError.h"

#include <QLoggingCategory>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>

Q_LOGGING_CATEGORY(lcSchema, "quorvale.data.schema")

namespace quorvale::schema {

namespace {

void exec(QSqlDatabase &db, const QString &sql, const QString &source)
{
    QSqlQuery q(db);
    if (!q.exec(sql)) {
        throw QvError(ErrorNumber::Generic, q.lastError().text(), source,
                      QStringLiteral("Statement: ") + sql);
    }
}

// Runs body inside one transaction: committed when it returns, rolled back when
// it throws.
template <typename Body> void inTransaction(QSqlDatabase &db, const QString &source, Body body)
{
    if (!db.isOpen())
        throw QvError(ErrorNumber::ObjectClosed, QStringLiteral("The database is not open."),
                      source);
    if (!db.transaction())
        throw QvError(ErrorNumber::Generic, db.lastError().text(), source);
    try {
        body();
    } catch (...) {
        db.rollback();
        throw;
    }
    if (!db.commit()) {
        const QString text = db.lastError().text();
        db.rollback();
        throw QvError(ErrorNumber::Generic, text, source);
    }
}

void createAll(QSqlDatabase &db, DatabaseKind kind, Dialect dialect, const QString &source)
{
    inTransaction(db, source, [&] {
        for (const auto &sql : createStatements(kind, dialect))
            exec(db, sql, source);
        if (kind == DatabaseKind::Program && dialect == Dialect::SQLite) {
            exec(db, QStringLiteral("PRAGMA user_version = %1").arg(programSchemaVersion()),
                 source);
        }
    });
    qCDebug(lcSchema) << "created" << tables(kind).size() << "tables in" << db.databaseName();
}

QString name(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

} // namespace

void createProgramSchema(QSqlDatabase &db, Dialect dialect)
{
    createAll(db, DatabaseKind::Program, dialect, QStringLiteral("schema: createProgramSchema"));
}

void insertDefaultRows(QSqlDatabase &db)
{
    const QString source = QStringLiteral("schema: insertDefaultRows");
    // A fresh database bills time per contact and activity at the user's own rates.
    const int switchedOn[] = {AdminOption::BillingInUse, AdminOption::ContactInUse,
                              AdminOption::Activity1InUse, AdminOption::RateSourceStaff};
    QStringList columns;
    QStringList values;
    for (int ordinal : switchedOn) {
        columns << name(adminOptionColumns[static_cast<std::size_t>(ordinal)].column.name);
        values << QStringLiteral("-1");
    }
    inTransaction(db, source, [&] {
        exec(db,
             QStringLiteral("INSERT INTO tblAdminOptions (%1) VALUES (%2)")
                 .arg(columns.join(QStringLiteral(", ")), values.join(QStringLiteral(", "))),
             source);
        exec(db, QStringLiteral("INSERT INTO tblUserSettings DEFAULT VALUES"), source);
    });
}

void createLinkSchema(QSqlDatabase &db)
{
    createAll(db, DatabaseKind::Link, Dialect::SQLite, QStringLiteral("schema: createLinkSchema"));
}

void createLocalSchema(QSqlDatabase &db)
{
    createAll(db, DatabaseKind::Local, Dialect::SQLite,
              QStringLiteral("schema: createLocalSchema"));
}

void createReportSchema(QSqlDatabase &db)
{
    createAll(db, DatabaseKind::Report, Dialect::SQLite,
              QStringLiteral("schema: createReportSchema"));
}

QStringList sharedTableNames()
{
    QStringList out;
    for (const auto &t : tables(DatabaseKind::Program))
        out << name(t.name);
    return out;
}

namespace {

// One catalogue row per table, all of one type and source, in one transaction.
void writeCatalog(QSqlDatabase &linkDb, const char *type, const QString &dataSource,
                  const QString &providerString, const QStringList &tableNames,
                  const QString &source)
{
    inTransaction(linkDb, source, [&] {
        exec(linkDb, QStringLiteral("DELETE FROM tblLinkCatalog"), source);
        QSqlQuery q(linkDb);
        if (!q.prepare(QStringLiteral("INSERT INTO tblLinkCatalog (Name, Type, LinkDatasource, "
                                      "LinkProviderString, RemoteTableName) "
                                      "VALUES (?, ?, ?, ?, ?)")))
            throw QvError(ErrorNumber::Generic, q.lastError().text(), source);
        for (const auto &table : tableNames) {
            q.addBindValue(table);
            q.addBindValue(QString::fromLatin1(type));
            q.addBindValue(dataSource);
            q.addBindValue(providerString);
            q.addBindValue(table);
            if (!q.exec())
                throw QvError(ErrorNumber::Generic, q.lastError().text(), source);
        }
    });
}

} // namespace

void writeLinkCatalog(QSqlDatabase &linkDb, const QString &dataFilePath,
                      const QStringList &tableNames)
{
    writeCatalog(linkDb, LinkTypeLink, dataFilePath, QString::fromLatin1(LinkProviderJet),
                 tableNames, QStringLiteral("schema: writeLinkCatalog"));
}

void writePassThroughCatalog(QSqlDatabase &linkDb, const QString &providerString,
                             const QStringList &tableNames)
{
    writeCatalog(linkDb, LinkTypePassThrough, QString(), providerString, tableNames,
                 QStringLiteral("schema: writePassThroughCatalog"));
}

} // namespace quorvale::schema
