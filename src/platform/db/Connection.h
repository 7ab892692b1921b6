#pragma once

#include "SqlDialect.h"

#include <QHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>
#include <vector>

namespace quorvale::db {

enum class Engine { SQLite, Odbc };

class Connection;
struct KeysetShape; // Recordset.h

// What another connection needs to reach the same tables as one already open:
// its connect string and the files attached to it. A plain value, so a thread of
// its own can open its own connection with it (a connection belongs to the thread
// that opened it).
struct ConnectionSource {
    QString connectionString;
    std::vector<std::pair<QString, QString>> attached; // alias, file
    int busyTimeoutMs = 5000;
    int loginTimeoutS = 10;
};

// Anything that holds prepared queries on a connection (Command, Recordset). The
// connection tells it to drop them before the database handle goes away, so no
// query outlives its connection.
class StatementHolder {
public:
    virtual void connectionClosing() = 0;
    // The connection is about to be made again (a lost server came back): drop the
    // prepared queries, keeping what is needed to prepare them again on next use.
    virtual void connectionReset() = 0;

protected:
    ~StatementHolder() = default;
};

// One database connection, the counterpart of an ADO Connection. Owns one
// QSqlDatabase under a name of its own; closing (or destroying) it first makes every
// Command and Recordset on it drop its queries, then removes the database.
//
// Every SQL text passes through the dialect translation before it runs; every value
// goes as a bound parameter. Errors are thrown as QvError naming the file or data
// source.
//
// A database server that goes away (stopped, restarted, the network gone) makes the
// connection lost: every statement then throws ErrorNumber::ConnectionLost until
// reconnect() succeeds. Statements try that themselves (outside a transaction, and
// not again soon after a try that had to wait for the login timeout), so the next
// command after the server returns just works; holders prepare their statements
// again on their next use.
class Connection {
public:
    Connection();
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    // Provider "Microsoft.Jet.OLEDB.4.0": the existing SQLite file named by "Data Source"
    // (the Jet password is ignored; files are protected by mode 0600). "Mode=Read" opens
    // it read-only. Any other provider, or none: ODBC, the connect string as given
    // (a leading "ODBC;" and a "PROVIDER=MSDASQL;" pair are dropped).
    // Opening an open connection closes it first.
    void open(const QString &connectionString);
    // Opens this connection on the database `source` was taken from, with the same
    // files attached under the same names.
    void open(const ConnectionSource &source);
    // What open(ConnectionSource) needs to reach the tables this one reaches.
    ConnectionSource source() const;
    bool isOpen() const;
    void close();

    // Server connections: how long opening (and reconnecting) waits for the server
    // before giving up, in seconds. Takes effect at the next open. Default 10.
    void setLoginTimeout(int seconds) { m_loginTimeoutS = seconds; }

    // The server connection went away; statements throw ConnectionLost.
    bool isLost() const { return m_lost; }
    // Makes a lost server connection again, on the same connect string, and
    // returns whether it is usable; holders prepare their statements anew. Never
    // throws. An open transaction is gone with the old connection.
    bool reconnect();
    // Before a statement: a lost connection is tried again (see above); throws
    // ConnectionLost when it is still lost.
    void ensureConnected();
    // How many times reconnect() has made the connection again.
    int reconnects() const { return m_reconnects; }

    // How long a statement waits for another connection's lock (SQLite), in ms.
    // Takes effect at the next open. Default 5000.
    void setBusyTimeout(int milliseconds) { m_busyTimeoutMs = milliseconds; }

    // A new, empty SQLite database file (mode 0600, WAL). Fails when the file exists.
    static void createSqliteFile(const QString &path);

    Engine engine() const { return m_engine; }
    Dialect dialect() const { return m_dialect.dialect(); }
    const SqlDialect &sqlDialect() const { return m_dialect; }
    bool isReadOnly() const { return m_readOnly; }
    // SQLite: the main file. Empty for ODBC.
    QString filePath() const { return m_filePath; }
    QString connectionString() const { return m_connectionString; }
    QSqlDatabase database() const;

    // SQLite only: makes the tables of another existing database file reachable by
    // their unqualified names (a same-named table of the main file wins).
    void attach(const QString &file, const QString &alias);
    void detach(const QString &alias);

