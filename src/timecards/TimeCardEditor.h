#pragma once

#include "data/TimeCard.h"
#include "platform/db/Recordset.h"
#include "timecards/TimeCardDefaults.h"
#include "timecards/Validation.h"

#include <QSqlRecord>
#include <QString>
#include <functional>
#include <optional>

namespace quorvale {

class Prompts;
class QvError;

// What the lifecycle needs of the main window's timer. The window adapts Timer
// to it: tick() and pause() act on the timed TimeCard, which is the working
// set's current row whenever they are called, and write their results into it.
class ActiveCardTimer {
public:
    virtual ~ActiveCardTimer() = default;
    // The TimeCard whose timer runs; nullopt when none does.
    virtual std::optional<qint64> activeTimeCardId() const = 0;
    // One tick, so the time spent is up to date.
    virtual void tick() = 0;
    // `PauseTimer`: save keeps the time changes, else the run's start values return.
    virtual void pause(bool save) = 0;
    // The TimeCard's row was stored: what a run's end wrote into it is safe.
    virtual void rowStored(qint64 timeCardId) { Q_UNUSED(timeCardId) }
};

// Why the current row is about to change (the event's reason).
enum class ChangeReason { AddNew, Modify, Move, Delete };

// The parts of the journal mirror and the window the editor calls at the
// points the lifecycle fixes. Any may be left empty.
struct EditorHooks {
    // `ProcessJournalEntry`: the row as it is about to be saved, for its journal entry.
    std::function<void(const TimeCard &card)> ProcessJournalEntry;
    // `NewJournalEntry`: a new TimeCard's journal item; its EntryID, empty when
    // none could be made.
    std::function<QString()> NewJournalEntry;
    // A journal item made for a TimeCard whose row could then not be stored:
    // removed again, so that no item stands in the journal for nothing.
    std::function<void(const QString &entryId)> discardJournalEntry;
    // The stored TimeCard's journal entry: the one it points at while it can be
    // found, else one written anew from the row (its dates, contact, activities,
    // description) that the stored row already points at. Its EntryID; empty
    // when none could be made.
    std::function<QString(const TimeCard &card)> ensureJournalEntry;
    // The window shows the row that has just become current (pick lists, rates,
    // value, navigator); it has been settled here first.
    std::function<void()> showRow;
    // The database server went away (ErrorNumber::ConnectionLost): true when the
    // person has been told and the work is kept to be saved when it is back. The
    // current TimeCard's changes then stay pending instead of being dropped.
    std::function<bool(const QvError &error)> serverLost;
};

struct EditorOptions {
    ValidationOptions validation;
    bool autoSave = true; // "AutoSave": settle a running timer without asking
};

// Sets a flag for a scope and puts it back afterwards.
class [[nodiscard]] FlagScope {
public:
    explicit FlagScope(bool &flag) : m_flag(flag), m_was(flag) { m_flag = true; }
    ~FlagScope() { m_flag = m_was; }
    FlagScope(const FlagScope &) = delete;
    FlagScope &operator=(const FlagScope &) = delete;

private:
    bool &m_flag;
    bool m_was;
};

// The edit state of the main window's current TimeCard over the working set:
// validation and saving when it is left, what is settled when a row becomes
// current, creation, and the TimeCard with the running timer. Listens to the
// set's moves for as long as it lives.
class TimeCardEditor : public db::RecordsetListener {
public:
    TimeCardEditor(db::Recordset &timeCards, Prompts &prompts, EditorOptions options,
                   EditorHooks hooks = {});
    ~TimeCardEditor() override;
    TimeCardEditor(const TimeCardEditor &) = delete;
    TimeCardEditor &operator=(const TimeCardEditor &) = delete;

    void setTimer(ActiveCardTimer *timer) { m_timer = timer; }
    void setOptions(const EditorOptions &options) { m_options = options; }
    db::Recordset &timeCards() { return m_rs; }

