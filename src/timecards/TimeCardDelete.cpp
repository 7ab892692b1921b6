#include "timecards/TimeCardDelete.h"

#include "platform/core/Duration.h"
#include "platform/core/QvError.h"
#include "platform/db/Connection.h"
#include "platform/db/Recordset.h"
#include "platform/db/Transaction.h"
#include "support/Prompts.h"
#include "timecards/TimeCardEditor.h"

#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QVariantList>
#include <algorithm>
#include <vector>

namespace quorvale {

namespace {

constexpr LinkKind ItemKinds[] = {LinkKind::TimedAppointments, LinkKind::ScheduledAppointments,
                                  LinkKind::Tasks, LinkKind::Notes, LinkKind::Messages};

constexpr std::size_t index(LinkKind kind)
{
    return static_cast<std::size_t>(kind);
}

struct ItemRef {
    QString entryId;
    QString storeId;
};

QString folderStore(LinkKind kind, const LinkFolderStores &stores)
{
    switch (kind) {
    case LinkKind::TimedAppointments:
        return stores.timedAppointments;
    case LinkKind::ScheduledAppointments:
        return stores.scheduledAppointments;
    case LinkKind::Tasks:
        return stores.tasks;
    case LinkKind::Notes:
        return stores.notes;
    default:
        return {};
    }
}

std::vector<ItemRef> linkedItems(db::Connection &cnn, LinkKind kind, qint64 timeCardId,
                                 const LinkFolderStores &stores)
{
    const bool ownStore = kind == LinkKind::Messages;
    QSqlQuery query = cnn.prepare(
        QStringLiteral("SELECT EntryID") + (ownStore ? QStringLiteral(", StoreID") : QString()) +
        QStringLiteral(" FROM ") + linkTable(kind) + QStringLiteral(" WHERE TimeCardID = ?"));
    cnn.run(query, {timeCardId});
    std::vector<ItemRef> refs;
    while (query.next()) {
        const QString entryId = query.value(0).toString();
        if (!entryId.isEmpty())
            refs.push_back(
                {entryId, ownStore ? query.value(1).toString() : folderStore(kind, stores)});
    }
    return refs;
}

QStringList linkedFiles(db::Connection &cnn, qint64 timeCardId)
{
    QSqlQuery query = cnn.prepare(
        QStringLiteral("SELECT FilePath, FileName FROM tblDocuments WHERE TimeCardID = ?"));
    cnn.run(query, {timeCardId});
    QStringList files;
    while (query.next()) {
        const QString name = query.value(1).toString();
        if (!name.isEmpty())
            files << QDir(query.value(0).toString()).filePath(name);
    }
    return files;
}

// Expenses or fixed charges: deleted when chosen and nothing else depends on
// them; every one left loses its reference to the TimeCard.
void settleCharges(db::Connection &cnn, const QString &table, const QString &keptWhenSet,
                   bool deleteThem, qint64 timeCardId)
{
    if (deleteThem) {
        QString sql = QStringLiteral("DELETE FROM ") + table +
                      QStringLiteral(" WHERE TimeCardID = ? AND InvoiceID IS NULL");
        if (!keptWhenSet.isEmpty())
            sql += QStringLiteral(" AND ") + keptWhenSet + QStringLiteral(" IS NULL");
        cnn.execute(sql, {timeCardId});
    }
    cnn.execute(QStringLiteral("UPDATE ") + table +
                    QStringLiteral(" SET TimeCardID = NULL WHERE TimeCardID = ?"),
                {timeCardId});
}

} // namespace

QString linkTable(LinkKind kind)
{
    static const char *const tables[LinkKindCount] = {"tblTimedAppointments",
                                                      "tblScheduledAppointments",
                                                      "tblTasks",
                                                      "tblNotes",
                                                      "tblMessages",
                                                      "tblDocuments",
                                                      "tblExpenses",
                                                      "tblFixedCharges"};
    return QString::fromLatin1(tables[index(kind)]);
}

QString linkKindCaption(LinkKind kind)
{
    static const char *const captions[LinkKindCount] = {
        "Timed appointments", "Scheduled appointments", "Tasks", "Notes", "Messages", "Documents",
        "Expenses",           "Fixed charges"};
    return QString::fromLatin1(captions[index(kind)]);
}

QString deleteOptionText(LinkKind kind, bool deleteItems)
{
    struct Names {
        const char *kept;
        const char *deleted;
    };
    static const Names names[LinkKindCount] = {
        {"Outlook appointments", "Outlook appointments"},
        {"Outlook scheduled appointments", "Outlook scheduled appointments"},
        {"Outlook tasks, including assigned tasks", "Outlook tasks, including any assigned tasks"},
        {"Outlook notes", "Outlook notes"},
        {"Outlook messages", "Outlook messages"},
        {"documents", "documents stored on your hard drive"},
        {"expenses", "expenses"},
        {"product sales", "product sales"},
    };
    const Names &n = names[index(kind)];
    return deleteItems ? QStringLiteral("Delete the link and the related ") +
                             QLatin1String(n.deleted) + u'.'
                       : QStringLiteral("Delete the link to this TimeCard only.  The related ") +
                             QLatin1String(n.kept) + QStringLiteral(" will NOT be deleted.");
}

LinkCounts countLinks(db::Connection &cnn, qint64 timeCardId, const QString &journalEntryId)
{
    LinkCounts counts;
    for (int k = 0; k < LinkKindCount; ++k)
        counts.perKind[static_cast<std::size_t>(k)] =
            cnn.scalar(QStringLiteral("SELECT COUNT(*) FROM ") + linkTable(LinkKind(k)) +
                           QStringLiteral(" WHERE TimeCardID = ?"),
                       {timeCardId})
                .toInt();
    counts.journalEntry = !journalEntryId.isEmpty();
    return counts;
}

DeleteOutcome ProcessDelete(db::Recordset &timeCards, const DeleteChoices &choices,
                            const LinkFolderStores &stores, LinkedItemDeleter &items,
                            const DeleteProgress &progress)
{
    db::Connection &cnn = *timeCards.connection();
    const QVariant key = timeCards.bookmark();
    const qint64 id = timeCards.value(QStringLiteral("TimeCardID")).toLongLong();
    const QString journalEntryId = timeCards.value(QStringLiteral("JournalEntryID")).toString();
    int done = 0;
    const auto step = [&] {
        ++done;
        if (progress)
            progress(done, DeleteSteps);
    };

    bool rowGone = false;
    std::vector<std::vector<ItemRef>> doomed;
    QStringList files;
    try {
        db::Transaction transaction(cnn);
        // What goes from the item store and the disk is read with the rows that
        // name it, before they go.
        for (const LinkKind kind : ItemKinds)
            doomed.push_back(choices.deletes(kind) ? linkedItems(cnn, kind, id, stores)
                                                   : std::vector<ItemRef>{});
        if (choices.deletes(LinkKind::Documents))
            files = linkedFiles(cnn, id);
        settleCharges(cnn, linkTable(LinkKind::Expenses), QStringLiteral("ReimbursementID"),
                      choices.deletes(LinkKind::Expenses), id);
        step();
        settleCharges(cnn, linkTable(LinkKind::FixedCharges), {},
                      choices.deletes(LinkKind::FixedCharges), id);
        step();
        for (const LinkKind kind : ItemKinds)
            cnn.execute(QStringLiteral("DELETE FROM ") + linkTable(kind) +
                            QStringLiteral(" WHERE TimeCardID = ?"),
                        {id});
        cnn.execute(QStringLiteral("DELETE FROM tblDocuments WHERE TimeCardID = ?"), {id});
        step();
        timeCards.deleteCurrent();
        rowGone = true;
        transaction.commit();
        step();
    } catch (const QvError &) {
        if (rowGone) {
            // Rolled back: the TimeCard is stored again, so the set must show it.
            timeCards.requery();
            timeCards.setBookmark(key);
        }
        throw;
    }

    DeleteOutcome outcome;
    outcome.deleted = true;
    for (const auto &refs : doomed) {
        for (const ItemRef &ref : refs)
            if (!items.deleteItem(ref.entryId, ref.storeId))
                outcome.notDeleted << ref.entryId;
        step();
    }
    for (const QString &file : files)
        if (QFile::exists(file) && !QFile::remove(file))
            outcome.notDeleted << file;
    step();
    if (choices.deleteJournalEntry && !journalEntryId.isEmpty() &&
        !items.deleteItem(journalEntryId, stores.journal))
        outcome.notDeleted << journalEntryId;
    step();

    if (timeCards.recordCount() > 0) {
        timeCards.moveNext();
        if (timeCards.eof())
            timeCards.moveLast();
    }
    return outcome;
}

QVariantMap deleteDialogValues(const LinkCounts &counts)
{
    QVariantList perKind;
    for (const int n : counts.perKind)
        perKind << n;
    return {{QLatin1String(DeleteDialogKey::Counts), perKind},
            {QLatin1String(DeleteDialogKey::JournalEntry), counts.journalEntry}};
}

DeleteChoices deleteChoicesFrom(const QVariantMap &values)
{
    DeleteChoices choices;
    const QVariantList items = values.value(QLatin1String(DeleteDialogKey::DeleteItems)).toList();
    for (qsizetype k = 0; k < items.size() && k < LinkKindCount; ++k)
        choices.deleteItems[static_cast<std::size_t>(k)] = items.at(k).toBool();
    choices.deleteJournalEntry =
        values.value(QLatin1String(DeleteDialogKey::DeleteJournal)).toBool();
    return choices;
}

bool DeleteRecordAndItems(TimeCardEditor &editor, Prompts &prompts, const DeleteContext &context)
{
    const std::optional<qint64> id = editor.currentTimeCardId();
    if (!id || !context.cnn || !context.items)
        return false;
    const auto status = [&](const QString &text) {
        if (context.status)
            context.status(text);
    };
    if (editor.timerRunsHere() && context.pauseTimer)
        context.pauseTimer();
    status(QStringLiteral("Deleting a TimeCard..."));

    DeleteOutcome outcome;
    const DeleteRunner runner{[&](const DeleteChoices &choices, const DeleteProgress &progress) {
        const FlagScope deleting = editor.deletingScope();
        try {
            outcome = ProcessDelete(editor.timeCards(), choices, context.stores, *context.items,
                                    progress);
        } catch (const QvError &error) {
            prompts.messageBox(QStringLiteral("Quorvale"), error.description(), PromptButtons::Ok,
                               PromptIcon::Warning);
            outcome = {};
        }
        return outcome;
    }};

    QVariantMap values =
        deleteDialogValues(countLinks(*context.cnn, *id, editor.currentJournalEntryId()));
    values.insert(QLatin1String(DeleteDialogKey::Runner), QVariant::fromValue(runner));
    if (!prompts.showDialog(QLatin1String(DeleteTimeCardDialogName), values)) {
        status(QStringLiteral("Review"));
        return false;
    }
    if (!values.contains(QLatin1String(DeleteDialogKey::Outcome)))
        runner.run(deleteChoicesFrom(values), context.progress);

    // The TimeCard now current arrived while the deleting flag held the events back.
    editor.adoTimeCardRS_MoveComplete();
    if (!outcome.notDeleted.isEmpty())
        prompts.messageBox(QStringLiteral("Quorvale"),
                           QStringLiteral("The TimeCard was deleted, but these linked items could "
                                          "not be deleted; they are no longer linked to it:\n") +
                               outcome.notDeleted.join(QLatin1Char('\n')),
                           PromptButtons::Ok, PromptIcon::Warning);
    status(QStringLiteral("Review"));
    return outcome.deleted;
}

bool isEmptyTimeCard(TimeCardEditor &editor, db::Connection &cnn)
{
    const std::optional<qint64> id = editor.currentTimeCardId();
    if (!id || editor.locked() || editor.timerRunsHere())
        return false;
    const db::Recordset &rs = editor.timeCards();
    const auto none = [&rs](const char *column) {
        const QVariant v = rs.value(QLatin1String(column));
        return v.isNull() || v.toString().trimmed().isEmpty();
    };
    const auto noTime = [&rs](const char *column) {
        const std::optional<Duration> d = Duration::fromColumn(rs.value(QLatin1String(column)));
        return !d || d->isZero();
    };
    if (!none("ContactID") || !none("Description") || !noTime("Quantity") ||
        !noTime("TimeEstimated"))
        return false;
    const LinkCounts links = countLinks(cnn, *id, editor.currentJournalEntryId());
    return std::all_of(links.perKind.begin(), links.perKind.end(),
                       [](int count) { return count == 0; });
}

bool DiscardEmptyTimeCard(TimeCardEditor &editor, const DeleteContext &context)
{
    if (!context.cnn || !context.items || !isEmptyTimeCard(editor, *context.cnn))
        return false;
    DeleteChoices choices;
    choices.deleteJournalEntry = true;
    DeleteOutcome outcome;
    {
        const FlagScope deleting = editor.deletingScope();
        // Its own unsaved edits go with it; none of them is worth a save.
        editor.timeCards().cancelUpdate();
        outcome = ProcessDelete(editor.timeCards(), choices, context.stores, *context.items);
    }
    editor.adoTimeCardRS_MoveComplete();
    return outcome.deleted;
}

} // namespace quorvale
