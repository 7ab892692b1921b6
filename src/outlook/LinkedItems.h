#pragma once

#include "outlook/LinkListKind.h"
#include "outlook/TimeCardSnapshot.h"
#include "outlook/UserPropertyWriter.h"
#include "platform/pim/FolderCache.h"

#include <QDateTime>
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

// The StoreID of the folder a kind's items live in; empty for kinds without
// one (messages keep theirs with the link) or a folder not resolved.
QString linkFolderStoreId(const OutlookSession &session, LinkListKind kind);

// Reads a linked item again the way the Links page finds it: by EntryID and
// the StoreID of the kind's folder (messages: the StoreID kept with the link,
// else the Sent Items folder's store). Nullptr when it is gone or the store
// cannot be reached.
std::unique_ptr<pim::Item> readLinkedItem(OutlookSession &session, LinkListKind kind,
                                          const QString &entryId, const QString &storeId = {});

// The same for a link of the TimeCard `timeCardId`, read from `cnnLink`: an
// item whose file a sync tool renamed is found again and its new EntryID
// stored (findLinkedItem); the item returned carries the new EntryID.
std::unique_ptr<pim::Item> readLinkedItem(OutlookSession &session, db::Connection &cnnLink,
                                          LinkListKind kind, const QString &entryId,
                                          const QString &storeId, std::optional<qint64> timeCardId);

// Marks a linked task complete and saves it; false when it cannot be read.
bool MarkTaskComplete(OutlookSession &session, const QString &entryId);

// Sets a linked time-detail appointment's Duration (minutes) and saves it.
bool setTimeDetailMinutes(OutlookSession &session, const QString &entryId, int minutes);

// An item of the store the person may link to a TimeCard.
struct LinkCandidate {
    QString entryId;
    QString storeId;
    QString subject;
    QDateTime date;
    QString folderName;
};

// The folders a kind links from: the Tasks folder for tasks, the Scheduled
// Appointments folder, the Notes folder, every mail folder for messages.
// Empty when the store cannot be reached.
QList<pim::Folder> linkCandidateFolders(OutlookSession &session, LinkListKind kind);

// The items a kind links from: tasks not delegated (personal) or delegated
// (task requests), appointments that are no meetings, the notes, and the
// messages, read through the cache. Newest first. Touches nothing but the
// folders' files and the cache, so it may run on a reading thread; nothing
// when `control` cancelled it.
std::optional<std::vector<LinkCandidate>> linkCandidates(pim::FolderCache &cache,
                                                         const QList<pim::Folder> &folders,
                                                         LinkListKind kind,
                                                         const pim::ScanControl &control = {});
// The same for the session's folders, read on the calling thread.
std::vector<LinkCandidate> linkCandidates(OutlookSession &session, LinkListKind kind);

// Writes the link rows of the chosen items for the TimeCard in one
// transaction; an item it links already is not linked twice. The items newly
// linked.
std::vector<LinkCandidate> linkExistingItems(db::Connection &cnnLink, LinkListKind kind,
                                             qint64 timeCardId,
                                             const std::vector<LinkCandidate> &chosen);

// Marks newly linked items as the TimeCard's, as items made from it are
// (WriteUserProperties), and saves them. An item gone meanwhile is passed over.
void stampLinkedItems(OutlookSession &session, const std::vector<LinkCandidate> &linked,
                      const TimeCardSnapshot &card, const UserPropertyTerms &terms);

} // namespace quorvale
