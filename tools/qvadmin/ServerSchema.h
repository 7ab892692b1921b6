#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

namespace quorvale::db {
class Connection;
}

namespace quorvale::admin {

// The program's tables on a database server.
class ServerSchema {
public:
    explicit ServerSchema(db::Connection &server);

    // True when the server already holds the program's options table.
    bool exists();
    // Drops every program table there is, then creates the schema afresh with its
    // default rows. Only inside a transaction on the server connection: the old
    // tables come back when it rolls back (PostgreSQL's DDL is transactional).
    void create();

private:
    db::Connection &m_server;
};

// The single rows of tblAdminOptions and tblUserSettings, as schema::insertDefaultRows
// writes them, but inside the connection's own transaction: that function commits
// through the driver, which would end a transaction the caller still holds open.
void insertDefaultRows(db::Connection &db);

} // namespace quorvale::admin
