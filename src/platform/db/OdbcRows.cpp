#include "OdbcRows.h"

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QSqlDriver>
#include <QTime>
#include <sql.h>
#include <sqlext.h>
#include <vector>

namespace quorvale::db {

namespace {

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "ODBC's wide characters are UTF-16 here");

// Frees the statement on every way out.
struct Statement {
    SQLHSTMT handle = SQL_NULL_HSTMT;
    ~Statement()
    {
        if (handle != SQL_NULL_HSTMT)
            SQLFreeHandle(SQL_HANDLE_STMT, handle);
    }
};

QSqlError odbcError(SQLSMALLINT handleType, SQLHANDLE handle, const QString &what)
{
    SQLWCHAR state[6] = {};
    SQLWCHAR message[1024] = {};
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    SQLGetDiagRecW(handleType, handle, 1, state, &native, message,
                   SQLSMALLINT(sizeof message / sizeof *message), &length);
    const QString sqlState = QString::fromUtf16(reinterpret_cast<const char16_t *>(state), 5);
    const QString text = QString::fromUtf16(reinterpret_cast<const char16_t *>(message),
                                            std::min<qsizetype>(length, 1023));
    // SQLSTATE class 08: the connection went.
    const QSqlError::ErrorType type = sqlState.startsWith(QLatin1String("08"))
                                          ? QSqlError::ConnectionError
                                          : QSqlError::StatementError;
    return QSqlError(what, QStringLiteral("%1 [%2]").arg(text.trimmed(), sqlState), type,
                     QString::number(native));
}

// One bound parameter's value and indicator, kept until the statement has run.
struct Bound {
    SQLBIGINT number = 0;
    double real = 0;
    std::u16string text;
    QByteArray bytes;
    SQL_DATE_STRUCT date{};
    SQL_TIME_STRUCT time{};
    SQL_TIMESTAMP_STRUCT stamp{};
    SQLLEN indicator = 0;
};

// Binds as Qt's driver would bind the same value; false for a type it does not.
bool bind(SQLHSTMT stmt, SQLUSMALLINT at, const QVariant &value, Bound &b)
{
    const bool null = !value.isValid() || value.isNull();
    b.indicator = null ? SQL_NULL_DATA : 0;
    switch (value.typeId()) {
    case QMetaType::UnknownType:
    case QMetaType::QString:
        b.text = null ? std::u16string() : value.toString().toStdU16String();
        if (!null)
            b.indicator = SQLLEN(b.text.size() * sizeof(char16_t));
        return SQL_SUCCEEDED(SQLBindParameter(stmt, at, SQL_PARAM_INPUT, SQL_C_WCHAR, SQL_WVARCHAR,
                                              std::max<SQLULEN>(b.text.size(), 1), 0, b.text.data(),
                                              b.indicator, &b.indicator));
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::UShort:
        b.number = null ? 0 : value.toLongLong();
        return SQL_SUCCEEDED(SQLBindParameter(stmt, at, SQL_PARAM_INPUT, SQL_C_SBIGINT, SQL_INTEGER,
                                              0, 0, &b.number, 0, &b.indicator));
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
        b.number = null ? 0 : value.toLongLong();
        return SQL_SUCCEEDED(SQLBindParameter(stmt, at, SQL_PARAM_INPUT, SQL_C_SBIGINT, SQL_BIGINT,
                                              0, 0, &b.number, 0, &b.indicator));
    case QMetaType::Double:
    case QMetaType::Float:
        b.real = null ? 0 : value.toDouble();
        return SQL_SUCCEEDED(SQLBindParameter(stmt, at, SQL_PARAM_INPUT, SQL_C_DOUBLE, SQL_DOUBLE,
                                              0, 0, &b.real, 0, &b.indicator));
    case QMetaType::QDate: {
        const QDate d = value.toDate();
        b.date = {SQLSMALLINT(d.year()), SQLUSMALLINT(d.month()), SQLUSMALLINT(d.day())};
        return SQL_SUCCEEDED(SQLBindParameter(stmt, at, SQL_PARAM_INPUT, SQL_C_TYPE_DATE,
                                              SQL_TYPE_DATE, 0, 0, &b.date, 0, &b.indicator));
    }
    case QMetaType::QTime: {
        const QTime t = value.toTime();
        b.time = {SQLUSMALLINT(t.hour()), SQLUSMALLINT(t.minute()), SQLUSMALLINT(t.second())};
        return SQL_SUCCEEDED(SQLBindParameter(stmt, at, SQL_PARAM_INPUT, SQL_C_TYPE_TIME,
                                              SQL_TYPE_TIME, 0, 0, &b.time, 0, &b.indicator));
    }
    case QMetaType::QDateTime: {
        const QDateTime dt = value.toDateTime();
        const QDate d = dt.date();
        const QTime t = dt.time();
        b.stamp = {SQLSMALLINT(d.year()),
                   SQLUSMALLINT(d.month()),
                   SQLUSMALLINT(d.day()),
                   SQLUSMALLINT(t.hour()),
                   SQLUSMALLINT(t.minute()),
                   SQLUSMALLINT(t.second()),
                   SQLUINTEGER(t.msec()) * 1'000'000};
        // Milliseconds: 19 characters of date and time, a point and three digits.
        return SQL_SUCCEEDED(SQLBindParameter(stmt, at, SQL_PARAM_INPUT, SQL_C_TYPE_TIMESTAMP,
                                              SQL_TYPE_TIMESTAMP, 23, 3, &b.stamp, 0,
                                              &b.indicator));
    }
    case QMetaType::QByteArray:
        b.bytes = value.toByteArray();
        if (!null)
            b.indicator = SQLLEN(b.bytes.size());
        return SQL_SUCCEEDED(SQLBindParameter(stmt, at, SQL_PARAM_INPUT, SQL_C_BINARY,
                                              SQL_LONGVARBINARY,
                                              std::max<SQLULEN>(SQLULEN(b.bytes.size()), 1), 0,
                                              b.bytes.data(), b.indicator, &b.indicator));
    default:
        return false;
    }
}

// Reads a value that may come in pieces (text, binary) into `out`; false on an
// error. Leaves `null` set for a null.
template <class Unit>
bool readPieces(SQLHSTMT stmt, SQLUSMALLINT column, SQLSMALLINT cType, std::vector<Unit> &out,
                bool &null)
{
    out.clear();
    null = false;
    // Most values fit the first piece; a longer one comes in more.
    Unit piece[512];
    const SQLLEN room = SQLLEN(sizeof piece) - (cType == SQL_C_WCHAR ? SQLLEN(sizeof(Unit)) : 0);
    for (;;) {
        SQLLEN indicator = 0;
        const SQLRETURN r = SQLGetData(stmt, column, cType, piece, sizeof piece, &indicator);
        if (r == SQL_NO_DATA)
            return true;
        if (!SQL_SUCCEEDED(r))
            return false;
        if (indicator == SQL_NULL_DATA) {
            null = true;
            return true;
        }
        const SQLLEN bytes = indicator == SQL_NO_TOTAL || indicator > room ? room : indicator;
        out.insert(out.end(), piece, piece + bytes / SQLLEN(sizeof(Unit)));
        if (r == SQL_SUCCESS)
            return true;
    }
}

// One column's value as Qt's driver would make it of the column's SQL type.
bool readValue(SQLHSTMT stmt, SQLUSMALLINT column, SQLSMALLINT sqlType, QVariant &value,
               std::vector<char16_t> &text, std::vector<char> &bytes)
{
    SQLLEN indicator = 0;
    const auto fixed = [&](SQLSMALLINT cType, void *target) {
        return SQL_SUCCEEDED(SQLGetData(stmt, column, cType, target, 0, &indicator));
    };
    switch (sqlType) {
    case SQL_BIT:
    case SQL_TINYINT:
    case SQL_SMALLINT:
    case SQL_INTEGER: {
        SQLINTEGER n = 0;
        if (!fixed(SQL_C_SLONG, &n))
            return false;
        value = indicator == SQL_NULL_DATA ? QVariant() : QVariant(int(n));
        return true;
    }
    case SQL_BIGINT: {
        SQLBIGINT n = 0;
        if (!fixed(SQL_C_SBIGINT, &n))
            return false;
        value = indicator == SQL_NULL_DATA ? QVariant() : QVariant(qlonglong(n));
        return true;
    }
    case SQL_REAL:
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_DECIMAL:
    case SQL_NUMERIC: {
        double d = 0;
        if (!fixed(SQL_C_DOUBLE, &d))
            return false;
        value = indicator == SQL_NULL_DATA ? QVariant() : QVariant(d);
        return true;
    }
    case SQL_TYPE_DATE:
    case SQL_DATE: {
        SQL_DATE_STRUCT d{};
        if (!fixed(SQL_C_TYPE_DATE, &d))
            return false;
        value = indicator == SQL_NULL_DATA ? QVariant() : QVariant(QDate(d.year, d.month, d.day));
        return true;
    }
    case SQL_TYPE_TIME:
    case SQL_TIME: {
        SQL_TIME_STRUCT t{};
        if (!fixed(SQL_C_TYPE_TIME, &t))
            return false;
        value =
            indicator == SQL_NULL_DATA ? QVariant() : QVariant(QTime(t.hour, t.minute, t.second));
        return true;
    }
    case SQL_TYPE_TIMESTAMP:
    case SQL_TIMESTAMP: {
        SQL_TIMESTAMP_STRUCT s{};
        if (!fixed(SQL_C_TYPE_TIMESTAMP, &s))
            return false;
        value = indicator == SQL_NULL_DATA
                    ? QVariant()
                    : QVariant(QDateTime(
                          QDate(s.year, s.month, s.day),
                          QTime(s.hour, s.minute, s.second, int(s.fraction / 1'000'000))));
        return true;
    }
    case SQL_BINARY:
    case SQL_VARBINARY:
    case SQL_LONGVARBINARY: {
        bool null = false;
        if (!readPieces(stmt, column, SQL_C_BINARY, bytes, null))
            return false;
        value = null ? QVariant() : QVariant(QByteArray(bytes.data(), qsizetype(bytes.size())));
        return true;
    }
    default: {
        bool null = false;
        if (!readPieces(stmt, column, SQL_C_WCHAR, text, null))
            return false;
        value =
            null ? QVariant() : QVariant(QString::fromUtf16(text.data(), qsizetype(text.size())));
        return true;
    }
    }
}

} // namespace

