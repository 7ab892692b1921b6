#include "timecards/Timer.h"

#include "timecards/ActiveRunStore.h"
#include "timecards/Clock.h"
#include "timecards/Rates.h"
#include "timecards/TimeCalcs.h"
#include "timecards/TimerDisplay.h"

#include <QLoggingCategory>

namespace quorvale {

Q_LOGGING_CATEGORY(lcTimer, "quorvale.timecards.timer")

Timer::Timer(const Clock &clock, ActiveRunStore *store) : m_clock(clock), m_store(store) {}

std::optional<qint64> Timer::activeTimeCardId() const
{
    if (m_mode != TimerMode::TimeCard)
        return std::nullopt;
    return m_timeCardId;
}

void Timer::setShownTimeCard(std::optional<qint64> timeCardId)
{
    m_isCurrent = m_mode == TimerMode::TimeCard && timeCardId == m_timeCardId;
}

std::optional<TimerStarted> Timer::StartTimer(const TimerCard &card,
                                              const std::function<bool()> &processActiveCard,
                                              const QString &segmentNote,
                                              const QDateTime &startedAt)
{
    if (m_mode != TimerMode::Idle && !(processActiveCard && processActiveCard()))
        return std::nullopt;
    if (m_mode != TimerMode::Idle)
        return std::nullopt;

    const QDateTime clockNow = m_clock.now();
    const QDateTime now = startedAt.isValid() && startedAt <= clockNow ? startedAt : clockNow;
    QString timeSpent = card.timeSpent;
    const qint64 base = ConvertTimeToSeconds(timeSpent);
    // Written before the run counts, so a run that is on is always recoverable.
    // It replaces a record of an ended run, which only the same TimeCard can
    // still have (leaving a row stores it): its time is in this run's base.
    if (m_store) {
        ActiveRun run;
        run.timeCardId = card.timeCardId;
        run.runStart = now;
        run.baseSeconds = base;
        run.keptTimeSpent = card.timeSpent;
        run.keptValue = card.value;
        run.lastSeen = now;
        run.note = segmentNote;
        m_store->save(run);
    }
    m_lastBeat = now;
    m_unstoredEnd.reset();

    m_mode = TimerMode::TimeCard;
    m_timeCardId = card.timeCardId;
    m_isCurrent = true;
    m_runStart = now;
    m_baseSeconds = base;
    m_keptTimeSpent = card.timeSpent;
    m_keptValue = card.value;

    TimerStarted started;
    started.setStartFields = base == 0;
    started.startDate = now.date();
    started.startTime = now.time();
    return started;
}

qint64 Timer::secondsNow() const
{
    if (!m_runStart.isValid())
        return m_baseSeconds;
    // A clock set back during the run must not eat time recorded before it.
    return m_baseSeconds + std::max<qint64>(0, m_runStart.secsTo(m_clock.now()));
}

qint64 Timer::runSeconds() const
{
    return m_runStart.isValid() ? std::max<qint64>(0, m_runStart.secsTo(m_clock.now())) : 0;
}

TimerTick Timer::tickAt(qint64 seconds, const TimerValueInputs &inputs) const
{
    TimerTick tick;
    // The text cannot hold more; the value follows what is stored.
    tick.seconds = std::min(seconds, MaxDurationSeconds);
    tick.timeSpent = ConvertSecondsToTime(tick.seconds);
    tick.display = timerDisplayText(tick.seconds);
    tick.showOnCard = m_mode == TimerMode::TimeCard && m_isCurrent;
    if (tick.showOnCard && inputs.billingInUse && inputs.rateSource != FlatFeeSource) {
        tick.value = inputs.hourlyRate ? timeSpentValue(tick.seconds, *inputs.hourlyRate,
                                                        inputs.realizationInUse ? inputs.realization
                                                                                : Realization())
                                       : Money();
    }
    return tick;
}

TimerTick Timer::MainTimer_Timer(const TimerValueInputs &inputs) const
{
    return tickAt(secondsNow(), inputs);
}

std::optional<TimerEnded> Timer::PauseTimer(bool save, const QString &segmentNote,
                                            const TimerValueInputs &inputs,
                                            const QDateTime &endedAt)
{
    if (m_mode != TimerMode::TimeCard)
        return std::nullopt;
    const QDateTime now = m_clock.now();
    // An end before the run's start ends it where it began: nothing of it counts.
    const QDateTime end = endedAt.isValid() && endedAt <= now ? std::max(endedAt, m_runStart) : now;
    // The end reaches only the row's edit buffer: until that is stored the
    // record says how the run ended, so a crash in between loses nothing.
    if (m_store)
        m_store->markEnded(end, save, segmentNote);
    m_unstoredEnd = m_timeCardId;

    TimerEnded ended;
    ended.timeCardId = m_timeCardId;
    ended.saved = save;
    if (save) {
        // The end is shown on the TimeCard whether or not it is the shown row.
        const bool wasCurrent = m_isCurrent;
        m_isCurrent = true;
        ended.final = tickAt(m_baseSeconds + std::max<qint64>(0, m_runStart.secsTo(end)), inputs);
        m_isCurrent = wasCurrent;
        ended.endDate = end.date();
        ended.endTime = end.time();
        ended.segment = {m_runStart, end, std::max<qint64>(0, m_runStart.secsTo(end)), segmentNote};
    } else {
        ended.restoredTimeSpent = m_keptTimeSpent;
        ended.restoredValue = m_keptValue;
    }

    m_mode = TimerMode::Idle;
    m_isCurrent = false;
    m_runStart = QDateTime();
    m_baseSeconds = 0;
    m_keptTimeSpent.clear();
    m_keptValue.reset();
    return ended;
}

TimerInterface Timer::ProcessTimerInterface() const
{
    TimerInterface ui;
    ui.running = m_mode == TimerMode::TimeCard;
    ui.isCurrent = ui.running && m_isCurrent;
    ui.startTimerCaption =
        ui.running ? QStringLiteral("&Pause Timer") : QStringLiteral("&Start Timer");
    ui.startTimerTip = ui.running ? QStringLiteral("Pause Timer") : QStringLiteral("Start Timer");
    ui.startTimerEnabled = m_mode != TimerMode::Interruption;
    ui.cancelTimerEnabled = ui.running;
    ui.timeSegmentEnabled = ui.running;
    return ui;
}

QString Timer::windowCaption(const QString &userName, bool minimized) const
{
    if (minimized && m_mode != TimerMode::Idle)
        return minimizedCaption(std::min(secondsNow(), MaxDurationSeconds));
    return mainWindowCaption(userName);
}

bool Timer::startInterruption()
{
    if (m_mode != TimerMode::Idle)
        return false;
    m_mode = TimerMode::Interruption;
    m_baseSeconds = 0;
    m_runStart = m_clock.now();
    return true;
}

void Timer::pauseInterruption()
{
    if (m_mode != TimerMode::Interruption || !m_runStart.isValid())
        return;
    m_baseSeconds = secondsNow();
    m_runStart = QDateTime();
}

void Timer::continueInterruption()
{
    if (m_mode == TimerMode::Interruption && !m_runStart.isValid())
        m_runStart = m_clock.now();
}

qint64 Timer::endInterruption()
{
    if (m_mode != TimerMode::Interruption)
        return 0;
    const qint64 seconds = secondsNow();
    m_mode = TimerMode::Idle;
    m_runStart = QDateTime();
    m_baseSeconds = 0;
    return seconds;
}

void Timer::segmentRecorded(qint64 timeCardId)
{
    if (!m_store || m_unstoredEnd != timeCardId)
        return;
    try {
        m_store->markSegmentRecorded();
    } catch (const std::exception &e) {
        qCWarning(lcTimer) << "could not note the run's time detail:" << e.what();
    }
}

void Timer::rowStored(qint64 timeCardId)
{
    if (m_unstoredEnd != timeCardId)
        return;
    try {
        if (m_store)
            m_store->clear();
        m_unstoredEnd.reset();
    } catch (const std::exception &e) {
        qCWarning(lcTimer) << "could not clear the ended run:" << e.what();
    }
}

void Timer::heartbeat(const QString &segmentNote)
{
    if (m_mode != TimerMode::TimeCard || !m_store)
        return;
    const QDateTime now = m_clock.now();
    // A clock set back is written at once, so the record never runs ahead of it.
    const qint64 since = m_lastBeat.isValid() ? m_lastBeat.msecsTo(now) : HeartbeatMs;
    if (since >= 0 && since < HeartbeatMs)
        return;
    try {
        m_store->markSeen(now, segmentNote);
        m_lastBeat = now;
    } catch (const std::exception &e) {
        qCWarning(lcTimer) << "could not note the running timer:" << e.what();
    }
}

} // namespace quorvale
