#pragma once

#include <QMetaType>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <array>
#include <functional>

namespace quorvale {

class Prompts;
class TimeCardEditor;

namespace db {
class Connection;
class Recordset;
} // namespace db

// The kinds of link a TimeCard's delete deals with, in the dialog's order.
enum class LinkKind {
    TimedAppointments,
    ScheduledAppointments,
    Tasks,
    Notes,
    Messages,
    Documents,
    Expenses,
    FixedCharges,
};
inline constexpr int LinkKindCount = 8;

// The table that holds a kind's links.
QString linkTable(LinkKind kind);

// The dialog's texts: the kind's caption, and its two options (only the link,
// or the link and the related items).
QString linkKindCaption(LinkKind kind);
QString deleteOptionText(LinkKind kind, bool deleteItems);
inline constexpr const char *DeleteJournalText = "Delete the related Outlook journal entry.";

// How many links of each kind a TimeCard has, and whether it has a journal entry.
struct LinkCounts {
    std::array<int, LinkKindCount> perKind{};
    bool journalEntry = false;
    int of(LinkKind kind) const { return perKind[static_cast<std::size_t>(kind)]; }
};
LinkCounts countLinks(db::Connection &cnn, qint64 timeCardId, const QString &journalEntryId);

// What the person chose: per kind, delete the related items too (else only the
// link); and whether the journal entry goes.
struct DeleteChoices {
    std::array<bool, LinkKindCount> deleteItems{};
    bool deleteJournalEntry = false;
    bool deletes(LinkKind kind) const { return deleteItems[static_cast<std::size_t>(kind)]; }
};

// Deletes items of the item store; the main window implements it over its
// namespace. False when the item could not be deleted (already gone counts as done).
class LinkedItemDeleter {
public:
    virtual ~LinkedItemDeleter() = default;
    virtual bool deleteItem(const QString &entryId, const QString &storeId) = 0;
};

// The StoreIDs of the folders whose items are linked by EntryID alone.
struct LinkFolderStores {
    QString timedAppointments;
    QString scheduledAppointments;
    QString tasks;
    QString notes;
    QString journal;
};

inline constexpr int DeleteSteps = 11;
// Called after each step with the steps done so far (1 .. DeleteSteps).
using DeleteProgress = std::function<void(int done, int total)>;

struct DeleteOutcome {
    bool deleted = false;
    // Items and files the person chose to delete that could not be: the
    // TimeCard and its links are gone all the same.
    QStringList notDeleted;
};

// `ProcessDelete`: deletes the working set's current TimeCard with its links,
// as chosen, and moves to a neighbouring TimeCard. The rows (link rows, expenses
// and fixed charges unlinked or deleted, the TimeCard) commit in one
// transaction; throws QvError when that fails, with nothing deleted. The item
// store's items and the files go only once the rows are committed, so no link
// row ever names an item that is gone; one that cannot be deleted is left
// behind unlinked and reported. Invoiced or reimbursed charges are never
// deleted, only unlinked: their invoice or reimbursement still needs them.
DeleteOutcome ProcessDelete(db::Recordset &timeCards, const DeleteChoices &choices,
                            const LinkFolderStores &stores, LinkedItemDeleter &items,
                            const DeleteProgress &progress = {});

// The dialog values (see frmDeleteTimeCard).
inline constexpr const char *DeleteTimeCardDialogName = "frmDeleteTimeCard";
namespace DeleteDialogKey {
inline constexpr const char *Counts = "Counts";               // QVariantList of 8 ints
inline constexpr const char *JournalEntry = "JournalEntry";   // bool: there is one
inline constexpr const char *DeleteItems = "DeleteItems";     // out: QVariantList of 8 bools
inline constexpr const char *DeleteJournal = "DeleteJournal"; // out: bool
inline constexpr const char *Runner = "Runner";               // in: DeleteRunner
inline constexpr const char *Outcome = "Outcome";             // out: the runner ran; bool deleted
inline constexpr const char *NotDeleted = "NotDeleted";       // out: QStringList
} // namespace DeleteDialogKey

QVariantMap deleteDialogValues(const LinkCounts &counts);
DeleteChoices deleteChoicesFrom(const QVariantMap &values);

// The delete as the dialog runs it on "Delete Now", with its progress bar.
struct DeleteRunner {
    std::function<DeleteOutcome(const DeleteChoices &, const DeleteProgress &)> run;
};

struct DeleteContext {
    db::Connection *cnn = nullptr;
    LinkFolderStores stores;
    LinkedItemDeleter *items = nullptr;
    DeleteProgress progress;          // when the dialog does not show the progress itself
    std::function<void()> pauseTimer; // `PauseTimer(True)` when this TimeCard's timer runs
    std::function<void(const QString &)> status; // the status bar text
};

// `DeleteRecordAndItems`: asks what to delete (the dialog through prompts) and
// deletes the editor's current TimeCard. True when it was deleted.
bool DeleteRecordAndItems(TimeCardEditor &editor, Prompts &prompts, const DeleteContext &context);

// A TimeCard left as it was made: no contact, description, time or link, and no
// running timer. Only its journal entry goes with it.
bool isEmptyTimeCard(TimeCardEditor &editor, db::Connection &cnn);

// `RecordNavigation(NavigationAction::DiscardEmpty)`: discards the current TimeCard with its
// journal entry, without asking, when it is empty; else does nothing. True when it went. Nothing is
// validated first: an empty TimeCard is what validation refuses.
bool DiscardEmptyTimeCard(TimeCardEditor &editor, const DeleteContext &context);

} // namespace quorvale

Q_DECLARE_METATYPE(quorvale::DeleteRunner)
