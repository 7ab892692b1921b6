#pragma once

#include "Connection.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <QString>
#include <QVariantList>
#include <optional>
#include <vector>

namespace quorvale::db {

// A statement with "?" parameters, prepared once and run many times (the ADO Command
// of the key lookups prepared at start-up). Usable until its connection closes; after
// that every call throws.
class Command : public StatementHolder {
public:
    Command(Connection &connection, const QString &sql);
    ~Command();
    Command(const Command &) = delete;
    Command &operator=(const Command &) = delete;

    // Rows affected (-1 when the driver cannot tell).
    int execute(const QVariantList &params = {});
    // The first row, or nullopt when there is none.
    std::optional<QSqlRecord> first(const QVariantList &params = {});
    std::vector<QSqlRecord> all(const QVariantList &params = {});

    const QString &sql() const { return m_sql; }

    void connectionClosing() override;
    void connectionReset() override { m_query.reset(); }

private:
    QSqlQuery &ready();

    Connection *m_connection;
    QString m_sql;
    std::optional<QSqlQuery> m_query;
};

} // namespace quorvale::db
