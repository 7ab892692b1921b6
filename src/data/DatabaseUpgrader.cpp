#include "data/DatabaseUpgrader.h"

#include "data/AdminOptionOrdinals.h"
#include "data/Schema.h"
#include "platform/core/QvError.h"

#include <QDir>
#include <QFile>
#include <QLoggingCategory>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <algorithm>
#include <atomic>
#include <filesystem>
#include <system_error>

Q_LOGGING_CATEGORY(lcUpgrade, "quorvale.data.upgrade")

namespace quorvale {

namespace {

const QString Source = QStringLiteral("DatabaseUpgrader");

// A connection of its own, closed and unregistered when it goes out of scope.
class ScopedConnection {
public:
    ScopedConnection(const QString &file, bool readOnly)
    {
        static std::atomic<int> counter{0};
        m_name = QStringLiteral("qv-upgrade-%1").arg(++counter);
        m_db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        m_db.setDatabaseName(file);
        m_db.setConnectOptions(
            readOnly ? QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000;QSQLITE_OPEN_READONLY")
                     : QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
        if (!m_db.open())
            throw QvError(ErrorNumber::FileNotFound,
                          m_db.lastError().text() + QStringLiteral(": ") + file, Source);
    }
    ~ScopedConnection()
    {
        m_db.close();
        m_db = QSqlDatabase();
        QSqlDatabase::removeDatabase(m_name);
    }
    ScopedConnection(const ScopedConnection &) = delete;
    ScopedConnection &operator=(const ScopedConnection &) = delete;

    QSqlDatabase &db() { return m_db; }

private:
    QString m_name;
    QSqlDatabase m_db;
};

void exec(QSqlDatabase &db, const QString &sql)
{
    QSqlQuery q(db);
    if (!q.exec(sql)) {
        throw QvError(ErrorNumber::Generic, q.lastError().text(), Source,
                      QStringLiteral("Statement: ") + sql);
    }
}

int userVersion(QSqlDatabase &db)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("PRAGMA user_version")) || !q.next())
        throw QvError(ErrorNumber::Generic, q.lastError().text(), Source);
    return q.value(0).toInt();
}

QStringList tableNames(QSqlDatabase &db)
{
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table' "
                               "AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY name")))
        throw QvError(ErrorNumber::Generic, q.lastError().text(), Source);
    QStringList out;
    while (q.next())
        out << q.value(0).toString();
    return out;
}

QSet<QString> folded(const QStringList &names)
{
    QSet<QString> out;
    for (const auto &n : names)
        out.insert(n.toLower());
    return out;
}

// Whether the link database already links exactly these tables. A missing or
// unreadable catalogue counts as different: a fresh one is the safe answer.
bool linkCatalogMatches(const QString &linkFile, const QStringList &tables)
{
    if (!QFile::exists(linkFile))
        return false;
    try {
        ScopedConnection link(linkFile, true);
        QSqlQuery q(link.db());
        if (!q.exec(QStringLiteral("SELECT Name FROM tblLinkCatalog")))
            return false;
        QStringList linked;
        while (q.next())
            linked << q.value(0).toString();
        return folded(linked) == folded(tables);
    } catch (const QvError &) {
        return false;
    }
}

void removeDatabaseFile(const QString &file)
{
    for (const char *suffix : {"", "-journal", "-wal", "-shm"})
        QFile::remove(file + QLatin1String(suffix));
}

std::vector<schema::Migration> sortedByVersion(std::vector<schema::Migration> migrations)
{
    std::ranges::sort(migrations, {}, &schema::Migration::version);
    return migrations;
}

} // namespace

DatabaseUpgrader::DatabaseUpgrader() : DatabaseUpgrader(schema::programMigrations()) {}

bool DatabaseUpgrader::isBehind(const QString &dataDir)
{
    const QString file = QDir(dataDir).filePath(QStringLiteral("QVData.db"));
    if (!QFile::exists(file))
        return false;
    try {
        ScopedConnection data(file, true);
        return userVersion(data.db()) < schema::programSchemaVersion();
    } catch (const QvError &) {
        return false;
    }
}

DatabaseUpgrader::DatabaseUpgrader(std::vector<schema::Migration> migrations)
    : m_migrations(sortedByVersion(std::move(migrations)))
{
}

void DatabaseUpgrader::prepare(int mode, const QString &programDir, const QString &dataDir)
{
    m_mode = mode;
    m_programDir = programDir;
    m_dataDir = dataDir;
}

bool DatabaseUpgrader::fail(const QString &why)
{
    m_lastError = why;
    qCWarning(lcUpgrade) << "upgrade failed:" << why;
    return false;
}

