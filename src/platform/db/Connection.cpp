#include "Connection.h"

#include "ConnectionString.h"
#include "OdbcRows.h"
#include "SqliteRows.h"
#include "Values.h"
#include "platform/core/QvError.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QRegularExpression>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlIndex>
#include <QSqlRecord>
#include <QUrl>
#include <algorithm>
#include <atomic>

Q_LOGGING_CATEGORY(lcDb, "quorvale.db", QtWarningMsg)

namespace quorvale::db {

namespace {

const QString JetProvider = QStringLiteral("Microsoft.Jet.OLEDB.4.0");

QString nextConnectionName()
{
    static std::atomic<quint64> counter{0};
    return QStringLiteral("quorvale-db-%1").arg(++counter);
}

// SQLite result codes as QSqlError::nativeErrorCode() gives them (primary code).
enum SqliteCode {
    Busy = 5,
    Locked = 6,
    ReadOnly = 8,
    IoError = 10,
    Corrupt = 11,
    Full = 13,
    CantOpen = 14,
    NotADatabase = 26
};

int sqliteCode(const QSqlError &error)
{
    return error.nativeErrorCode().toInt() & 0xff;
}

// The 100-byte header's first 16 bytes, or an empty array when unreadable.
QByteArray sqliteHeader(const QString &path, QString *ioError)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *ioError = file.errorString();
        return {};
    }
    return file.read(100);
}

bool isValidAlias(const QString &alias)
{
    static const QRegularExpression re(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return re.match(alias).hasMatch();
}

QString sqliteUri(const QString &path, bool readOnly)
{
    return QStringLiteral("file:") +
           QString::fromUtf8(QUrl::toPercentEncoding(QFileInfo(path).absoluteFilePath(), "/")) +
           (readOnly ? QStringLiteral("?mode=ro") : QStringLiteral("?mode=rw"));
}

// Whether a server driver's error says the connection itself is gone, rather than
// that one statement failed. ODBC drivers tell it by an SQLSTATE of class 08 in the
// text, PostgreSQL's driver by its native codes (35: lost while in use, 101: the
// server not reached) and its texts; Qt reports a failed connect as ConnectionError.
bool saysConnectionLost(const QSqlError &error)
{
    if (error.type() == QSqlError::ConnectionError)
        return true;
    static const QStringList nativeCodes{QStringLiteral("35"), QStringLiteral("101")};
    if (nativeCodes.contains(error.nativeErrorCode()))
        return true;
    static const QRegularExpression texts(
        QStringLiteral("connection (has been )?lost|server closed the connection|could not "
                       "connect|connection refused|no connection to the server|terminating "
                       "connection|communication link failure|\\[08[0-9A-Z]{3}\\]|^08[0-9A-Z]{3}$"),
        QRegularExpression::CaseInsensitiveOption);
    return texts.match(error.databaseText()).hasMatch() ||
           texts.match(error.nativeErrorCode()).hasMatch();
}

// A statement tries a lost server again only after this many times as long as the
// last try took: a refused connection costs nothing and is tried at once, while a
// try that waited for the login timeout is not repeated by every statement of a
// command.
constexpr qint64 RetryCostFactor = 3;

QStringList sideFiles(const QString &path)
{
    return {path + QStringLiteral("-wal"), path + QStringLiteral("-shm"),
            path + QStringLiteral("-journal")};
}

} // namespace

Connection::Connection() = default;

Connection::~Connection()
{
    close();
}

QSqlDatabase Connection::database() const
{
    if (m_name.isEmpty())
        return {};
    return QSqlDatabase::database(m_name, false);
}

bool Connection::isOpen() const
{
    // A lost connection stays open for its users: it is being made again.
    return !m_name.isEmpty() && (m_lost || database().isOpen());
}

QString Connection::errorSource() const
{
    return QString::fromLatin1(m_engine == Engine::SQLite ? JetErrorSource : OdbcErrorSource);
}

void Connection::fail(const QString &description) const
{
    throw QvError(ErrorNumber::Generic, description, errorSource());
}