    bool adding() const { return m_adding; }
    bool deleting() const { return m_deleting; }
    bool locked() const { return m_locked; }
    // While set, the record-set events leave the row alone.
    FlagScope deletingScope() { return FlagScope(m_deleting); }
    // The next change event is ignored once: for code that writes the row itself.
    void suppressNextChange() { m_suppressOnce = true; }
    bool changeSuppressed() const { return m_suppressOnce; }

    qint32 currentContactId() const { return m_contactId; }
    // The contact was chosen again on the current TimeCard.
    void setCurrentContactId(qint32 id) { m_contactId = id; }
    const QString &currentJournalEntryId() const { return m_journalEntryId; }
    // The current TimeCard's journal entry, found or written anew (the set then
    // takes the stored row); its EntryID, empty when there is none. An invoiced
    // TimeCard is left as it is.
    QString ensureJournalEntry();
    std::optional<qint64> currentTimeCardId() const;
    bool timerRunsHere() const;

    // A field of the window changed without having been written to the row yet.
    void setFieldsChanged(bool changed) { m_fieldsChanged = changed; }
    // `DataChangedProperty`: the current TimeCard has unsaved changes.
    bool DataChangedProperty() const;
    // Writes a field of the current TimeCard; false (nothing written) when it is locked.
    bool writeField(const QString &name, const QVariant &value);

    // The current TimeCard as it would be validated.
    TimeCardEntry currentEntry() const;
    // `ValidateCurrentRecord`: validates and, when valid and changed, saves. True
    // when the TimeCard may be left. After a refusal, focus() says where to mend.
    bool ValidateCurrentRecord();
    const FocusTarget &focus() const { return m_focus; }

    // `adoTimeCardRS_WillChangeRecord`.
    void adoTimeCardRS_WillChangeRecord(ChangeReason reason);
    // Everything leaving the current TimeCard takes: validation, the journal
    // entry, the save. False when it must stay current. Call before every move.
    bool leaveCurrent();
    // `adoTimeCardRS_MoveComplete`, also run for the set's own move events.
    void adoTimeCardRS_MoveComplete();
    void moveComplete(db::Recordset &) override { adoTimeCardRS_MoveComplete(); }
    void recordStored(db::Recordset &) override;

    // `Form_QueryUnload`'s questions about the current TimeCard, asked once the
    // timer is settled: unsaved changes are saved or dropped ("Save Changes",
    // Cancel stays), and a TimeCard that lacks required information is either
    // completed (" Incomplete TimeCard", Yes stays and shows what is missing)
    // or deleted with deleteCurrent (No). True: the window may close.
    bool QueryUnload(const std::function<bool()> &deleteCurrent);

    // `ProcessActiveCard`: settles the TimeCard with the running timer before a
    // new TimeCard is created or the window closes. True: go on.
    bool ProcessActiveCard();

    // `CreateNewTimeCard`: adds a TimeCard with the defaults given at the time
    // of adding and makes it current. Its TimeCardID; nullopt when nothing was
    // created (the running timer's TimeCard stays, or the current one is invalid).
    std::optional<qint64> CreateNewTimeCard(const std::function<TimeCardDefaults()> &defaults);

private:
    bool save();
    void journal(const TimeCard &card);
    void tell(const QvError &error);

    db::Recordset &m_rs;
    Prompts &m_prompts;
    EditorOptions m_options;
    EditorHooks m_hooks;
    ActiveCardTimer *m_timer = nullptr;

    bool m_adding = false;
    bool m_deleting = false;
    bool m_suppressOnce = false;
    bool m_locked = false;
    bool m_fieldsChanged = false;
    qint32 m_contactId = 0;
    QString m_journalEntryId;
    // The journal entry CreateNewTimeCard has just written, until its row arrives.
    QString m_createdEntryId;
    FocusTarget m_focus;
};

} // namespace quorvale
