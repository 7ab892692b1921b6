#include "outlook/LinkRelocation.h"

#include "outlook/OutlookSession.h"
#include "platform/db/Connection.h"
#include "platform/db/Transaction.h"
#include "platform/pim/Item.h"
#include "platform/pim/Namespace.h"

namespace quorvale {

namespace {

// Where each kind's EntryIDs are stored: table and column. The columns are
// fixed here, never taken from outside.
struct EntryIdColumn {
    const char *table;
    const char *column;
    bool linkTable; // a TimeCard's link row: one per TimeCard and item
};

std::vector<EntryIdColumn> columnsFor(pim::ItemType type)
{
    switch (type) {
    case pim::ItemType::Journal:
        return {{"tblTimeCards", "JournalEntryID", false},
                {"tblAppointments", "JournalEntryID", false}};
    case pim::ItemType::Appointment:
        return {{"tblTimedAppointments", "EntryID", true},
                {"tblScheduledAppointments", "EntryID", true},
                {"tblAppointments", "EntryID", false}};
    case pim::ItemType::Task:
        return {{"tblTasks", "EntryID", true}};
    case pim::ItemType::Note:
        return {{"tblNotes", "EntryID", true}};
    case pim::ItemType::Mail:
        return {{"tblMessages", "EntryID", true}};
    case pim::ItemType::Contact:
        break;
    }
    return {};
}

bool homeFolderExists(const pim::Namespace &ns, const QString &entryId, const QString &storeId)
{
    const auto parts = pim::splitEntryId(entryId);
    return parts && ns.findFolder(parts->first, storeId).has_value();
}

} // namespace

pim::ItemType linkItemType(LinkListKind kind)
{
    switch (kind) {
    case LinkListKind::PersonalTasks:
    case LinkListKind::AssignedTasks:
        return pim::ItemType::Task;
    case LinkListKind::TimeDetail:
    case LinkListKind::ScheduledAppointments:
        return pim::ItemType::Appointment;
    case LinkListKind::Notes:
        return pim::ItemType::Note;
    case LinkListKind::Messages:
        return pim::ItemType::Mail;
    default:
        break;
    }
    return pim::ItemType::Journal;
}

pim::RelocationKeys linkRelocationKeys(std::optional<qint64> timeCardId)
{
    pim::RelocationKeys keys;
    keys.selfProperty = QStringLiteral("QuorvaleID");
    if (timeCardId && *timeCardId > 0) {
        keys.ownerProperty = QStringLiteral("TimeCardID");
        keys.ownerValue = *timeCardId;
    }
    return keys;
}

void storeEntryIdMoves(db::Connection &cnnLink, const std::vector<EntryIdMove> &moves)
{
    if (moves.empty())
        return;
    db::Transaction transaction(cnnLink);
    for (const EntryIdMove &move : moves) {
        if (move.from.isEmpty() || move.to.isEmpty() || move.from == move.to)
            continue;
        for (const EntryIdColumn &c : columnsFor(move.type)) {
            const QString table = QLatin1String(c.table);
            const QString column = QLatin1String(c.column);
            // A TimeCard that links the item under its new EntryID already
            // (linked again by hand meanwhile) keeps that one row.
            if (c.linkTable)
                cnnLink.execute(QStringLiteral("DELETE FROM %1 WHERE %2 = ? AND TimeCardID IN "
                                               "(SELECT TimeCardID FROM %1 WHERE %2 = ?)")
                                    .arg(table, column),
                                {move.from, move.to});
            cnnLink.execute(QStringLiteral("UPDATE %1 SET %2 = ? WHERE %2 = ?").arg(table, column),
                            {move.to, move.from});
        }
    }
    transaction.commit();
}

bool entryIdFileExists(const pim::Namespace &ns, const QString &entryId, const QString &storeId)
{
    const auto parts = pim::splitEntryId(entryId);
    if (!parts)
        return false;
    const std::optional<pim::Folder> folder = ns.findFolder(parts->first, storeId);
    return folder && !pim::locateItemFile(*folder, parts->second).isEmpty();
}

LinkedItemLookup findLinkedItem(OutlookSession &session, db::Connection &cnnLink,
                                const QString &entryId, const QString &storeId, pim::ItemType type,
                                std::optional<qint64> timeCardId)
{
    LinkedItemLookup lookup;
    const pim::Namespace &ns = session.nameSpace();
    if (entryIdFileExists(ns, entryId, storeId)) {
        lookup.item = ns.itemFromId(entryId, storeId);
        lookup.state = lookup.item ? LinkedItemState::Read : LinkedItemState::Unreadable;
        return lookup;
    }
    const pim::RelocationScope scope = pim::relocationScope(ns, entryId, storeId, type);
    const std::optional<std::vector<pim::RelocationResult>> results =
        pim::relocate(session.folderCache(), scope, {{entryId, linkRelocationKeys(timeCardId)}});
    const pim::RelocationResult *result = results ? &results->front() : nullptr;
    if (!result || result->outcome == pim::RelocationOutcome::Missing) {
        lookup.state = homeFolderExists(ns, entryId, storeId) ? LinkedItemState::Gone
                                                              : LinkedItemState::Unplaced;
        return lookup;
    }
    if (result->outcome == pim::RelocationOutcome::Ambiguous) {
        lookup.state = LinkedItemState::Ambiguous;
        return lookup;
    }
    const QString moved = result->item->entryId;
    lookup.item = ns.itemFromId(moved, result->item->storeId);
    if (!lookup.item) {
        // Changed or gone again since it was read: next time tells.
        lookup.state = LinkedItemState::Unreadable;
        return lookup;
    }
    storeEntryIdMoves(cnnLink, {{entryId, moved, lookup.item->type()}});
    lookup.state = LinkedItemState::Moved;
    return lookup;
}

} // namespace quorvale
