#pragma once

#include <QHash>
#include <QString>
#include <QVariantList>
#include <sqlite3.h>
#include <stdexcept>
#include <string>

namespace quorvale::bench {

// The baseline: the same statements run straight through SQLite's C API, with no
// layer of ours in between.
class SqliteBaseline {
public:
    explicit SqliteBaseline(const QString &file)
    {
        if (sqlite3_open_v2(file.toUtf8().constData(), &m_db, SQLITE_OPEN_READWRITE, nullptr) !=
            SQLITE_OK)
            throw std::runtime_error("cannot open " + file.toStdString());
        sqlite3_busy_timeout(m_db, 5000);
    }
    ~SqliteBaseline()
    {
        for (sqlite3_stmt *stmt : std::as_const(m_prepared))
            sqlite3_finalize(stmt);
        sqlite3_close_v2(m_db);
    }
    SqliteBaseline(const SqliteBaseline &) = delete;
    SqliteBaseline &operator=(const SqliteBaseline &) = delete;

    void exec(const QString &sql)
    {
        sqlite3_exec(m_db, sql.toUtf8().constData(), nullptr, nullptr, nullptr);
    }

    // Steps through every row and touches every column, as a reader of the whole
    // result would; returns the row count.
    long readAll(const QString &sql, long key = -1)
    {
        sqlite3_stmt *stmt = prepare(sql);
        if (key >= 0)
            sqlite3_bind_int64(stmt, 1, key);
        long rows = 0;
        long sink = 0;
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            ++rows;
            const int columns = sqlite3_column_count(stmt);
            for (int c = 0; c < columns; ++c)
                sink += sqlite3_column_bytes(stmt, c);
        }
        sqlite3_finalize(stmt);
        m_sink += sink;
        return rows;
    }

    // The same with a statement prepared once and kept, and whole-number or
    // text parameters.
    long readPrepared(const QString &sql, const QVariantList &params)
    {
        sqlite3_stmt *&stmt = m_prepared[sql];
        if (!stmt)
            stmt = prepare(sql);
        for (qsizetype i = 0; i < params.size(); ++i) {
            if (params[i].typeId() == QMetaType::QString) {
                const QByteArray text = params[i].toString().toUtf8();
                sqlite3_bind_text(stmt, int(i + 1), text.constData(), int(text.size()),
                                  SQLITE_TRANSIENT);
            } else {
                sqlite3_bind_int64(stmt, int(i + 1), params[i].toLongLong());
            }
        }
        long rows = 0;
        while (sqlite3_step(stmt) == SQLITE_ROW) {
            ++rows;
            for (int c = 0; c < sqlite3_column_count(stmt); ++c)
                m_sink += sqlite3_column_bytes(stmt, c);
        }
        sqlite3_reset(stmt);
        return rows;
    }

    sqlite3_stmt *prepare(const QString &sql)
    {
        sqlite3_stmt *stmt = nullptr;
        if (sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &stmt, nullptr) != SQLITE_OK)
            throw std::runtime_error(std::string("prepare failed: ") + sqlite3_errmsg(m_db));
        return stmt;
    }

    long sink() const { return m_sink; }

private:
    sqlite3 *m_db = nullptr;
    QHash<QString, sqlite3_stmt *> m_prepared;
    long m_sink = 0;
};

} // namespace quorvale::bench
