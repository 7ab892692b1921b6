#pragma once

#include <QHash>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <sql.h>
#include <sqlext.h>
#include <stdexcept>
#include <string>
#include <vector>

namespace quorvale::bench {

// The baseline on a database server: the same statements through the ODBC C API
// as a C programmer would write them (prepared once, parameters bound, each row
// fetched and each column read with SQLGetData), with no layer of ours between.
class OdbcBaseline {
public:
    explicit OdbcBaseline(const QString &connect)
    {
        SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &m_env);
        SQLSetEnvAttr(m_env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
        SQLAllocHandle(SQL_HANDLE_DBC, m_env, &m_dbc);
        std::u16string text = connect.toStdU16String();
        if (!SQL_SUCCEEDED(SQLDriverConnectW(m_dbc, nullptr,
                                             reinterpret_cast<SQLWCHAR *>(text.data()), SQL_NTS,
                                             nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT)))
            throw std::runtime_error("cannot connect: " + diagnostic(SQL_HANDLE_DBC, m_dbc));
        m_connected = true;
    }
    ~OdbcBaseline()
    {
        for (SQLHSTMT stmt : std::as_const(m_statements))
            SQLFreeHandle(SQL_HANDLE_STMT, stmt);
        if (m_connected)
            SQLDisconnect(m_dbc);
        SQLFreeHandle(SQL_HANDLE_DBC, m_dbc);
        SQLFreeHandle(SQL_HANDLE_ENV, m_env);
    }
    OdbcBaseline(const OdbcBaseline &) = delete;
    OdbcBaseline &operator=(const OdbcBaseline &) = delete;

    // Runs sql with whole-number or text parameters and reads every column of
    // every row; returns the row count.
    long readAll(const QString &sql, const QVariantList &params = {})
    {
        SQLHSTMT stmt = statement(sql);
        std::vector<SQLBIGINT> numbers(std::size_t(params.size()));
        std::vector<std::u16string> texts(std::size_t(params.size()));
        std::vector<SQLLEN> lengths(std::size_t(params.size()));
        for (qsizetype i = 0; i < params.size(); ++i) {
            const auto at = std::size_t(i);
            const auto number = SQLUSMALLINT(i + 1);
            if (params[i].typeId() == QMetaType::QString) {
                texts[at] = params[i].toString().toStdU16String();
                lengths[at] = SQLLEN(texts[at].size() * sizeof(char16_t));
                SQLBindParameter(stmt, number, SQL_PARAM_INPUT, SQL_C_WCHAR, SQL_WVARCHAR,
                                 texts[at].size() + 1, 0, texts[at].data(), lengths[at],
                                 &lengths[at]);
            } else {
                numbers[at] = params[i].toLongLong();
                SQLBindParameter(stmt, number, SQL_PARAM_INPUT, SQL_C_SBIGINT, SQL_BIGINT, 0, 0,
                                 &numbers[at], 0, nullptr);
            }
        }
        if (!SQL_SUCCEEDED(SQLExecute(stmt)))
            throw std::runtime_error("execute failed: " + diagnostic(SQL_HANDLE_STMT, stmt));
        SQLSMALLINT columns = 0;
        SQLNumResultCols(stmt, &columns);
        long rows = 0;
        SQLWCHAR text[512];
        SQLLEN indicator = 0;
        while (SQL_SUCCEEDED(SQLFetch(stmt))) {
            ++rows;
            for (SQLUSMALLINT c = 1; c <= SQLUSMALLINT(columns); ++c) {
                while (SQLGetData(stmt, c, SQL_C_WCHAR, text, sizeof text, &indicator) ==
                       SQL_SUCCESS_WITH_INFO)
                    m_sink += long(sizeof text);
                m_sink += indicator > 0 ? long(indicator) : 0;
            }
        }
        SQLCloseCursor(stmt);
        SQLFreeStmt(stmt, SQL_RESET_PARAMS);
        return rows;
    }

    long sink() const { return m_sink; }

private:
    SQLHSTMT statement(const QString &sql)
    {
        if (SQLHSTMT found = m_statements.value(sql))
            return found;
        SQLHSTMT stmt = nullptr;
        SQLAllocHandle(SQL_HANDLE_STMT, m_dbc, &stmt);
        std::u16string text = sql.toStdU16String();
        if (!SQL_SUCCEEDED(SQLPrepareW(stmt, reinterpret_cast<SQLWCHAR *>(text.data()), SQL_NTS))) {
            const std::string why = diagnostic(SQL_HANDLE_STMT, stmt);
            SQLFreeHandle(SQL_HANDLE_STMT, stmt);
            throw std::runtime_error("prepare failed: " + why);
        }
        m_statements.insert(sql, stmt);
        return stmt;
    }

    static std::string diagnostic(SQLSMALLINT type, SQLHANDLE handle)
    {
        SQLCHAR state[6] = {};
        SQLCHAR message[512] = {};
        SQLINTEGER native = 0;
        SQLSMALLINT length = 0;
        SQLGetDiagRecA(type, handle, 1, state, &native, message, sizeof message, &length);
        return reinterpret_cast<const char *>(message);
    }

    SQLHENV m_env = nullptr;
    SQLHDBC m_dbc = nullptr;
    bool m_connected = false;
    QHash<QString, SQLHSTMT> m_statements;
    long m_sink = 0;
};

} // namespace quorvale::bench
