#pragma once

#include "data/LinkCatalog.h"
#include "platform/db/Connection.h"

#include <QString>
#include <memory>
#include <optional>

namespace quorvale {

// `cnnLink`: the connection every shared query runs on. Opened on the link
// database, it reaches the tables its catalogue links: "LINK" tables by attaching
// their SQLite file, "PASS-THROUGH" tables through an ODBC connection to their
// server. Opened straight on the program database (connection type 2) it is that
// file and nothing more.
//
// Links are resolved when a query first needs them and again after the catalogue
// changed, so RefreshLinks can re-point them before anything reads a table.
class LinkDatabase {
public:
    LinkDatabase() = default;
    LinkDatabase(const LinkDatabase &) = delete;
    LinkDatabase &operator=(const LinkDatabase &) = delete;

    void open(const QString &connectionString);
    // The plain server password, added to a server link's connect string when
    // the connection opens: the catalogue keeps none. Kept across open().
    void setServerPassword(const QString &password) { m_serverPassword = password; }
    void close();
    bool isOpen() const { return m_file.isOpen(); }

    // True when the file opened is a link database.
    bool hasCatalog() const { return m_catalog.has_value(); }
    LinkCatalog &catalog();

    // The connection shared queries run on, with its links resolved.
    db::Connection &connection();
    // The file opened, without resolving links.
    db::Connection &file() { return m_file; }

private:
    void resolve();
    void resolveFileLinks(const std::vector<LinkedTable> &tables);
    void resolveServerLink(const LinkedTable &reference);
    void detachAll();

    db::Connection m_file;
    std::optional<LinkCatalog> m_catalog;
    std::unique_ptr<db::Connection> m_server;
    QString m_serverConnectString;
    QString m_serverPassword;
    QStringList m_aliases;
    int m_resolvedRevision = -1;
};

} // namespace quorvale
