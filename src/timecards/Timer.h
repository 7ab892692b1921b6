#pragma once

#include "timecards/TimerTypes.h"

#include <QDateTime>
#include <functional>
#include <optional>

namespace quorvale {

class ActiveRunStore;
class Clock;

enum class TimerMode {
    Idle,
    TimeCard,     // timing the active TimeCard
    Interruption, // timing an interruption (the interrupt window's count)
};

// The main window's timer: at most one run at a time, of a TimeCard or of an
// interruption. Every figure is base seconds + (now - run start) from the
// clock, never a count of ticks, so a late, missed or blocked tick loses
// nothing. Ticks read the clock only; the optional store hears of a TimeCard
// run when it starts and ends and on heartbeat(), so that a crash can be
// recovered from (ActiveRunStore).
class Timer {
public:
    // heartbeat() writes at the first tick this long after its last write: with
    // one-second ticks, writes are under 5 s apart, so a crash takes less than
    // that from "up to when the program stopped", and three ticks in four write
    // nothing.
    static constexpr qint64 HeartbeatMs = 4000;

    explicit Timer(const Clock &clock, ActiveRunStore *store = nullptr);

    TimerMode mode() const { return m_mode; }
    // MainTimer is enabled: a run is being counted (a paused interruption is not).
    bool ticking() const { return m_runStart.isValid(); }
    // When the present run began; invalid while nothing is counted.
    const QDateTime &runStart() const { return m_runStart; }
    std::optional<qint64> activeTimeCardId() const;

    // The shown row changed: the is-current flag follows whether it is the
    // active TimeCard. nullopt: no TimeCard is shown.
    void setShownTimeCard(std::optional<qint64> timeCardId);

    // Starts a run on the shown TimeCard. While any run (of this or another
    // TimeCard, or an interruption) is on, processActiveCard is asked first to
    // settle it (`ProcessActiveCard`, usually through PauseTimer); nullopt, and
    // nothing starts, when it says not to continue or leaves a run on.
    // segmentNote: the time segment note already waiting for this TimeCard.
    // Throws QvError when the store cannot record the run; then nothing starts.
    // startedAt: a moment already past at which the run began (a person back
    // from idle time it does not count); now when null or later than now.
    std::optional<TimerStarted> StartTimer(const TimerCard &card,
                                           const std::function<bool()> &processActiveCard,
                                           const QString &segmentNote = {},
                                           const QDateTime &startedAt = {});

    // One tick (`MainTimer_Timer`). Reads the clock, nothing else.
    TimerTick MainTimer_Timer(const TimerValueInputs &inputs) const;

    // Ends the TimeCard run: save keeps the time up to now, else the values of
    // the run's start come back. nullopt when no TimeCard run is on. The end
    // goes only into the row's edit buffer, so the store's record is marked
    // ended first and kept until rowStored() for this TimeCard; should the mark
    // throw, the run goes on and nothing is lost.
    // endedAt: a moment already past at which the run ended (where idle time
    // began; the run's start if before it); now when null or later than now.
    std::optional<TimerEnded> PauseTimer(bool save, const QString &segmentNote,
                                         const TimerValueInputs &inputs,
                                         const QDateTime &endedAt = {});
    // The ended run's time-detail appointment was made (a recovery must not
    // make it again). Failures are logged.
    void segmentRecorded(qint64 timeCardId);
    // The TimeCard's row was stored: an ended run of it is settled and its
    // record goes. Failures are logged: the record is then offered again at the
    // next start, which puts back the same time.
    void rowStored(qint64 timeCardId);

    TimerInterface ProcessTimerInterface() const;
    // The run's seconds so far: the time recorded before it plus its own; an
    // interruption's count. 0 while idle.
    qint64 secondsNow() const;
    // This run's own seconds, without what was recorded before it; 0 while
    // nothing is counted.
    qint64 runSeconds() const;

    // The main window's caption: "  Quorvale:  " + user name, or while the
    // window is minimized and a run is on, " hhh:mm:ss  Quorvale" so the
    // running time shows in the task bar.
    QString windowCaption(const QString &userName, bool minimized) const;

    // The interruption's count. startInterruption needs the timer idle (the
    // interrupt timer settles the TimeCard run first) and returns false else.
    bool startInterruption();
    void pauseInterruption();
    void continueInterruption();
    // Ends the interruption; its seconds up to now.
    qint64 endInterruption();

    // Called after every tick of a TimeCard run: once HeartbeatMs have passed
    // since the store last heard of the run, tells it the program still ran at
    // this moment, with the run's time segment note so far; for the choice "up
    // to when the program stopped" after a crash. Otherwise touches nothing.
    // Failures are logged: they cost only that choice's precision.
    void heartbeat(const QString &segmentNote);

private:
    TimerTick tickAt(qint64 seconds, const TimerValueInputs &inputs) const;

    const Clock &m_clock;
    ActiveRunStore *m_store;
    TimerMode m_mode = TimerMode::Idle;
    qint64 m_timeCardId = 0;
    bool m_isCurrent = false;
    QDateTime m_runStart; // invalid while nothing is counted
    qint64 m_baseSeconds = 0;
    QString m_keptTimeSpent;
    std::optional<Money> m_keptValue;
    QDateTime m_lastBeat; // when the store last heard the run was on
    // A run that ended into the row's edit buffer, not yet stored.
    std::optional<qint64> m_unstoredEnd;
};

} // namespace quorvale
