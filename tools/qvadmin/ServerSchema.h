#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace quorvale::db {
class Connection;
}

namespace quorvale::admin {

// The program's tables on a database server. Tables created through create() are
// dropped again when this object goes away without keep(), so an init that fails
// half way leaves the server as it found it (apart from tables --force replaced).
class ServerSchema {
public:
    explicit ServerSchema(db::Connection &server);
    ~ServerSchema();
    ServerSchema(const ServerSchema &) = delete;
    ServerSchema &operator=(const ServerSchema &) = delete;

    // True when the server already holds the program's options table.
    bool exists();
    // Drops every program table there is, then creates the schema afresh.
    void create();
    void keep() { m_created = false; }
    // Drops every program table there is.
    void drop();

private:
    db::Connection &m_server;
    bool m_created = false;
};

// Fills the link catalogue with one "PASS-THROUGH" entry per table, reaching the
// server through providerString (the short connect string; the program adds the
// login when it refreshes the links).
void writePassThroughCatalog(QSqlDatabase &linkDb, const QString &providerString,
                             const QStringList &tableNames);

} // namespace quorvale::admin
