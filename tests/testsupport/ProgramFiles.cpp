#include "testsupport/ProgramFiles.h"

#include "data/Schema.h"
#include "data/ServerLogin.h"
#include "platform/db/Connection.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

namespace quorvale::test {

namespace {

void createFile(const QString &path, const std::function<void(QSqlDatabase &)> &build)
{
    db::Connection::createSqliteFile(path);
    db::Connection c;
    c.open(QStringLiteral("PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=") + path);
    QSqlDatabase database = c.database();
    build(database);
}

} // namespace

ProgramFiles::ProgramFiles()
    : m_programDir(m_dir.filePath(QStringLiteral("prog"))),
      m_dataDir(m_dir.filePath(QStringLiteral("data"))),
      m_reports(m_dir.filePath(QStringLiteral("reports"))), report(prompts, m_reports),
      errors(report)
{
    QDir().mkpath(m_programDir);
    QDir().mkpath(m_dataDir);
    QDir().mkpath(m_reports);
    errors.terminate = [this](int code) { endedWith = code; };

    if (m_engine.onServer()) {
        m_engine.createProgramTables();
        createFile(linkFile(), [this](QSqlDatabase &db) {
            schema::createLinkSchema(db);
            schema::writePassThroughCatalog(
                db, ServerLogin::parse(m_engine.connectString()).shortConnectString(),
                schema::sharedTableNames());
        });
    } else {
        createFile(dataFile(), [](QSqlDatabase &db) {
            schema::createProgramSchema(db, schema::Dialect::SQLite);
            schema::insertDefaultRows(db);
        });
        createFile(linkFile(), [this](QSqlDatabase &db) {
            schema::createLinkSchema(db);
            schema::writeLinkCatalog(db, dataFile(), schema::sharedTableNames());
        });
    }
    createFile(localFile(), [](QSqlDatabase &db) { schema::createLocalSchema(db); });
    createFile(joinPath(m_programDir, QLatin1String(DatabaseFile::Report)),
               [](QSqlDatabase &db) { schema::createReportSchema(db); });
}

QString ProgramFiles::dataFile() const
{
    return joinPath(m_dataDir, QLatin1String(DatabaseFile::Data));
}

QString ProgramFiles::linkFile() const
{
    return joinPath(m_programDir, QLatin1String(DatabaseFile::Link));
}

QString ProgramFiles::localFile() const
{
    return joinPath(m_programDir, QLatin1String(DatabaseFile::Local));
}

DatabaseSettings ProgramFiles::databaseSettings(qint16 connectionType) const
{
    if (m_engine.onServer())
        return m_engine.settings();
    DatabaseSettings s;
    s.dataSource = m_dataDir;
    s.connectionType = connectionType;
    return s;
}

QString ProgramFiles::programConnectString() const
{
    return m_engine.onServer() ? m_engine.connectString()
                               : ConnectionStrings::programDatabase(m_dataDir);
}

QString ProgramFiles::connectStringOf(const QString &file) const
{
    if (m_engine.onServer() && file == dataFile())
        return m_engine.connectString();
    return QStringLiteral("PROVIDER=Microsoft.Jet.OLEDB.4.0;Data Source=") + file;
}

void ProgramFiles::exec(const QString &file, const QString &sql, const QVariantList &params) const
{
    db::Connection c;
    c.open(connectStringOf(file));
    c.execute(sql, params);
}

QVariant ProgramFiles::scalar(const QString &file, const QString &sql,
                              const QVariantList &params) const
{
    db::Connection c;
    c.open(connectStringOf(file));
    return c.scalar(sql, params);
}

qint32 ProgramFiles::addContact(const QString &name, bool active) const
{
    db::Connection c;
    c.open(programConnectString());
    return static_cast<qint32>(c.insertReturningKey(
        QStringLiteral("INSERT INTO tblContacts (ContactName, Active) VALUES (?, ?)"),
        {name, active ? -1 : 0}, QStringLiteral("ContactID")));
}

qint32 ProgramFiles::addTimeCard(qint32 userId, qint32 contactId, bool hidden, QVariant invoiceId,
                                 const QString &startDate) const
{
    db::Connection c;
    c.open(programConnectString());
    return static_cast<qint32>(c.insertReturningKey(
        QStringLiteral("INSERT INTO tblTimeCards (UserId, ContactID, Inactive, InvoiceID, "
                       "StartDate, Description) VALUES (?, ?, ?, ?, ?, ?)"),
        {userId, contactId ? QVariant(contactId) : QVariant(), hidden ? -1 : 0, invoiceId,
         startDate.isEmpty() ? QVariant() : QVariant(startDate), QStringLiteral("It's done")},
        QStringLiteral("TimeCardID")));
}

QStringList ProgramFiles::snapshot() const
{
    QStringList result;
    for (const QString &dir : {m_programDir, m_dataDir}) {
        for (const QFileInfo &f : QDir(dir).entryInfoList(QDir::Files | QDir::Hidden))
            result << QStringLiteral("%1 %2 %3")
                          .arg(f.absoluteFilePath())
                          .arg(f.size())
                          .arg(f.lastModified().toMSecsSinceEpoch());
    }
    return result;
}

} // namespace quorvale::test
