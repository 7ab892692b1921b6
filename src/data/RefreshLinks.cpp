#include "RefreshLinks.h"

#include "data/DatabaseSettings.h"
#include "data/LinkDatabase.h"
#include "data/Schema.h"
#include "platform/core/QvError.h"
#include "platform/db/Transaction.h"
#include "support/Trace.h"

namespace quorvale {

namespace {

const QString kReferenceTable = QStringLiteral("tblAdminOptions");

} // namespace

bool RefreshLinks(bool &force, LinkDatabase &link, const DatabaseSettings &settings)
{
    TraceScope trace(u"modVerifyLinks: RefreshLinks");
    LinkCatalog &catalog = link.catalog();
    const std::optional<LinkedTable> reference = catalog.table(kReferenceTable);
    if (!reference)
        throw QvError(ErrorNumber::ItemNotFound,
                      QStringLiteral("The link database '%1' has no table %2.")
                          .arg(link.file().filePath(), kReferenceTable),
                      QStringLiteral("modVerifyLinks: RefreshLinks"));

    const bool server = !settings.isJet();
    const QString dataFile = joinPath(settings.dataDirectory(), QLatin1String(DatabaseFile::Data));
    // The links name the server and the user; the password is added when the
    // connection opens (LinkDatabase), so the link file never holds it.
    const QString connect =
        server ? ConnectionStrings::withoutPassword(ConnectionStrings::odbcLink(settings, {}))
               : QString();

    // Link files written by earlier versions hold the password in clear; its old
    // bytes are overwritten, not left in the file's free space.
    std::vector<LinkedTable> holdingPassword;
    for (const LinkedTable &table : catalog.tables())
        if (table.isPassThrough() && ConnectionStrings::holdsPassword(table.linkProviderString))
            holdingPassword.push_back(table);
    if (!holdingPassword.empty())
        link.file().execute(QStringLiteral("PRAGMA secure_delete = ON"));

    // One transaction for the whole refresh: a catalogue left half-updated would
    // look current on the next start and keep the other links as they were.
    db::Transaction transaction(link.file());
    for (const LinkedTable &table : holdingPassword)
        catalog.setLinkProviderString(table.name,
                                      ConnectionStrings::withoutPassword(table.linkProviderString));
    bool stale = force;
    if (server) {
        // A link still holding the short form has never been given its user. One
        // naming another server, database or user than the settings is stale too.
        if (reference->linkProviderString != connect) {
            catalog.setLinkProviderString(kReferenceTable, connect);
            stale = true;
        }
    } else if (reference->linkDatasource != dataFile) {
        stale = true;
    }
    if (!stale) {
        transaction.commit();
        return false;
    }

    bool rebuilt = false;
    for (const LinkedTable &table : catalog.tables()) {
        if (!table.isLinked())
            continue;
        if (server) {
            catalog.setLinkProviderString(table.name, connect);
            continue;
        }
        if (table.linkDatasource == dataFile)
            continue;
        if (table.isPassThrough()) {
            rebuilt = true;
            catalog.remove(table.name);
            catalog.append({table.name, QString::fromLatin1(schema::LinkTypeLink), dataFile,
                            QString::fromLatin1(JetLinkProviderString), table.name});
        } else {
            catalog.setLinkDatasource(table.name, dataFile);
            catalog.setLinkProviderString(table.name, QString::fromLatin1(JetLinkProviderString));
        }
    }
    transaction.commit();
    return rebuilt;
}

} // namespace quorvale
