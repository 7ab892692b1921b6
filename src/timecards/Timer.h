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
    explicit Timer(const Clock &clock, ActiveRunStore *store = nullptr);

    TimerMode mode() const { return m_mode; }
    // MainTimer is enabled: a run is being counted (a paused interruption is not).
    bool ticking() const { return m_runStart.isValid(); }
    std::optional<qint64> activeTimeCardId() const;

    // The shown row changed: the is-current flag follows whether it is the
    // active TimeCard. nullopt: no TimeCard is shown.
    void setShownTimeCard(std::optional<qint64> timeCardId);

    // Starts a run on the shown TimeCard. While any run (of this or another
    // TimeCard, or an interruption) is on, processActiveCard is asked first to
    // settle it (`ProcessActiveCard`, usually through PauseTimer); nullopt, and
    // nothing starts, when it says not to continue or leaves a run on.
    // Throws QvError when the store cannot record the run; then nothing starts.
    std::optional<TimerStarted> StartTimer(const TimerCard &card,
                                           const std::function<bool()> &processActiveCard);

    // One tick (`MainTimer_Timer`). Reads the clock, nothing else.
    TimerTick MainTimer_Timer(const TimerValueInputs &inputs) const;

    // Ends the TimeCard run: save keeps the time up to now, else the values of
    // the run's start come back. nullopt when no TimeCard run is on. The store's
    // record of the run is cleared first; should that throw, the run goes on
    // and nothing is lost.
    std::optional<TimerEnded> PauseTimer(bool save, const QString &segmentNote,
                                         const TimerValueInputs &inputs);

    TimerInterface ProcessTimerInterface() const;

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

    // Tells the store the program still ran at this moment; for the choice
    // "up to when the program stopped" after a crash. Called from a slow timer
    // of its own (ActiveRunHeartbeat), never from a tick. Failures are logged:
    // they cost only that choice's precision.
    void heartbeat();

private:
    qint64 secondsNow() const;
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
};

} // namespace quorvale