void Connection::failStatement(const QSqlError &error, const QString &sql) const
{
    if (m_engine == Engine::Odbc && (m_lost || saysConnectionLost(error)))
        failLost(QStringLiteral("Statement: %1\nEngine: %2").arg(sql, error.text().trimmed()));
    const QString detail =
        QStringLiteral("Statement: %1\nEngine: %2").arg(sql, error.text().trimmed());
    QString text;
    if (m_engine == Engine::SQLite) {
        const QString file = QDir::toNativeSeparators(m_filePath);
        switch (sqliteCode(error)) {
        case Busy:
        case Locked:
            text = QStringLiteral("Could not update; currently locked by another user ('%1').")
                       .arg(m_filePath);
            break;
        case Full:
            text = QStringLiteral("The disk is full, so the database \"%1\" could not be changed. "
                                  "This change was not saved; what was saved before is kept. "
                                  "Free some space on the disk and try again.")
                       .arg(file);
            break;
        case ReadOnly:
            text = QStringLiteral("The database \"%1\" cannot be changed: it is read-only. This "
                                  "change was not saved; what was saved before is kept.")
                       .arg(file);
            break;
        case IoError:
        case CantOpen:
            text = QStringLiteral("The database \"%1\" could not be read or written (a disk or "
                                  "file system error). This change was not saved; what was saved "
                                  "before is kept. Check the disk and try again.")
                       .arg(file);
            break;
        case Corrupt:
        case NotADatabase:
            text = QStringLiteral("The database \"%1\" is damaged. This change was not saved. "
                                  "Restore the database from a backup or ask your Quorvale "
                                  "administrator.")
                       .arg(file);
            break;
        default:
            break;
        }
    }
    if (text.isEmpty())
        text = error.databaseText().trimmed().isEmpty() ? error.text().trimmed()
                                                        : error.databaseText().trimmed();
    const bool full = m_engine == Engine::SQLite && sqliteCode(error) == Full;
    throw QvError(full ? ErrorNumber::DiskFull : ErrorNumber::Generic, text, errorSource(), detail);
}

void Connection::open(const QString &connectionString)
{
    close();
    const ConnectionString cs(connectionString);
    if (!cs.hadOdbcPrefix() && cs.provider().compare(JetProvider, Qt::CaseInsensitive) == 0) {
        m_engine = Engine::SQLite;
        const bool readOnly =
            cs.value(QStringLiteral("Mode")).compare(QStringLiteral("Read"), Qt::CaseInsensitive) ==
            0;
        openSqlite(cs.value(QStringLiteral("Data Source")), readOnly);
    } else {
        m_engine = Engine::Odbc;
        openOdbc(cs.toString({QStringLiteral("Provider")}));
    }
    m_connectionString = connectionString;
}

void Connection::open(const ConnectionSource &source)
{
    m_busyTimeoutMs = source.busyTimeoutMs;
    m_loginTimeoutS = source.loginTimeoutS;
    open(source.connectionString);
    for (const auto &[alias, file] : source.attached)
        attach(file, alias);
}

ConnectionSource Connection::source() const
{
    return {m_connectionString, m_attached, m_busyTimeoutMs, m_loginTimeoutS};
}

