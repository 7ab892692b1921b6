#include "LinkedItems.h"

#include "outlook/JournalProcessing.h"
#include "outlook/LinkRelocation.h"
#include "outlook/OutlookSession.h"
#include "platform/db/Connection.h"
#include "platform/db/Transaction.h"
#include "platform/pim/AppointmentItem.h"
#include "platform/pim/MailItem.h"
#include "platform/pim/Namespace.h"
#include "platform/pim/TaskItem.h"

#include <algorithm>

namespace quorvale {

namespace {

std::optional<LinkCandidate> candidate(LinkListKind kind, const pim::ItemSummary &item)
{
    if (!fitsLinkKind(kind, item))
        return std::nullopt;
    LinkCandidate c{item.entryId, item.storeId, item.subject, item.creationTime, item.folderName};
    switch (kind) {
    case LinkListKind::PersonalTasks:
    case LinkListKind::AssignedTasks:
        if (item.dueDate.isValid())
            c.date = item.dueDate;
        return c;
    case LinkListKind::ScheduledAppointments:
        c.date = item.start;
        return c;
    case LinkListKind::Messages:
        if (item.sentOn.isValid())
            c.date = item.sentOn;
        return c;
    case LinkListKind::Notes:
        return c;
    default:
        return std::nullopt;
    }
}

} // namespace

QString linkFolderStoreId(const OutlookSession &session, LinkListKind kind)
{
    const std::optional<FolderSlot> slot = linkFolderSlot(kind);
    if (!slot)
        return {};
    const std::optional<pim::Folder> &folder = session.folder(*slot);
    return folder ? folder->storeId() : QString();
}

namespace {

QString linkStoreId(OutlookSession &session, LinkListKind kind, const QString &storeId)
{
    if (kind != LinkListKind::Messages)
        return linkFolderStoreId(session, kind);
    if (!storeId.isEmpty())
        return storeId;
    return session.nameSpace().GetDefaultFolder(pim::DefaultFolder::SentMail).storeId();
}

} // namespace

std::unique_ptr<pim::Item> readLinkedItem(OutlookSession &session, LinkListKind kind,
                                          const QString &entryId, const QString &storeId)
{
    std::optional<std::unique_ptr<pim::Item>> found =
        runWithStore(session, [&]() -> std::unique_ptr<pim::Item> {
            return session.nameSpace().itemFromId(entryId, linkStoreId(session, kind, storeId));
        });
    return found ? std::move(*found) : nullptr;
}

std::unique_ptr<pim::Item> readLinkedItem(OutlookSession &session, db::Connection &cnnLink,
                                          LinkListKind kind, const QString &entryId,
                                          const QString &storeId, std::optional<qint64> timeCardId)
{
    std::optional<std::unique_ptr<pim::Item>> found =
        runWithStore(session, [&]() -> std::unique_ptr<pim::Item> {
            return findLinkedItem(session, cnnLink, entryId, linkStoreId(session, kind, storeId),
                                  linkItemType(kind), timeCardId)
                .item;
        });
    return found ? std::move(*found) : nullptr;
}

bool MarkTaskComplete(OutlookSession &session, const QString &entryId)
{
    std::unique_ptr<pim::Item> item = readLinkedItem(session, LinkListKind::PersonalTasks, entryId);
    auto *task = dynamic_cast<pim::TaskItem *>(item.get());
    if (!task)
        return false;
    task->MarkComplete();
    task->Save();
    return true;
}

bool setTimeDetailMinutes(OutlookSession &session, const QString &entryId, int minutes)
{
    std::unique_ptr<pim::Item> item = readLinkedItem(session, LinkListKind::TimeDetail, entryId);
    auto *appointment = dynamic_cast<pim::AppointmentItem *>(item.get());
    if (!appointment)
        return false;
    appointment->setDuration(minutes);
    appointment->Save();
    return true;
}

QList<pim::Folder> linkCandidateFolders(OutlookSession &session, LinkListKind kind)
{
    const auto found = runWithStore(session, [&] {
        QList<pim::Folder> folders;
        if (kind == LinkListKind::Messages) {
            for (const pim::Folder &folder : session.nameSpace().allFolders())
                if (folder.defaultItemType() == pim::ItemType::Mail)
                    folders.append(folder);
        } else if (const std::optional<FolderSlot> slot = linkFolderSlot(kind)) {
            if (const std::optional<pim::Folder> &folder = session.folder(*slot))
                folders.append(*folder);
        }
        return folders;
    });
    return found ? *found : QList<pim::Folder>{};
}

std::optional<std::vector<LinkCandidate>> linkCandidates(pim::FolderCache &cache,
                                                         const QList<pim::Folder> &folders,
                                                         LinkListKind kind,
                                                         const pim::ScanControl &control)
{
    std::vector<LinkCandidate> list;
    for (qsizetype f = 0; f < folders.size(); ++f) {
        // One bar for all folders: each folder takes an equal part of it.
        constexpr qsizetype Part = 1000;
        pim::ScanControl part{
            control.cancelled,
            [&control, f, count = folders.size()](qsizetype done, qsizetype total) {
                control.report(f * Part + (total > 0 ? done * Part / total : 0), count * Part);
            }};
        const std::optional<pim::FolderScan> scan = cache.scan(folders.at(f), part);
        if (!scan)
            return std::nullopt;
        for (const pim::ItemSummary &item : scan->items)
            if (std::optional<LinkCandidate> c = candidate(kind, item))
                list.push_back(std::move(*c));
    }
    std::stable_sort(list.begin(), list.end(), [](const LinkCandidate &a, const LinkCandidate &b) {
        return a.date > b.date;
    });
    return list;
}

std::vector<LinkCandidate> linkCandidates(OutlookSession &session, LinkListKind kind)
{
    const QList<pim::Folder> folders = linkCandidateFolders(session, kind);
    return linkCandidates(session.folderCache(), folders, kind)
        .value_or(std::vector<LinkCandidate>{});
}

std::vector<LinkCandidate> linkExistingItems(db::Connection &cnnLink, LinkListKind kind,
                                             qint64 timeCardId,
                                             const std::vector<LinkCandidate> &chosen)
{
    std::vector<LinkCandidate> written;
    if (!isItemLinkKind(kind) || kind == LinkListKind::JournalEntry || timeCardId <= 0)
        return written;
    const QString table = linkListTable(kind);
    const bool messages = kind == LinkListKind::Messages;
    db::Transaction transaction(cnnLink);
    for (const LinkCandidate &item : chosen) {
        const QVariant existing = cnnLink.scalar(
            QStringLiteral("SELECT COUNT(*) FROM %1 WHERE TimeCardID = ? AND EntryID = ?")
                .arg(table),
            {timeCardId, item.entryId});
        if (existing.toLongLong() > 0)
            continue;
        if (messages)
            cnnLink.execute(QStringLiteral("INSERT INTO tblMessages (EntryID, StoreID, TimeCardID) "
                                           "VALUES (?, ?, ?)"),
                            {item.entryId, item.storeId, timeCardId});
        else
            cnnLink.execute(
                QStringLiteral("INSERT INTO %1 (EntryID, TimeCardID) VALUES (?, ?)").arg(table),
                {item.entryId, timeCardId});
        written.push_back(item);
    }
    transaction.commit();
    return written;
}

void stampLinkedItems(OutlookSession &session, const std::vector<LinkCandidate> &linked,
                      const TimeCardSnapshot &card, const UserPropertyTerms &terms)
{
    runWithStore(session, [&] {
        for (const LinkCandidate &c : linked)
            if (std::unique_ptr<pim::Item> item =
                    session.nameSpace().itemFromId(c.entryId, c.storeId)) {
                WriteUserProperties(*item, card, terms);
                item->Save();
            }
        return true;
    });
}

} // namespace quorvale