bool DatabaseUpgrader::run()
{
    m_lastError.clear();
    m_linkWritten = false;
    m_linkPending = false;
    if (m_mode != ModeUpgrade)
        return fail(QStringLiteral("Unknown upgrade mode %1.").arg(m_mode));
    for (std::size_t i = 0; i < m_migrations.size(); ++i) {
        if (m_migrations[i].version < 1 ||
            (i > 0 && m_migrations[i].version == m_migrations[i - 1].version))
            return fail(QStringLiteral("Invalid or repeated schema version %1.")
                            .arg(m_migrations[i].version));
    }
    const QDir data(m_dataDir);
    const QString dataFile = data.filePath(QStringLiteral("QVData.db"));
    // Opening a missing file would create an empty database in its place.
    if (!QFile::exists(dataFile))
        return fail(QStringLiteral("The program database %1 does not exist.").arg(dataFile));

    const QDir program(m_programDir);
    const QString linkBackup = program.filePath(QStringLiteral("QVLinkBU.db"));
    const QString pendingLink = linkBackup + QStringLiteral(".partial");
    removeDatabaseFile(pendingLink);
    try {
        upgrade(dataFile, pendingLink);
    } catch (const QvError &e) {
        removeDatabaseFile(pendingLink);
        return fail(e.description());
    } catch (const std::exception &e) {
        removeDatabaseFile(pendingLink);
        return fail(QString::fromLocal8Bit(e.what()));
    }
    if (m_linkPending) {
        // The program database is committed by now; the rename is the last step
        // that can fail, and it leaves either the old QVLinkBU.db or the new one.
        std::error_code ec;
        std::filesystem::rename(pendingLink.toStdString(), linkBackup.toStdString(), ec);
        if (ec) {
            removeDatabaseFile(pendingLink);
            return fail(QStringLiteral("The database was upgraded, but %1 could not be written: %2")
                            .arg(linkBackup, QString::fromStdString(ec.message())));
        }
        QFile::setPermissions(linkBackup, QFile::ReadOwner | QFile::WriteOwner);
        m_linkWritten = true;
    }
    qCInfo(lcUpgrade) << "program database at version" << m_versionAfter << "(was"
                      << m_versionBefore << ")" << (m_linkWritten ? "; new link database" : "");
    return true;
}

void DatabaseUpgrader::upgrade(const QString &dataFile, const QString &pendingLinkFile)
{
    ScopedConnection data(dataFile, false);
    QSqlDatabase &db = data.db();
    // IMMEDIATE: take the write lock before reading the version, so two programs
    // starting at once cannot both decide to run the same steps.
    exec(db, QStringLiteral("BEGIN IMMEDIATE"));
    try {
        // A file never stamped is at the version it was created with: the baseline.
        m_versionBefore = std::max(userVersion(db), 1);
        m_versionAfter = m_versionBefore;
        const QStringList tablesBefore = tableNames(db);
        for (const auto &m : m_migrations) {
            if (m.version <= m_versionAfter)
                continue;
            qCInfo(lcUpgrade) << "applying schema version" << m.version << m.description;
            for (const auto &sql : m.statements)
                exec(db, sql);
            if (m.apply)
                m.apply(db);
            exec(db, QStringLiteral("PRAGMA user_version = %1").arg(m.version));
            m_versionAfter = m.version;
        }
        if (m_versionBefore > m_versionAfter)
            qCWarning(lcUpgrade) << "database version" << m_versionBefore
                                 << "is newer than this program's";
        // The request is honoured: clear it, so the next start does not upgrade again.
        const auto &request =
            schema::adminOptionColumns[static_cast<std::size_t>(AdminOption::UpgradeRequest)];
        exec(db, QStringLiteral("UPDATE tblAdminOptions SET %1 = 0")
                     .arg(QString::fromUtf8(request.column.name.data(),
                                            static_cast<qsizetype>(request.column.name.size()))));

        const QStringList tablesAfter = tableNames(db);
        const QString linkFile = QDir(m_programDir).filePath(QStringLiteral("QVLink.db"));
        if (folded(tablesAfter) != folded(tablesBefore) ||
            !linkCatalogMatches(linkFile, tablesAfter)) {
            ScopedConnection link(pendingLinkFile, false);
            schema::createLinkSchema(link.db());
            schema::writeLinkCatalog(link.db(), dataFile, tablesAfter);
            m_linkPending = true;
        }
        exec(db, QStringLiteral("COMMIT"));
    } catch (...) {
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        m_versionAfter = m_versionBefore;
        m_linkPending = false;
        throw;
    }
}

} // namespace quorvale