void Connection::openSqlite(const QString &path, bool readOnlyRequested)
{
    const QFileInfo info(path);
    if (path.isEmpty() || !info.exists())
        throw QvError(ErrorNumber::FileNotFound,
                      QStringLiteral("Could not find file '%1'.").arg(path),
                      QString::fromLatin1(JetErrorSource));
    // Check the header before SQLite sees the file: SQLite would take an empty or
    // foreign file for a new database and start writing to it.
    QString ioError;
    const QByteArray header = info.isFile() ? sqliteHeader(path, &ioError) : QByteArray();
    if (!ioError.isEmpty())
        fail(QStringLiteral("Could not open file '%1': %2").arg(path, ioError));
    if (header.size() < 100 || !header.startsWith(QByteArrayLiteral("SQLite format 3\0")))
        fail(QStringLiteral("Unrecognized database format '%1'.").arg(path));

    const bool writable =
        info.isWritable() && QFileInfo(info.absolutePath()).isWritable() && !readOnlyRequested;
    const bool walHeader = header.at(18) == 2 || header.at(19) == 2;
    if (!writable && !readOnlyRequested && walHeader) {
        // A read-only WAL database can be read only through its -wal and -shm files;
        // without them SQLite would have to create them.
        const QStringList side = sideFiles(path);
        if (!QFileInfo::exists(side[0]) || !QFileInfo::exists(side[1]))
            fail(QStringLiteral("The database '%1' is read-only and cannot be opened without "
                                "writing beside it. Make the file and its folder writable.")
                     .arg(path));
    }

    QStringList existedBefore;
    for (const QString &f : sideFiles(path)) {
        if (QFileInfo::exists(f))
            existedBefore << f;
    }

    m_name = nextConnectionName();
    m_filePath = path;
    m_readOnly = !writable;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_name);
        db.setDatabaseName(sqliteUri(path, m_readOnly));
        db.setConnectOptions(
            QStringLiteral("QSQLITE_OPEN_URI;QSQLITE_BUSY_TIMEOUT=%1%2")
                .arg(m_busyTimeoutMs)
                .arg(m_readOnly ? QStringLiteral(";QSQLITE_OPEN_READONLY") : QString()));
    }
    auto failOpen = [&](const QString &description, long number = ErrorNumber::Generic) {
        close();
        // SQLite removes its side files when the last connection closes. An empty
        // one this failed attempt left behind goes too; one with content may belong
        // to another process that opened the file meanwhile (its WAL holds committed
        // work), so it stays.
        for (const QString &f : sideFiles(path)) {
            const QFileInfo info(f);
            if (!existedBefore.contains(f) && info.exists() && info.size() == 0)
                QFile::remove(f);
        }
        throw QvError(number, description, QString::fromLatin1(JetErrorSource));
    };
    auto describe = [&](const QSqlError &e) {
        switch (sqliteCode(e)) {
        case Busy:
        case Locked:
            return QStringLiteral("Could not use '%1'; file already in use.").arg(path);
        case NotADatabase:
            return QStringLiteral("Unrecognized database format '%1'.").arg(path);
        case Corrupt:
            return QStringLiteral("The database '%1' is damaged and cannot be opened (%2).")
                .arg(path, e.databaseText());
        default:
            return QStringLiteral("Could not open the database '%1': %2").arg(path, e.text());
        }
    };
    {
        QSqlDatabase db = database();
        if (!db.open())
            failOpen(describe(db.lastError()));
    }
    // Reading the schema proves the file is a database SQLite can use (and waits out
    // the busy timeout when another connection holds it locked).
    auto probe = [&](const QString &sql) {
        QSqlQuery q(database());
        if (!q.exec(sql) || !q.next())
            return q.lastError();
        return QSqlError();
    };
    QSqlError err = probe(QStringLiteral("SELECT count(*) FROM sqlite_master"));
    if (err.type() == QSqlError::NoError)
        err = probe(QStringLiteral("PRAGMA schema_version"));
    if (err.type() == QSqlError::NoError && !m_readOnly)
        err = probe(QStringLiteral("PRAGMA journal_mode=WAL"));
    if (err.type() != QSqlError::NoError)
        failOpen(describe(err));
    m_dialect = SqlDialect(Dialect::SQLite);
    qCDebug(lcDb) << "opened" << path << (m_readOnly ? "read-only" : "read-write");
}

