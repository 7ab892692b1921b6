#pragma once

#include "session/ProgramParts.h"
#include "timecards/IdleWatch.h"
#include "timecards/InterruptTimerHost.h"
#include "timecards/SegmentNotes.h"
#include "timecards/TimeAdjust.h"
#include "timecards/TimeCardDelete.h"

#include <QObject>
#include <QTimer>
#include <QVariant>
#include <functional>
#include <memory>
#include <optional>

namespace quorvale {

class ActiveRunStore;
class Clock;
class KeptEdits;
class Prompts;
class TimeCardBinder;
class TimeCardEditor;
class TimeCardMirror;
class TimerReminders;
class TimerBinding;
struct TimeCard;

// One person's TimeCard road without a window: the working set's editor, the
// journal mirror it keeps in step, the binder the fields write through, the
// timer and its run store. The main window, the benchmark and the tests build
// this one composition and only bind to it.
class TimeCardSession : public QObject {
    Q_OBJECT
public:
    // The parts of the road a benchmark times separately.
    enum class Part { JournalEntry, JournalLookup, NewJournalEntry, TimeDetail };
    // Runs each part; the program passes none and the parts simply run.
    using PartProbe = std::function<void(Part, const std::function<void()> &)>;

    TimeCardSession(const ProgramParts &parts, Prompts &prompts, const Clock &clock,
                    PartProbe probe = {});
    ~TimeCardSession() override;
    TimeCardSession(const TimeCardSession &) = delete;
    TimeCardSession &operator=(const TimeCardSession &) = delete;

    TimeCardEditor &editor() { return *m_editor; }
    TimeCardMirror &mirror() { return *m_mirror; }
    TimeCardBinder &binder() { return *m_binder; }
    TimerBinding &timer() { return *m_timer; }
    ActiveRunStore &runStore() { return *m_runStore; }
    SegmentNotes &notes() { return m_notes; }
    const Clock &clock() const { return m_clock; }

    // The first current row is settled and the timer follows it.
    void start();

    enum class NewCard { Created, ServerAway, Refused };
    // F11: a new TimeCard with its defaults and its journal entry. ServerAway:
    // the person has been told; Refused: the current TimeCard could not be left.
    // The timer starts on it when the settings say so, unless noAutostart.
    NewCard CreateNewTimeCard(bool noAutostart = false);

    // At start-up: changes kept on this computer while the server was away are
    // saved, and a run the program left on when it stopped is settled as the
    // person chooses (on top of those changes).
    void settleLeftOvers();
    // Closing while the server is away: the current TimeCard's unsaved changes
    // are kept on this computer for the next start.
    void keepUnsavedEdits();
    // Time spent elsewhere (out-of-office time) added to the current TimeCard;
    // false when nothing changed.
    bool addTimeSpent(qint64 seconds);
    // F9: the TimeCard whose timer runs becomes current. False when the current
    // one could not be left (the editor's focus names the field to mend).
    bool goToActiveCard();

    // An interruption's time pasted to the current TimeCard (after a new one
    // was made for it when toNewCard), its note with it.
    void paste(const InterruptPaste &paste, bool toNewCard);
    // The current TimeCard's stored time spent; nullopt without one.
    std::optional<QString> currentTimeSpent() const;
    // The interruption ended: the timer goes on on the TimeCard it was on.
    void resumeTimer(qint64 timeCardId);
    // Add or Subtract Time on the time spent, or on the estimate; true when changed.
    bool adjustTime(AdjustDirection direction, bool estimate);
    // What deleting a TimeCard takes with it, and where it says so.
    DeleteContext deleteContext(std::function<void(const QString &)> status);
    // The server is back: the current TimeCard's pending changes and the runs'
    // time details kept meanwhile are written; false when not all could be.
    bool writeKeptWork();

    // Watches the desktop's idle time while a TimeCard is timed (source null:
    // no watch) and asks about every spell as long as the settings' "Idle
    // Minutes" when the person is back; a change of the setting counts from the
    // next look.
    void watchIdle(IdleSource *source);
    bool watchingIdle() const { return m_idleWatch != nullptr; }
    // One look at the idle time, as the watch's own timer takes it; a spell
    // that ended is told through idleEnded().
    void checkIdle();
    // Asks what the spell was and acts on it: kept in the run, left out of it,
    // or left out and moved to a new TimeCard of its own (which becomes current).
    void settleIdle(const IdleSpell &spell);

    // Reminders of a forgotten timer, told through reminder(): a long run or
    // one past the working day (looked at every minute by the session's own
    // timer, or now), and at start-up no run within working hours.
    void checkReminders();
    void startUpReminder();

Q_SIGNALS:
    // A row has just become current and is settled: show it.
    void rowShown();
    // A timed run was recorded as a time-detail appointment.
    void segmentRecorded();
    // A reminder for the person, in words.
    void reminder(const QString &text);
    // The person is back after a spell without input during a run: whoever
    // shows the session settles it (settleIdle), the way its commands run.
    void idleEnded(const IdleSpell &spell);

private:
    template <typename F> auto timed(Part part, F &&work);
    // The one place a TimeCard's journal entry is looked for and, when gone,
    // written anew; the editor asks it on arriving at a row and for the Links
    // page. Its EntryID, empty when none could be made.
    QString ensureJournalEntry(const TimeCard &card);
    // The current TimeCard's bookmark; invalid when there is none.
    QVariant currentBookmark() const;
    void saveKeptEdits();
    void settleLeftOverRun();

    ProgramParts m_parts;
    std::unique_ptr<IdleWatch> m_idleWatch;
    QTimer *m_idleTimer = nullptr;
    bool m_settlingIdle = false;
    std::unique_ptr<TimerReminders> m_reminders;
    Prompts &m_prompts;
    const Clock &m_clock;
    PartProbe m_probe;
    SegmentNotes m_notes;
    std::unique_ptr<TimeCardMirror> m_mirror;
    std::unique_ptr<TimeCardEditor> m_editor;
    std::unique_ptr<TimeCardBinder> m_binder;
    std::unique_ptr<ActiveRunStore> m_runStore;
    std::unique_ptr<TimerBinding> m_timer;
    std::unique_ptr<KeptEdits> m_keptEdits;
    std::unique_ptr<LinkedItemDeleter> m_itemDeleter;
};

} // namespace quorvale
