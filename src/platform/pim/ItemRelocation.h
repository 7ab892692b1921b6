#pragma once

#include "platform/pim/Folder.h"
#include "platform/pim/FolderCache.h"
#include "platform/pim/ItemSummary.h"

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>
#include <vector>

namespace quorvale::pim {

class Namespace;

// A calendar sync tool may delete an item's file and write the same item
// under another name. An EntryID names the file, so it goes stale; the item
// is found again by what travels inside the file: its UID, and the user
// properties the program wrote on it.
//
// What the stale EntryID stood for. The UIDs it may have had come from the
// file name (items the program made are named after their UID) and from what
// the folder cache last read from that file; `selfProperty` names a user
// property holding the item's own EntryID as it was written (an exact claim
// even for a file named by another program); `ownerProperty`/`ownerValue`
// name the owner the item was linked for, which settles a UID that several
// files claim.
struct RelocationKeys {
    QString selfProperty;
    QString ownerProperty;
    QVariant ownerValue;
};

// Where to look, resolved from the namespace on the thread that owns it: the
// folder a stale EntryID names (when it is still there) and the other folders
// of the same kind in the stores the EntryID is read from. Every EntryID of
// one folder shares its scope.
struct RelocationScope {
    std::optional<Folder> home;
    QList<Folder> others;
};

// The scope of a stale EntryID read with `storeId` (empty: every store).
// `type` is the kind of item expected, for when the home folder has gone.
// Messages and contacts are not looked for (a message's file keeps a stable
// name part; a card is found by its own EntryID): a scope with no folders.
RelocationScope relocationScope(const Namespace &ns, const QString &entryId, const QString &storeId,
                                ItemType type);

// One item to find again: its stale EntryID and what settles a shared UID.
struct RelocationRequest {
    QString entryId;
    RelocationKeys keys;
};

enum class RelocationOutcome {
    Found,     // one file is the item: `item` holds it with its new EntryID
    Ambiguous, // several files claim it and nothing tells them apart
    Missing,   // nothing claims it: the item is gone
};

struct RelocationResult {
    RelocationOutcome outcome = RelocationOutcome::Missing;
    std::optional<ItemSummary> item;
    QStringList claimants; // the claiming files' paths when ambiguous
};

// Searches the home folder, then (for the items nothing there claims) the
// other folders together, through the cache: each folder is read once for
// all the requests, and a folder read before costs a stat per file. Touches
// nothing but the files and the cache, so it may run on a reading thread.
// One result per request, in order; nothing when `control` cancelled it.
// Which file was taken, and why, goes to the log.
std::optional<std::vector<RelocationResult>>
relocate(FolderCache &cache, const RelocationScope &scope,
         const std::vector<RelocationRequest> &requests, const ScanControl &control = {});

} // namespace quorvale::pim