void Connection::openOdbc(const QString &connectString)
{
    const ConnectionString cs(connectString);
    // Qt's QODBC driver puts "DSN=" in front of the string unless it names a DRIVER or
    // SERVER; a data source string must therefore reach it without its own "DSN=".
    QString forQt = connectString;
    const bool qtPrepends =
        !connectString.contains(QStringLiteral("DRIVER="), Qt::CaseInsensitive) &&
        !connectString.contains(QStringLiteral("SERVER="), Qt::CaseInsensitive);
    if (qtPrepends && cs.contains(QStringLiteral("DSN")))
        forQt = cs.value(QStringLiteral("DSN")) + u';' + cs.toString({QStringLiteral("DSN")});
    m_dataSourceName = cs.value(QStringLiteral("DSN"));
    if (m_dataSourceName.isEmpty())
        m_dataSourceName = cs.value(QStringLiteral("SERVER"));
    if (m_dataSourceName.isEmpty())
        m_dataSourceName = cs.value(QStringLiteral("DRIVER"));
    const QString database = cs.value(QStringLiteral("Database"));
    const QString named =
        database.isEmpty() ? QStringLiteral("'%1'").arg(m_dataSourceName)
                           : QStringLiteral("'%1' (database '%2')").arg(m_dataSourceName, database);

    m_name = nextConnectionName();
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), m_name);
        if (!db.isValid()) {
            error = QStringLiteral("the ODBC driver of Qt is not installed");
        } else {
            db.setDatabaseName(forQt);
            db.setConnectOptions(QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=%1").arg(m_loginTimeoutS));
            if (!db.open())
                error = db.lastError().text();
        }
    }
    if (!error.isEmpty()) {
        close();
        throw QvError(
            ErrorNumber::Generic,
            QStringLiteral("Could not connect to the data source %1: %2").arg(named, error),
            QString::fromLatin1(OdbcErrorSource));
    }
    m_lost = false;
    detectDialect();
    qCDebug(lcDb) << "connected to" << named << "dialect" << static_cast<int>(dialect());
}

void Connection::detectDialect()
{
    m_dialect = SqlDialect(Dialect::OtherOdbc);
    QSqlQuery q(database());
    q.setForwardOnly(true);
    if (q.exec(QStringLiteral("SELECT version()")) && q.next() &&
        q.value(0).toString().startsWith(QStringLiteral("PostgreSQL"), Qt::CaseInsensitive))
        m_dialect = SqlDialect(Dialect::PostgreSQL);
}