    // Runs one statement; returns the rows affected (-1 when the driver cannot tell).
    int execute(const QString &sql, const QVariantList &params = {});
    // The first column of the first row, or an invalid QVariant when there is no row.
    QVariant scalar(const QString &sql, const QVariantList &params = {});
    // Runs an INSERT and returns the key the database assigned to keyColumn.
    qlonglong insertReturningKey(const QString &sql, const QVariantList &params,
                                 const QString &keyColumn);

    // Base tables and views, the main file's and the attached files' alike.
    QStringList tables() const;
    // The single-column primary key of table, empty when it has none (or a composite
    // one). Table names compare without regard to case. Cached per connection.
    QString primaryKey(const QString &table) const;

    // A query prepared on this connection with the translated text. Throws on errors.
    QSqlQuery prepare(const QString &sql);
    // The same, prepared once per connection and handed out again for the same
    // text: for statements run over and over, one use at a time (a row read by
    // its key). The caller runs and finishes it before anything else may prepare
    // or run one; the reference is not kept.
    QSqlQuery &reusable(const QString &sql);
    // What a keyset record set learned of a statement when it first opened it here
    // (its parse, its key, its columns), kept beside the prepared statements and
    // dropped with them; null when none is kept.
    std::shared_ptr<KeysetShape> keysetShape(const QString &sql) const;
    void keepKeysetShape(const QString &sql, std::shared_ptr<KeysetShape> shape);
    // Binds params (through toBindable) and runs a prepared query. Throws on errors.
    void run(QSqlQuery &query, const QVariantList &params, const QString &sqlForMessage = {});
    // Runs a query and hands every row to `row` as its column values, one row at
    // a time, as QSqlQuery::value gives them (a null may come as an invalid
    // QVariant); `row` may move them away. For reads of many rows: on SQLite
    // the rows come from SQLite's own interface under the driver, without Qt's
    // per-value copies. Throws on errors, as run() does.
    void readRows(const QString &sql, const QVariantList &params,
                  const std::function<void(QVariant *values, int columns)> &row);

    // Transactions as the Transaction class uses them: the outermost begin starts a
    // transaction, inner ones take a savepoint. Prefer Transaction.
    void beginTransaction();
    void commitTransaction();
    void rollbackTransaction();
    int transactionDepth() const { return m_txDepth; }

    // The source text QvErrors raised for this connection carry.
    QString errorSource() const;

    void registerHolder(StatementHolder *holder);
    void unregisterHolder(StatementHolder *holder);

private:
    void openSqlite(const QString &path, bool readOnly);
    void openOdbc(const QString &connectString);
    void detectDialect();
    void executeDirect(const QString &sql);
    void setAttachedWal(const QString &alias);
    [[noreturn]] void fail(const QString &description) const;
    // A statement the engine refused: the person reads what happened in plain
    // words; the statement and the engine's text go to the error report.
    // ConnectionLost (and the connection marked lost) when the server went away.
    [[noreturn]] void failStatement(const QSqlError &error, const QString &sql) const;
    [[noreturn]] void failLost(const QString &detail) const;

    QString m_name;
    QString m_connectionString;
    QString m_filePath;
    QString m_dataSourceName;
    Engine m_engine = Engine::SQLite;
    SqlDialect m_dialect;
    bool m_readOnly = false;
    int m_busyTimeoutMs = 5000;
    int m_loginTimeoutS = 10;
    mutable bool m_lost = false;
    qint64 m_lastRetryMs = 0;     // when the last reconnect() ended
    qint64 m_lastRetryCostMs = 0; // and how long it took
    int m_reconnects = 0;
    int m_txDepth = 0;
    std::vector<std::pair<QString, QString>> m_attached; // alias, file
    std::vector<StatementHolder *> m_holders;
    mutable QHash<QString, QString> m_primaryKeys;               // lower-case table name -> key
    QHash<QString, QSqlQuery> m_reusable;                        // statement text -> its query
    QHash<QString, std::shared_ptr<KeysetShape>> m_keysetShapes; // statement text -> shape
};

} // namespace quorvale::db
