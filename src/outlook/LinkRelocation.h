#pragma once

#include "outlook/LinkListKind.h"
#include "platform/pim/ItemRelocation.h"

#include <QString>
#include <memory>
#include <optional>
#include <vector>

namespace quorvale {

class OutlookSession;
namespace db {
class Connection;
}
namespace pim {
class Item;
}

// The user properties by which a linked item names itself and the TimeCard
// it was linked for, as WriteUserProperties writes them: they settle which
// file is the item when a sync tool has renamed it and several files share
// its UID.
pim::RelocationKeys linkRelocationKeys(std::optional<qint64> timeCardId);

// The kind of store item a link kind's rows name.
pim::ItemType linkItemType(LinkListKind kind);

// An item found under a new EntryID.
struct EntryIdMove {
    QString from;
    QString to;
    pim::ItemType type = pim::ItemType::Journal;
};

// Points every stored reference to each moved item at its new EntryID, all in
// one transaction: the link table of its kind (where a TimeCard links the
// item under both EntryIDs, one row stays), and for journal entries the
// TimeCards' own column and the time-detail rows that name them. The next
// read then finds the file directly.
void storeEntryIdMoves(db::Connection &cnnLink, const std::vector<EntryIdMove> &moves);

enum class LinkedItemState {
    Read,       // found where the EntryID says
    Moved,      // found again under a new EntryID, which is stored now
    Unreadable, // the file is there but holds no readable item
    Ambiguous,  // the file has gone and several files claim the item
    Gone,       // the file has gone and nothing claims the item
    Unplaced,   // the EntryID's folder has gone too and nothing claims the item
};

struct LinkedItemLookup {
    LinkedItemState state = LinkedItemState::Gone;
    std::unique_ptr<pim::Item> item; // Read and Moved only
};

// Reads the item of a stored EntryID. When its file has gone, the item is
// looked for again (pim::relocate) in its folder, then in the other folders
// of its kind in the store `storeId` names; found, its new EntryID is stored
// (storeEntryIdMoves) before it is returned. Only Gone lets a caller treat
// the item as deleted: an ambiguous item, an unreadable file or a folder that
// is not there today must not cost a TimeCard its link. Throws what the store
// and the database throw; call it inside runWithStore.
LinkedItemLookup findLinkedItem(OutlookSession &session, db::Connection &cnnLink,
                                const QString &entryId, const QString &storeId, pim::ItemType type,
                                std::optional<qint64> timeCardId = std::nullopt);

// Whether the file an EntryID names is still where the EntryID says (false
// also when its folder has gone). Reads folder metadata and stats one file.
bool entryIdFileExists(const pim::Namespace &ns, const QString &entryId, const QString &storeId);

} // namespace quorvale
