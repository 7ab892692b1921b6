#pragma once

#include <QString>
#include <optional>
#include <vector>

namespace quorvale {

namespace db {
class Connection;
}

// One table of the link database: a name that queries use, and where its rows
// really live. "LINK" tables live in another SQLite file (LinkDatasource);
// "PASS-THROUGH" tables live on a database server reached with LinkProviderString.
struct LinkedTable {
    QString name;
    QString type;
    QString linkDatasource;
    QString linkProviderString;
    QString remoteTableName;

    bool isLinked() const;
    bool isPassThrough() const;
};

// The catalogue of the link database (the table list of QVLink.db). Changes are
// written at once; a LinkDatabase re-resolves its links when the catalogue's
// revision changes.
class LinkCatalog {
public:
    explicit LinkCatalog(db::Connection &linkFile);

    // True when the connection's file holds a link catalogue at all.
    static bool isLinkDatabase(db::Connection &connection);

    std::vector<LinkedTable> tables() const;
    std::optional<LinkedTable> table(const QString &name) const;

    void setLinkDatasource(const QString &name, const QString &value);
    void setLinkProviderString(const QString &name, const QString &value);
    void remove(const QString &name);
    void append(const LinkedTable &table);

    // Counts every change made through this object; lets a reader notice that the
    // links it resolved may be out of date.
    int revision() const { return m_revision; }

private:
    void setColumn(const QString &name, const char *column, const QString &value);

    db::Connection &m_file;
    int m_revision = 0;
};

} // namespace quorvale
