#include "LinkDatabase.h"

#include "data/DatabaseSettings.h"
#include "platform/core/QvError.h"

#include <QSet>

namespace quorvale {

namespace {

const QString kSource = QStringLiteral("LinkDatabase");
// The table whose link tells where all links point.
const QString kReferenceTable = QStringLiteral("tblAdminOptions");

} // namespace

void LinkDatabase::open(const QString &connectionString)
{
    close();
    m_file.open(connectionString);
    if (LinkCatalog::isLinkDatabase(m_file))
        m_catalog.emplace(m_file);
}

void LinkDatabase::close()
{
    m_server.reset();
    m_serverConnectString.clear();
    m_catalog.reset();
    m_resolvedRevision = -1;
    m_aliases.clear();
    m_file.close();
}

LinkCatalog &LinkDatabase::catalog()
{
    if (!m_catalog)
        throw QvError(ErrorNumber::Generic,
                      QStringLiteral("'%1' is not a link database.").arg(m_file.filePath()),
                      kSource);
    return *m_catalog;
}

db::Connection &LinkDatabase::connection()
{
    if (!m_catalog)
        return m_file;
    if (m_resolvedRevision != m_catalog->revision())
        resolve();
    return m_server ? *m_server : m_file;
}

void LinkDatabase::resolve()
{
    const std::vector<LinkedTable> tables = m_catalog->tables();
    const LinkedTable *reference = nullptr;
    for (const LinkedTable &t : tables)
        if (t.name.compare(kReferenceTable, Qt::CaseInsensitive) == 0)
            reference = &t;
    if (!reference || !reference->isLinked())
        throw QvError(ErrorNumber::Generic,
                      QStringLiteral("The link database '%1' has no link for %2.")
                          .arg(m_file.filePath(), kReferenceTable),
                      kSource);
    if (reference->isPassThrough())
        resolveServerLink(*reference);
    else
        resolveFileLinks(tables);
    m_resolvedRevision = m_catalog->revision();
}

void LinkDatabase::resolveFileLinks(const std::vector<LinkedTable> &tables)
{
    m_server.reset();
    m_serverConnectString.clear();
    detachAll();
    // One attachment per data file; the first attached wins for a name that two
    // files both hold, as the catalogue order says.
    QStringList files;
    for (const LinkedTable &t : tables)
        if (t.type == QLatin1String("LINK") && !files.contains(t.linkDatasource))
            files << t.linkDatasource;
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QString alias = QStringLiteral("link%1").arg(i);
        m_file.attach(files.at(i), alias);
        m_aliases << alias;
    }
}

void LinkDatabase::detachAll()
{
    for (const QString &alias : std::as_const(m_aliases))
        m_file.detach(alias);
    m_aliases.clear();
}

void LinkDatabase::resolveServerLink(const LinkedTable &reference)
{
    QString connect = reference.linkProviderString;
    if (connect.startsWith(QLatin1String("ODBC;"), Qt::CaseInsensitive))
        connect.remove(0, 5);
    connect = ConnectionStrings::withPassword(connect, m_serverPassword);
    if (m_server && m_server->isOpen() && connect == m_serverConnectString)
        return;
    detachAll();
    auto server = std::make_unique<db::Connection>();
    server->open(connect);
    m_server = std::move(server);
    m_serverConnectString = connect;
}

} // namespace quorvale