void Connection::close()
{
    if (m_name.isEmpty())
        return;
    // Queries first: no statement may outlive the database it was prepared on.
    m_reusable.clear();
    m_keysetShapes.clear();
    const std::vector<StatementHolder *> holders = m_holders;
    m_holders.clear();
    for (StatementHolder *h : holders)
        h->connectionClosing();
    {
        QSqlDatabase db = database();
        if (m_txDepth > 0 && db.isOpen()) {
            if (m_engine == Engine::Odbc)
                db.rollback();
            else
                QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(m_name);
    m_name.clear();
    m_filePath.clear();
    m_connectionString.clear();
    m_dataSourceName.clear();
    m_lost = false;
    m_attached.clear();
    m_primaryKeys.clear();
    m_txDepth = 0;
    m_readOnly = false;
}

void Connection::createSqliteFile(const QString &path)
{
    if (QFileInfo::exists(path))
        throw QvError(ErrorNumber::Generic,
                      QStringLiteral("Could not create '%1': the file already exists.").arg(path),
                      QString::fromLatin1(JetErrorSource));
    {
        // The file exists with mode 0600 before SQLite writes a byte into it.
        QFile file(path);
        if (!file.open(QIODevice::NewOnly | QIODevice::WriteOnly) ||
            !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner))
            throw QvError(ErrorNumber::Generic,
                          QStringLiteral("Could not create '%1': %2").arg(path, file.errorString()),
                          QString::fromLatin1(JetErrorSource));
    }
    const QString name = nextConnectionName();
    QString error;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open()) {
            error = db.lastError().text();
        } else {
            QSqlQuery q(db);
            // An empty file becomes a database once its first page is written.
            if (!q.exec(QStringLiteral("PRAGMA journal_mode=WAL")) ||
                !q.exec(QStringLiteral("PRAGMA user_version=0")) ||
                !q.exec(QStringLiteral("CREATE TABLE qv_init(x)")) ||
                !q.exec(QStringLiteral("DROP TABLE qv_init")))
                error = q.lastError().text();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    if (!error.isEmpty()) {
        QFile::remove(path);
        throw QvError(ErrorNumber::Generic,
                      QStringLiteral("Could not create '%1': %2").arg(path, error),
                      QString::fromLatin1(JetErrorSource));
    }
}

void Connection::attach(const QString &file, const QString &alias)
{
    if (!isOpen() || m_engine != Engine::SQLite)
        fail(QStringLiteral("Only an open SQLite connection can attach a database file."));
    if (!isValidAlias(alias))
        fail(QStringLiteral("'%1' is not a valid database alias.").arg(alias));
    const QFileInfo info(file);
    if (file.isEmpty() || !info.isFile())
        throw QvError(ErrorNumber::FileNotFound,
                      QStringLiteral("Could not find file '%1'.").arg(file), errorSource());
    QString ioError;
    const QByteArray header = sqliteHeader(file, &ioError);
    if (!ioError.isEmpty())
        fail(QStringLiteral("Could not open file '%1': %2").arg(file, ioError));
    if (header.size() < 100 || !header.startsWith(QByteArrayLiteral("SQLite format 3\0")))
        fail(QStringLiteral("Unrecognized database format '%1'.").arg(file));
    const bool readOnly = m_readOnly || !info.isWritable();

    QSqlQuery q(database());
    q.prepare(QStringLiteral("ATTACH DATABASE ? AS ") + alias);
    q.addBindValue(sqliteUri(file, readOnly));
    if (!q.exec())
        fail(QStringLiteral("Could not attach '%1': %2").arg(file, q.lastError().text()));
    QSqlQuery probe(database());
    const bool ok =
        probe.exec(QStringLiteral("SELECT count(*) FROM %1.sqlite_master").arg(alias)) &&
        probe.next() &&
        (readOnly || probe.exec(QStringLiteral("PRAGMA %1.journal_mode=WAL").arg(alias)));
    if (!ok) {
        const QSqlError e = probe.lastError();
        probe.finish();
        QSqlQuery(database()).exec(QStringLiteral("DETACH DATABASE ") + alias);
        const int code = sqliteCode(e);
        if (code == Busy || code == Locked)
            fail(QStringLiteral("Could not use '%1'; file already in use.").arg(file));
        if (code == NotADatabase)
            fail(QStringLiteral("Unrecognized database format '%1'.").arg(file));
        fail(QStringLiteral("Could not attach '%1': %2").arg(file, e.text()));
    }
    m_attached.emplace_back(alias, file);
    m_primaryKeys.clear();
}

void Connection::detach(const QString &alias)
{
    auto it = std::find_if(m_attached.begin(), m_attached.end(), [&](const auto &a) {
        return a.first.compare(alias, Qt::CaseInsensitive) == 0;
    });
    if (it == m_attached.end())
        fail(QStringLiteral("No database is attached as '%1'.").arg(alias));
    QSqlQuery q(database());
    if (!q.exec(QStringLiteral("DETACH DATABASE ") + it->first))
        fail(QStringLiteral("Could not detach '%1': %2").arg(it->second, q.lastError().text()));
    m_attached.erase(it);
    m_primaryKeys.clear();
}

void Connection::failLost(const QString &detail) const
{
    m_lost = true;
    throw QvError(ErrorNumber::ConnectionLost,
                  QStringLiteral("The connection to the database server (data source '%1') was "
                                 "lost.")
                      .arg(m_dataSourceName),
                  errorSource(), detail);
}

bool Connection::reconnect()
{
    if (m_engine != Engine::Odbc || m_name.isEmpty())
        return false;
    const qint64 started = QDateTime::currentMSecsSinceEpoch();
    // The old statements belong to the dead connection: none may be used again.
    m_reusable.clear();
    m_keysetShapes.clear();
    const std::vector<StatementHolder *> holders = m_holders;
    for (StatementHolder *h : holders)
        h->connectionReset();
    m_txDepth = 0;
    bool ok = false;
    QString error;
    {
        QSqlDatabase db = database();
        db.close();
        db.setConnectOptions(QStringLiteral("SQL_ATTR_LOGIN_TIMEOUT=%1").arg(m_loginTimeoutS));
        ok = db.open();
        if (ok) {
            QSqlQuery probe(db);
            ok = probe.exec(QStringLiteral("SELECT 1")) && probe.next();
            if (!ok)
                error = probe.lastError().text();
        } else {
            error = db.lastError().text();
        }
    }
    m_lost = !ok;
    m_lastRetryMs = QDateTime::currentMSecsSinceEpoch();
    m_lastRetryCostMs = std::max<qint64>(0, m_lastRetryMs - started);
    if (ok) {
        ++m_reconnects;
        qCInfo(lcDb) << "connection to" << m_dataSourceName << "made again";
    } else {
        qCDebug(lcDb) << "reconnecting to" << m_dataSourceName << "failed:" << error;
    }
    return ok;
}

void Connection::ensureConnected()
{
    if (!m_lost)
        return;
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    const qint64 since = now - m_lastRetryMs;
    if (m_txDepth == 0 && (since >= m_lastRetryCostMs * RetryCostFactor || since < 0))
        reconnect();
    if (m_lost)
        failLost(QStringLiteral("the server does not answer"));
}

QSqlQuery Connection::prepare(const QString &sql)
{
    if (!isOpen())
        throw QvError(ErrorNumber::ObjectClosed, QStringLiteral("The connection is closed."),
                      errorSource());
    ensureConnected();
    QSqlQuery q(database());
    q.setForwardOnly(true);
    if (!q.prepare(m_dialect.translate(sql)))
        failStatement(q.lastError(), sql);
    return q;
}

QSqlQuery &Connection::reusable(const QString &sql)
{
    ensureConnected();
    auto found = m_reusable.find(sql);
    if (found == m_reusable.end())
        found = m_reusable.emplace(sql, prepare(sql));
    return *found;
}

std::shared_ptr<KeysetShape> Connection::keysetShape(const QString &sql) const
{
    return m_keysetShapes.value(sql);
}

void Connection::keepKeysetShape(const QString &sql, std::shared_ptr<KeysetShape> shape)
{
    // Texts built with values in them would grow this without end: start over.
    if (m_keysetShapes.size() >= 256)
        m_keysetShapes.clear();
    m_keysetShapes.insert(sql, std::move(shape));
}

void Connection::run(QSqlQuery &query, const QVariantList &params, const QString &sqlForMessage)
{
    const QString sql = sqlForMessage.isEmpty() ? query.lastQuery() : sqlForMessage;
    // A statement prepared before the connection went is of no use any more.
    if (m_lost)
        failLost(QStringLiteral("Statement: %1\nEngine: the server does not answer").arg(sql));
    const Dialect d = dialect();
    for (qsizetype i = 0; i < params.size(); ++i)
        query.bindValue(static_cast<int>(i), toBindable(params[i], d));
    if (!query.exec())
        failStatement(query.lastError(), sql);
}

void Connection::readRows(const QString &sql, const QVariantList &params,
                          const std::function<void(QVariant *, int)> &row)
{
    if (!isOpen())
        throw QvError(ErrorNumber::ObjectClosed, QStringLiteral("The connection is closed."),
                      errorSource());
    ensureConnected();
    // Many rows come through the engine's own interface under Qt's driver where
    // it is there; what it cannot read goes through the driver.
    sqlite3 *sqlite = m_engine == Engine::SQLite ? sqliteHandle(database()) : nullptr;
    void *odbc = m_engine == Engine::Odbc ? odbcHandle(database()) : nullptr;
    if (sqlite || odbc) {
        QVariantList bound;
        bound.reserve(params.size());
        for (const QVariant &p : params)
            bound << toBindable(p, dialect());
        const QString translated = m_dialect.translate(sql);
        const std::optional<QSqlError> error = sqlite
                                                   ? readSqliteRows(sqlite, translated, bound, row)
                                                   : readOdbcRows(odbc, translated, bound, row);
        if (error) {
            if (error->type() != QSqlError::NoError)
                failStatement(*error, sql);
            return;
        }
    }
    QSqlQuery q = prepare(sql);
    run(q, params, sql);
    const int columns = q.record().count();
    std::vector<QVariant> values(std::size_t(std::max(columns, 0)));
    while (q.next()) {
        for (int c = 0; c < columns; ++c)
            values[std::size_t(c)] = q.value(c);
        row(values.data(), columns);
    }
}

int Connection::execute(const QString &sql, const QVariantList &params)
{
    // A table changed under the statements kept for reuse would hand out rows in
    // the columns it had before: they are prepared again on their next use.
    const QStringView verb = QStringView(sql).trimmed().left(6);
    if (verb.startsWith(u"ALTER", Qt::CaseInsensitive) ||
        verb.startsWith(u"CREATE", Qt::CaseInsensitive) ||
        verb.startsWith(u"DROP", Qt::CaseInsensitive)) {
        m_reusable.clear();
        m_keysetShapes.clear();
    }
    QSqlQuery q = prepare(sql);
    run(q, params, sql);
    return q.numRowsAffected();
}

QVariant Connection::scalar(const QString &sql, const QVariantList &params)
{
    QSqlQuery q = prepare(sql);
    run(q, params, sql);
    QVariant v;
    if (q.next())
        v = q.value(0);
    return v;
}

qlonglong Connection::insertReturningKey(const QString &sql, const QVariantList &params,
                                         const QString &keyColumn)
{
    if (dialect() == Dialect::PostgreSQL) {
        const QVariant key = scalar(sql + QStringLiteral(" RETURNING ") + keyColumn, params);
        return key.toLongLong();
    }
    QSqlQuery q = prepare(sql);
    run(q, params, sql);
    QVariant key = q.lastInsertId();
    q.finish();
    if (!key.isValid() && m_engine == Engine::Odbc)
        key = scalar(QStringLiteral("SELECT @@IDENTITY"));
    return key.toLongLong();
}

QStringList Connection::tables() const
{
    if (!isOpen())
        return {};
    if (m_engine == Engine::Odbc)
        return database().tables(QSql::Tables) + database().tables(QSql::Views);
    QStringList names;
    QStringList schemas{QStringLiteral("main")};
    for (const auto &a : m_attached)
        schemas << a.first;
    for (const QString &schema : schemas) {
        QSqlQuery q(database());
        q.setForwardOnly(true);
        if (!q.exec(QStringLiteral("SELECT name FROM %1.sqlite_master WHERE type IN "
                                   "('table','view') AND name NOT LIKE 'sqlite\\_%' ESCAPE '\\' "
                                   "ORDER BY name")
                        .arg(schema)))
            fail(q.lastError().text());
        while (q.next()) {
            const QString name = q.value(0).toString();
            if (!names.contains(name, Qt::CaseInsensitive))
                names << name;
        }
    }
    return names;
}

QString Connection::primaryKey(const QString &table) const
{
    const QString cacheKey = table.toLower();
    auto cached = m_primaryKeys.constFind(cacheKey);
    if (cached != m_primaryKeys.cend())
        return *cached;
    QString key;
    if (m_engine == Engine::SQLite) {
        QSqlQuery q(database());
        q.setForwardOnly(true);
        q.prepare(QStringLiteral("SELECT name FROM pragma_table_info(?) WHERE pk > 0"));
        q.addBindValue(table);
        if (!q.exec())
            fail(q.lastError().text());
        QStringList keys;
        while (q.next())
            keys << q.value(0).toString();
        if (keys.isEmpty()) {
            // pragma_table_info() looks in the main file only; try the attached ones.
            for (const auto &a : m_attached) {
                q.prepare(QStringLiteral("SELECT name FROM pragma_table_info(?, ?) WHERE pk > 0"));
                q.addBindValue(table);
                q.addBindValue(a.first);
                if (q.exec()) {
                    while (q.next())
                        keys << q.value(0).toString();
                }
                if (!keys.isEmpty())
                    break;
            }
        }
        if (keys.size() == 1)
            key = keys.front();
    } else if (dialect() == Dialect::PostgreSQL) {
        QSqlQuery q(database());
        q.setForwardOnly(true);
        q.prepare(QStringLiteral(
            "SELECT kcu.column_name FROM information_schema.table_constraints tc "
            "JOIN information_schema.key_column_usage kcu ON kcu.constraint_name = "
            "tc.constraint_name AND kcu.table_schema = tc.table_schema "
            "WHERE tc.constraint_type = 'PRIMARY KEY' AND tc.table_schema = current_schema() "
            "AND lower(tc.table_name) = lower(?)"));
        q.addBindValue(table);
        if (!q.exec())
            failStatement(q.lastError(), q.lastQuery());
        QStringList keys;
        while (q.next())
            keys << q.value(0).toString();
        if (keys.size() == 1)
            key = keys.front();
    } else {
        const QSqlIndex index = database().primaryIndex(table);
        if (index.count() == 1)
            key = index.fieldName(0);
    }
    m_primaryKeys.insert(cacheKey, key);
    return key;
}

void Connection::executeDirect(const QString &sql)
{
    // Unprepared: the ODBC driver of PostgreSQL recognises its application's savepoints
    // only in statements executed directly, and would otherwise release them together
    // with its own per-statement savepoints.
    QSqlQuery q(database());
    if (!q.exec(sql))
        failStatement(q.lastError(), sql);
}

void Connection::beginTransaction()
{
    if (!isOpen())
        fail(QStringLiteral("The connection is closed."));
    if (m_txDepth == 0)
        ensureConnected();
    if (m_txDepth == 0) {
        if (m_engine == Engine::Odbc) {
            if (!database().transaction())
                failStatement(database().lastError(), QStringLiteral("BEGIN"));
        } else {
            // IMMEDIATE takes the write lock now (waiting out the busy timeout), so a
            // transaction never fails half way because a reader upgraded too late.
            executeDirect(m_readOnly ? QStringLiteral("BEGIN") : QStringLiteral("BEGIN IMMEDIATE"));
        }
    } else {
        executeDirect(QStringLiteral("SAVEPOINT qv_sp%1").arg(m_txDepth));
    }
    ++m_txDepth;
}

void Connection::commitTransaction()
{
    if (m_txDepth <= 0)
        fail(QStringLiteral("No transaction is active."));
    if (m_txDepth == 1) {
        if (m_engine == Engine::Odbc) {
            if (!database().commit())
                failStatement(database().lastError(), QStringLiteral("COMMIT"));
        } else {
            executeDirect(QStringLiteral("COMMIT"));
        }
    } else {
        executeDirect(QStringLiteral("RELEASE SAVEPOINT qv_sp%1").arg(m_txDepth - 1));
    }
    --m_txDepth;
}

void Connection::rollbackTransaction()
{
    if (m_txDepth <= 0)
        fail(QStringLiteral("No transaction is active."));
    --m_txDepth;
    if (m_txDepth == 0) {
        if (m_engine == Engine::Odbc) {
            if (!database().rollback())
                failStatement(database().lastError(), QStringLiteral("ROLLBACK"));
        } else {
            executeDirect(QStringLiteral("ROLLBACK"));
        }
    } else {
        executeDirect(QStringLiteral("ROLLBACK TO SAVEPOINT qv_sp%1").arg(m_txDepth));
        executeDirect(QStringLiteral("RELEASE SAVEPOINT qv_sp%1").arg(m_txDepth));
    }
}

void Connection::registerHolder(StatementHolder *holder)
{
    if (std::find(m_holders.begin(), m_holders.end(), holder) == m_holders.end())
        m_holders.push_back(holder);
}

void Connection::unregisterHolder(StatementHolder *holder)
{
    m_holders.erase(std::remove(m_holders.begin(), m_holders.end(), holder), m_holders.end());
}

} // namespace quorvale::db
