#include "LinkReader.h"

#include "outlook/Documents.h"
#include "outlook/JournalProcessing.h"
#include "outlook/LinkRelocation.h"
#include "outlook/LinkedItems.h"
#include "outlook/OutlookSession.h"
#include "platform/core/Money.h"
#include "platform/db/Command.h"
#include "platform/db/Connection.h"
#include "platform/pim/Items.h"
#include "platform/pim/JournalItem.h"
#include "platform/pim/Namespace.h"
#include "platform/pim/ParallelReads.h"

#include <QHash>
#include <QSqlQuery>
#include <algorithm>

namespace quorvale {

namespace {

constexpr int kAbbreviationLength = 100;

QVariant orNull(const QDateTime &time)
{
    return time.isValid() ? QVariant(time) : QVariant();
}

// The row an item gives, or nothing when the kind's filter leaves it out.
std::optional<QVariantList> itemRow(LinkListKind kind, const pim::ItemSummary &item, qint64 taskId)
{
    if (!fitsLinkKind(kind, item))
        return std::nullopt;
    const QString &eid = item.entryId;
    switch (kind) {
    case LinkListKind::PersonalTasks:
        return QVariantList{eid,
                            item.subject,
                            orNull(item.dueDate),
                            item.status,
                            item.importance,
                            item.reminderSet ? orNull(item.reminderTime) : QVariant()};
    case LinkListKind::AssignedTasks:
        return QVariantList{eid,         item.subject,   orNull(item.dueDate),
                            item.status, item.assignees, QVariant(),
                            taskId};
    case LinkListKind::TimeDetail:
    case LinkListKind::ScheduledAppointments:
        return QVariantList{eid, item.subject, orNull(item.start), orNull(item.start),
                            item.durationMinutes};
    case LinkListKind::Notes:
        return QVariantList{eid, item.subject, orNull(item.creationTime)};
    case LinkListKind::Messages:
        return QVariantList{eid, item.to, item.from, item.subject, orNull(item.sentOn)};
    default:
        return std::nullopt;
    }
}

} // namespace

LinkReader::LinkReader(OutlookSession &session, db::Connection &cnnLink)
    : m_session(session), m_cnn(cnnLink), m_readRunner([](const ItemRead &read) {
          read(pim::ScanControl{});
          return true;
      })
{
}

void LinkReader::setReadRunner(ReadRunner runner)
{
    m_readRunner = std::move(runner);
}

LinkReader::~LinkReader() = default;

LinkList LinkReader::ProcessLinks(LinkListKind kind, std::optional<qint64> timeCardId)
{
    m_cancelled = false;
    if (!timeCardId || *timeCardId <= 0 || kind == LinkListKind::JournalEntry)
        return LinkList::empty(kind);
    LinkList list;
    if (kind == LinkListKind::Documents)
        list = readDocuments(*timeCardId);
    else if (isChargeLinkKind(kind))
        list = readCharges(kind, *timeCardId);
    else
        list = readItems(kind, *timeCardId);
    list.applySort(list.sort);
    return list;
}

LinkList LinkReader::readItems(LinkListKind kind, qint64 timeCardId)
{
    LinkList list = LinkList::empty(kind);
    const QString table = linkListTable(kind);
    const bool messages = kind == LinkListKind::Messages;
    const bool tasks = table == QLatin1String("tblTasks");
    QSqlQuery query =
        m_cnn.prepare(QStringLiteral("SELECT EntryID, %1, %2 FROM %3 WHERE TimeCardID = ?")
                          .arg(messages ? QStringLiteral("StoreID") : QStringLiteral("NULL"),
                               tasks ? QStringLiteral("TaskID") : QStringLiteral("NULL"), table));
    m_cnn.run(query, {timeCardId});
    struct LinkRef {
        QString entryId;
        QString storeId;
        qint64 taskId;
        std::optional<pim::Folder> folder;
        QString fileName;
        bool fileGone = false;
    };
    std::vector<LinkRef> refs;
    while (query.next())
        refs.push_back({query.value(0).toString(), query.value(1).toString(),
                        query.value(2).toLongLong(), std::nullopt, QString()});
    query.finish();
    if (refs.empty())
        return list;
    // The folders are found here; only the item files are read by the runner.
    // Links share a few folders: each is looked up once, not once per link.
    const std::optional<bool> reached = runWithStore(m_session, [&] {
        const pim::Namespace &ns = m_session.nameSpace();
        const QString folderStore = linkFolderStoreId(m_session, kind);
        QHash<QString, std::optional<pim::Folder>> folders;
        for (LinkRef &ref : refs) {
            if (!messages)
                ref.storeId = folderStore;
            if (const auto parts = pim::splitEntryId(ref.entryId)) {
                const QString key = parts->first + QLatin1Char('\n') + ref.storeId;
                auto found = folders.find(key);
                if (found == folders.end())
                    found = folders.insert(key, ns.findFolder(parts->first, ref.storeId));
                ref.folder = *found;
                ref.fileName = parts->second;
            }
        }
        return ns.isReachable();
    });
    if (!reached)
        return list;
    std::vector<std::optional<pim::ItemSummary>> items(refs.size());
    pim::FolderCache &cache = m_session.folderCache();
    const bool finished = m_readRunner([&](const pim::ScanControl &control) {
        pim::readInParallel(static_cast<qsizetype>(refs.size()), control, [&](qsizetype at) {
            const auto i = static_cast<std::size_t>(at);
            LinkRef &ref = refs[i];
            if (ref.folder)
                items[i] = cache.item(*ref.folder, ref.fileName);
            if (!items[i])
                ref.fileGone =
                    !ref.folder || pim::locateItemFile(*ref.folder, ref.fileName).isEmpty();
        });
    });
    if (!finished) {
        m_cancelled = true;
        return list;
    }
    std::vector<std::size_t> gone;
    for (std::size_t i = 0; i < refs.size(); ++i)
        if (!items[i] && refs[i].fileGone)
            gone.push_back(i);
    std::vector<pim::RelocationOutcome> outcomes(refs.size(), pim::RelocationOutcome::Found);
    if (!gone.empty() && *reached) {
        // Files a sync tool deleted and wrote anew under other names: the
        // items are looked for by what they hold, each folder read once for
        // all the links into it, and their new EntryIDs stored.
        struct Group {
            pim::RelocationScope scope;
            std::vector<std::size_t> refs;
            std::vector<pim::RelocationRequest> requests;
        };
        std::vector<Group> groups;
        const pim::ItemType type = linkItemType(kind);
        const pim::RelocationKeys keys = linkRelocationKeys(timeCardId);
        const std::optional<bool> scoped = runWithStore(m_session, [&] {
            const pim::Namespace &ns = m_session.nameSpace();
            QHash<QString, std::size_t> groupOf;
            for (const std::size_t i : gone) {
                const LinkRef &ref = refs[i];
                const auto parts = pim::splitEntryId(ref.entryId);
                const QString key =
                    (parts ? parts->first : QString()) + QLatin1Char('\n') + ref.storeId;
                auto found = groupOf.constFind(key);
                if (found == groupOf.cend()) {
                    found = groupOf.insert(key, groups.size());
                    groups.push_back(
                        {pim::relocationScope(ns, ref.entryId, ref.storeId, type), {}, {}});
                }
                groups[*found].refs.push_back(i);
                groups[*found].requests.push_back({ref.entryId, keys});
            }
            return true;
        });
        if (!scoped)
            groups.clear(); // not reached now: the links stay as they are
        std::vector<std::optional<std::vector<pim::RelocationResult>>> results(groups.size());
        const bool searched = m_readRunner([&](const pim::ScanControl &control) {
            for (std::size_t g = 0; g < groups.size(); ++g)
                if (!(results[g] =
                          pim::relocate(cache, groups[g].scope, groups[g].requests, control)))
                    return;
        });
        if (!searched || std::any_of(results.begin(), results.end(),
                                     [](const auto &result) { return !result; })) {
            m_cancelled = true;
            return list;
        }
        std::vector<EntryIdMove> moves;
        for (std::size_t g = 0; g < groups.size(); ++g) {
            for (std::size_t k = 0; k < groups[g].refs.size(); ++k) {
                const std::size_t i = groups[g].refs[k];
                pim::RelocationResult &result = (*results[g])[k];
                outcomes[i] = result.outcome;
                if (result.outcome != pim::RelocationOutcome::Found)
                    continue;
                moves.push_back({refs[i].entryId, result.item->entryId, type});
                items[i] = std::move(result.item);
            }
        }
        storeEntryIdMoves(m_cnn, moves);
    }
    std::vector<QString> goneNotes;
    for (std::size_t i = 0; i < refs.size(); ++i) {
        const LinkRef &ref = refs[i];
        if (!items[i]) {
            // Only a note nothing claims, from a folder that is still there,
            // loses its link: an unmounted store, a missing folder, a file too
            // large to read or several files claiming it must not cost the
            // TimeCard its links.
            if (kind == LinkListKind::Notes && ref.fileGone && ref.folder &&
                outcomes[i] == pim::RelocationOutcome::Missing)
                goneNotes.push_back(ref.entryId);
            continue;
        }
        if (std::optional<QVariantList> values = itemRow(kind, *items[i], ref.taskId))
            list.rows.push_back({std::move(*values), ref.storeId});
    }
    for (const QString &entryId : goneNotes)
        m_cnn.execute(QStringLiteral("DELETE FROM tblNotes WHERE TimeCardID = ? AND EntryID = ?"),
                      {timeCardId, entryId});
    return list;
}

LinkList LinkReader::readDocuments(qint64 timeCardId)
{
    LinkList list = LinkList::empty(LinkListKind::Documents);
    for (const LinkedDocument &document : Documents::TimeCardDocuments(m_cnn, timeCardId))
        if (document.exists)
            list.rows.push_back(
                {{document.documentId, document.modified, document.fileName, document.filePath},
                 {}});
    return list;
}

LinkList LinkReader::readCharges(LinkListKind kind, qint64 timeCardId)
{
    LinkList list = LinkList::empty(kind);
    const bool expenses = kind == LinkListKind::Expenses;
    QSqlQuery query = m_cnn.prepare(
        expenses ? QStringLiteral("SELECT ExpenseID, StartDate, ExpenseCodeID, Quantity, Rate, "
                                  "Amount FROM tblExpenses WHERE TimeCardID = ? AND InvoiceID IS "
                                  "NULL ORDER BY ExpenseID")
                 : QStringLiteral("SELECT ProductID, StartDate, ProductCodeID, Quantity, Rate, "
                                  "Amount FROM tblFixedCharges WHERE TimeCardID = ? AND InvoiceID "
                                  "IS NULL ORDER BY ProductID"));
    m_cnn.run(query, {timeCardId});
    struct Charge {
        qint64 id;
        QVariant date;
        qint64 code;
        QVariant units;
        Money rate;
        Money total;
    };
    std::vector<Charge> charges;
    while (query.next())
        charges.push_back({query.value(0).toLongLong(), query.value(1), query.value(2).toLongLong(),
                           query.value(3), Money::fromStored(query.value(4)),
                           Money::fromStored(query.value(5))});
    query.finish();
    for (const Charge &c : charges) {
        const QDateTime date = c.date.toDateTime();
        list.rows.push_back(
            {{c.id, orNull(date),
              expenses ? GetExpenseAbbreviation(c.code) : GetProductAbbreviation(c.code),
              c.units.isNull() ? QVariant() : QVariant(c.units.toInt()), c.rate.toStored(),
              c.total.toStored()},
             {}});
    }
    return list;
}

QString LinkReader::abbreviation(std::unique_ptr<db::Command> &command, const char *sql, qint64 id)
{
    if (!command)
        command = std::make_unique<db::Command>(m_cnn, QLatin1String(sql));
    const std::optional<QSqlRecord> row = command->first({id});
    return row ? row->value(0).toString().left(kAbbreviationLength) : QString();
}

QString LinkReader::GetExpenseAbbreviation(qint64 expenseCodeId)
{
    return abbreviation(m_expenseAbbreviation,
                        "SELECT ExpenseAbbreviation FROM tblExpenseCodes WHERE ExpenseCodeID = ?",
                        expenseCodeId);
}

QString LinkReader::GetProductAbbreviation(qint64 productCodeId)
{
    return abbreviation(
        m_productAbbreviation,
        "SELECT ProductAbbreviation FROM tblFixedChargeCodes WHERE ProductCodeID = ?",
        productCodeId);
}

LinkList LinkReader::journalEntry(const QString &entryId)
{
    LinkList list = LinkList::empty(LinkListKind::JournalEntry);
    if (entryId.isEmpty())
        return list;
    const auto entry = runWithStore(m_session, [&]() -> std::optional<JournalEntryFields> {
        const std::optional<pim::Folder> &journal = m_session.folder(FolderSlot::Journal);
        if (!journal)
            return std::nullopt;
        const std::unique_ptr<pim::Item> item =
            m_session.nameSpace().itemFromId(entryId, journal->storeId());
        if (const auto *found = dynamic_cast<const pim::JournalItem *>(item.get()))
            return journalEntryFields(*found);
        return std::nullopt;
    });
    if (!entry || !*entry)
        return list;
    const JournalEntryFields &fields = **entry;
    list.rows.push_back({{fields.entryId, fields.subject, orNull(fields.start),
                          orNull(fields.start), fields.duration},
                         {}});
    return list;
}

} // namespace quorvale
