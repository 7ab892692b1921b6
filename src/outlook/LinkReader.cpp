#include "LinkReader.h"

#include "outlook/Documents.h"
#include "outlook/JournalProcessing.h"
#include "outlook/LinkedItems.h"
#include "outlook/OutlookSession.h"
#include "platform/core/Money.h"
#include "platform/db/Command.h"
#include "platform/db/Connection.h"
#include "platform/pim/AppointmentItem.h"
#include "platform/pim/Items.h"
#include "platform/pim/JournalItem.h"
#include "platform/pim/MailItem.h"
#include "platform/pim/Namespace.h"
#include "platform/pim/TaskItem.h"

#include <QSqlQuery>

namespace quorvale {

namespace {

constexpr int kAbbreviationLength = 100;

QString assigneeText(const pim::TaskItem &task)
{
    QStringList names;
    for (const pim::CalendarAddress &recipient : task.Recipients())
        names.append(recipient.name.isEmpty() ? recipient.address : recipient.name);
    return names.join(QStringLiteral("; "));
}

QVariant orNull(const QDateTime &time)
{
    return time.isValid() ? QVariant(time) : QVariant();
}

// The row an item gives, or nothing when the kind's filter leaves it out.
std::optional<QVariantList> itemRow(LinkListKind kind, const pim::Item &item, qint64 taskId)
{
    if (!fitsLinkKind(kind, item))
        return std::nullopt;
    const QString eid = item.EntryID();
    switch (kind) {
    case LinkListKind::PersonalTasks:
    case LinkListKind::AssignedTasks: {
        const auto *task = static_cast<const pim::TaskItem *>(&item);
        if (kind == LinkListKind::PersonalTasks)
            return QVariantList{eid,
                                task->Subject(),
                                orNull(task->DueDate()),
                                task->Status(),
                                task->Importance(),
                                task->ReminderSet() ? orNull(task->ReminderTime()) : QVariant()};
        return QVariantList{eid,
                            task->Subject(),
                            orNull(task->DueDate()),
                            task->Status(),
                            assigneeText(*task),
                            QVariant(),
                            taskId};
    }
    case LinkListKind::TimeDetail:
    case LinkListKind::ScheduledAppointments: {
        const auto *appointment = static_cast<const pim::AppointmentItem *>(&item);
        return QVariantList{eid, appointment->Subject(), orNull(appointment->Start()),
                            orNull(appointment->Start()), appointment->Duration()};
    }
    case LinkListKind::Notes:
        return QVariantList{eid, item.Subject(), orNull(item.CreationTime())};
    case LinkListKind::Messages: {
        const auto *mail = static_cast<const pim::MailItem *>(&item);
        const QString from =
            mail->SenderName().isEmpty() ? mail->SenderEmailAddress() : mail->SenderName();
        return QVariantList{eid, mail->To(), from, mail->Subject(), orNull(mail->SentOn())};
    }
    default:
        return std::nullopt;
    }
}

// A note's link goes only when its file is gone from a folder that is still
// there: a store that is unmounted or a folder that is missing must not cost
// the TimeCard its links.
bool noteIsGone(const pim::Namespace &ns, const QString &entryId, const QString &storeId)
{
    const auto parts = pim::splitEntryId(entryId);
    return parts && ns.isReachable() && ns.findFolder(parts->first, storeId).has_value();
}

} // namespace

LinkReader::LinkReader(OutlookSession &session, db::Connection &cnnLink)
    : m_session(session), m_cnn(cnnLink)
{
}

LinkReader::~LinkReader() = default;

LinkList LinkReader::ProcessLinks(LinkListKind kind, std::optional<qint64> timeCardId)
{
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
    };
    std::vector<LinkRef> refs;
    while (query.next())
        refs.push_back(
            {query.value(0).toString(), query.value(1).toString(), query.value(2).toLongLong()});
    query.finish();
    if (refs.empty())
        return list;
    const std::optional<bool> reached = runWithStore(m_session, [&] {
        const pim::Namespace &ns = m_session.nameSpace();
        const QString folderStore = linkFolderStoreId(m_session, kind);
        list.rows.clear();
        std::vector<QString> goneNotes;
        for (const LinkRef &ref : refs) {
            const QString storeId = messages ? ref.storeId : folderStore;
            const std::unique_ptr<pim::Item> item = ns.itemFromId(ref.entryId, storeId);
            if (!item) {
                if (kind == LinkListKind::Notes && noteIsGone(ns, ref.entryId, storeId))
                    goneNotes.push_back(ref.entryId);
                continue;
            }
            if (std::optional<QVariantList> values = itemRow(kind, *item, ref.taskId))
                list.rows.push_back({std::move(*values), storeId});
        }
        for (const QString &entryId : goneNotes)
            m_cnn.execute(
                QStringLiteral("DELETE FROM tblNotes WHERE TimeCardID = ? AND EntryID = ?"),
                {timeCardId, entryId});
        return true;
    });
    if (!reached)
        list.rows.clear();
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

JournalLinkList LinkReader::journalEntry(const TimeCardSnapshot &card)
{
    JournalLinkList result{LinkList::empty(LinkListKind::JournalEntry), std::nullopt};
    if (card.timeCardId <= 0)
        return result;
    const auto entry = runWithStore(m_session, [&]() -> std::optional<JournalEntryFields> {
        const std::optional<pim::Folder> &journal = m_session.folder(FolderSlot::Journal);
        if (!journal)
            return std::nullopt;
        pim::Namespace &ns = m_session.nameSpace();
        if (!card.journalEntryId.isEmpty()) {
            const std::unique_ptr<pim::Item> item =
                ns.itemFromId(card.journalEntryId, journal->storeId());
            if (const auto *found = dynamic_cast<const pim::JournalItem *>(item.get()))
                return journalEntryFields(*found);
        }
        std::unique_ptr<pim::Item> made = pim::Items(*journal).Add();
        auto *recovered = dynamic_cast<pim::JournalItem *>(made.get());
        if (!recovered)
            return std::nullopt;
        recovered->setStart(card.start());
        recovered->setDuration(clsJournalProcessing::FormatTimeSpent(card.timeSpent));
        recovered->setType(card.entryType);
        recovered->setCategoriesText(card.category);
        recovered->setBody(card.description);
        recovered->setSubject(QStringLiteral("Recovered Journal Item"));
        recovered->Save();
        try {
            m_cnn.execute(
                QStringLiteral("UPDATE tblTimeCards SET JournalEntryID = ? WHERE TimeCardID = ?"),
                {recovered->EntryID(), card.timeCardId});
        } catch (...) {
            // A TimeCard that cannot point at the new entry must not leave it
            // behind as an orphan.
            recovered->Delete();
            throw;
        }
        result.recoveredEntryId = recovered->EntryID();
        return journalEntryFields(*recovered);
    });
    if (!entry || !*entry)
        return result;
    const JournalEntryFields &fields = **entry;
    result.list.rows.push_back({{fields.entryId, fields.subject, orNull(fields.start),
                                 orNull(fields.start), fields.duration},
                                {}});
    return result;
}

} // namespace quorvale