void *odbcHandle(const QSqlDatabase &database)
{
    if (!database.driver() || database.driverName() != QLatin1String("QODBC"))
        return nullptr;
    const QVariant handle = database.driver()->handle();
    if (!handle.isValid() || handle.metaType() != QMetaType::fromType<void *>())
        return nullptr;
    return *static_cast<void *const *>(handle.constData());
}

std::optional<QSqlError> readOdbcRows(void *connectionHandle, const QString &sql,
                                      const QVariantList &params, const RowSink &row)
{
    const auto dbc = static_cast<SQLHDBC>(connectionHandle);
    Statement s;
    if (!SQL_SUCCEEDED(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &s.handle)))
        return odbcError(SQL_HANDLE_DBC, dbc, QStringLiteral("Unable to allocate statement"));
    std::vector<Bound> bound(std::size_t(params.size()));
    for (qsizetype i = 0; i < params.size(); ++i)
        if (!bind(s.handle, SQLUSMALLINT(i + 1), params[i], bound[std::size_t(i)]))
            return std::nullopt;
    std::u16string text = sql.toStdU16String();
    const SQLRETURN ran = SQLExecDirectW(s.handle, reinterpret_cast<SQLWCHAR *>(text.data()),
                                         SQLINTEGER(text.size()));
    if (!SQL_SUCCEEDED(ran) && ran != SQL_NO_DATA)
        return odbcError(SQL_HANDLE_STMT, s.handle, QStringLiteral("Unable to execute statement"));
    SQLSMALLINT columns = 0;
    SQLNumResultCols(s.handle, &columns);
    std::vector<SQLSMALLINT> types(std::size_t(std::max<SQLSMALLINT>(columns, 0)));
    for (SQLUSMALLINT c = 1; c <= SQLUSMALLINT(columns); ++c) {
        SQLWCHAR name[1];
        SQLSMALLINT nameLength = 0, nullable = 0, digits = 0;
        SQLULEN size = 0;
        if (!SQL_SUCCEEDED(SQLDescribeColW(s.handle, c, name, 1, &nameLength, &types[c - 1u], &size,
                                           &digits, &nullable)))
            return odbcError(SQL_HANDLE_STMT, s.handle, QStringLiteral("Unable to describe row"));
    }
    std::vector<QVariant> values(types.size());
    std::vector<char16_t> textBuffer;
    std::vector<char> byteBuffer;
    for (;;) {
        const SQLRETURN fetched = SQLFetch(s.handle);
        if (fetched == SQL_NO_DATA)
            return QSqlError();
        if (!SQL_SUCCEEDED(fetched))
            return odbcError(SQL_HANDLE_STMT, s.handle, QStringLiteral("Unable to fetch row"));
        for (std::size_t c = 0; c < types.size(); ++c)
            if (!readValue(s.handle, SQLUSMALLINT(c + 1), types[c], values[c], textBuffer,
                           byteBuffer))
                return odbcError(SQL_HANDLE_STMT, s.handle, QStringLiteral("Unable to fetch row"));
        row(values.data(), int(values.size()));
    }
}

} // namespace quorvale::db
