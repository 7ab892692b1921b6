#include "LinkCatalog.h"

#include "data/Schema.h"
#include "platform/core/QvError.h"
#include "platform/db/Command.h"
#include "platform/db/Connection.h"

#include <QSqlRecord>

namespace quorvale {

namespace {

const QString kSource = QStringLiteral("LinkCatalog");

LinkedTable fromRecord(const QSqlRecord &r)
{
    return {r.value(0).toString(), r.value(1).toString(), r.value(2).toString(),
            r.value(3).toString(), r.value(4).toString()};
}

const QString kSelect = QStringLiteral("SELECT Name, Type, LinkDatasource, LinkProviderString, "
                                       "RemoteTableName FROM tblLinkCatalog");

} // namespace

bool LinkedTable::isLinked() const
{
    return type == QLatin1String(schema::LinkTypeLink) || isPassThrough();
}

bool LinkedTable::isPassThrough() const
{
    return type == QLatin1String(schema::LinkTypePassThrough);
}

LinkCatalog::LinkCatalog(db::Connection &linkFile) : m_file(linkFile) {}

bool LinkCatalog::isLinkDatabase(db::Connection &connection)
{
    return connection.engine() == db::Engine::SQLite &&
           connection
                   .scalar(QStringLiteral("SELECT count(*) FROM main.sqlite_master WHERE type = "
                                          "'table' AND name = 'tblLinkCatalog'"))
                   .toInt() == 1;
}

std::vector<LinkedTable> LinkCatalog::tables() const
{
    std::vector<LinkedTable> result;
    db::Command select(m_file, kSelect + QStringLiteral(" ORDER BY LinkID"));
    for (const QSqlRecord &r : select.all())
        result.push_back(fromRecord(r));
    return result;
}

std::optional<LinkedTable> LinkCatalog::table(const QString &name) const
{
    db::Command select(m_file, kSelect + QStringLiteral(" WHERE Name = ?"));
    if (auto r = select.first({name}))
        return fromRecord(*r);
    return std::nullopt;
}

void LinkCatalog::setColumn(const QString &name, const char *column, const QString &value)
{
    const int changed =
        m_file.execute(QStringLiteral("UPDATE tblLinkCatalog SET ") + QLatin1String(column) +
                           QStringLiteral(" = ? WHERE Name = ?"),
                       {value, name});
    if (changed == 0)
        throw QvError(ErrorNumber::ItemNotFound,
                      QStringLiteral("The link database has no table '%1'.").arg(name), kSource);
    ++m_revision;
}

void LinkCatalog::setLinkDatasource(const QString &name, const QString &value)
{
    setColumn(name, "LinkDatasource", value);
}

void LinkCatalog::setLinkProviderString(const QString &name, const QString &value)
{
    setColumn(name, "LinkProviderString", value);
}

void LinkCatalog::remove(const QString &name)
{
    m_file.execute(QStringLiteral("DELETE FROM tblLinkCatalog WHERE Name = ?"), {name});
    ++m_revision;
}

void LinkCatalog::append(const LinkedTable &table)
{
    m_file.execute(QStringLiteral("INSERT INTO tblLinkCatalog (Name, Type, LinkDatasource, "
                                  "LinkProviderString, RemoteTableName) VALUES (?, ?, ?, ?, ?)"),
                   {table.name, table.type, table.linkDatasource, table.linkProviderString,
                    table.remoteTableName});
    ++m_revision;
}

} // namespace quorvale
