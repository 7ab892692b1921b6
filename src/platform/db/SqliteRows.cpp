#include "SqliteRows.h"

#include <QByteArray>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <sqlite3.h>
#include <vector>

namespace quorvale::db {

namespace {

QSqlError sqliteError(sqlite3 *handle, const QString &what)
{
    return QSqlError(what, QString::fromUtf8(sqlite3_errmsg(handle)), QSqlError::StatementError,
                     QString::number(sqlite3_extended_errcode(handle)));
}

// Frees the statement on every way out.
struct Statement {
    sqlite3_stmt *stmt = nullptr;
    ~Statement() { sqlite3_finalize(stmt); }
};

int bind(sqlite3_stmt *stmt, int at, const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return sqlite3_bind_null(stmt, at);
    switch (value.typeId()) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
        return sqlite3_bind_int64(stmt, at, value.toLongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return sqlite3_bind_double(stmt, at, value.toDouble());
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        return sqlite3_bind_blob64(stmt, at, bytes.constData(), sqlite3_uint64(bytes.size()),
                                   SQLITE_TRANSIENT);
    }
    default: {
        const QString text = value.toString();
        return sqlite3_bind_text16(stmt, at, text.utf16(), int(text.size() * 2), SQLITE_TRANSIENT);
    }
    }
}

QVariant columnValue(sqlite3_stmt *stmt, int column)
{
    switch (sqlite3_column_type(stmt, column)) {
    case SQLITE_INTEGER:
        return QVariant(qlonglong(sqlite3_column_int64(stmt, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(stmt, column));
    case SQLITE_NULL:
        return QVariant();
    case SQLITE_BLOB:
        return QByteArray(static_cast<const char *>(sqlite3_column_blob(stmt, column)),
                          sqlite3_column_bytes(stmt, column));
    default:
        return QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(stmt, column)),
                                 sqlite3_column_bytes(stmt, column));
    }
}

} // namespace

sqlite3 *sqliteHandle(const QSqlDatabase &database)
{
    if (!database.driver())
        return nullptr;
    const QVariant handle = database.driver()->handle();
    if (!handle.isValid() || qstrcmp(handle.typeName(), "sqlite3*") != 0)
        return nullptr;
    return *static_cast<sqlite3 *const *>(handle.constData());
}

QSqlError readSqliteRows(sqlite3 *handle, const QString &sql, const QVariantList &params,
                         const RowSink &row)
{
    Statement s;
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(handle, text.constData(), int(text.size()), &s.stmt, nullptr) !=
        SQLITE_OK)
        return sqliteError(handle, QStringLiteral("Unable to execute statement"));
    for (qsizetype i = 0; i < params.size(); ++i)
        if (bind(s.stmt, int(i + 1), params[i]) != SQLITE_OK)
            return sqliteError(handle, QStringLiteral("Unable to bind parameters"));
    const int columns = sqlite3_column_count(s.stmt);
    std::vector<QVariant> values(std::size_t(std::max(columns, 0)));
    for (;;) {
        const int step = sqlite3_step(s.stmt);
        if (step == SQLITE_DONE)
            return {};
        if (step != SQLITE_ROW)
            return sqliteError(handle, QStringLiteral("Unable to fetch row"));
        for (int c = 0; c < columns; ++c)
            values[std::size_t(c)] = columnValue(s.stmt, c);
        row(values.data(), columns);
    }
}

} // namespace quorvale::db
