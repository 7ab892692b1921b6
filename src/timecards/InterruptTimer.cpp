#include "timecards/InterruptTimer.h"

#include "timecards/Clock.h"
#include "timecards/TimeCalcs.h"
#include "timecards/Timer.h"
#include "timecards/TimerDisplay.h"

namespace quorvale {

InterruptTimer::InterruptTimer(Timer &timer, const Clock &clock, InterruptTimerHost &host)
    : m_timer(timer), m_clock(clock), m_host(host)
{
}

bool InterruptTimer::counting() const
{
    return m_timer.mode() == TimerMode::Interruption && m_timer.ticking();
}

QString InterruptTimer::display() const
{
    if (m_timer.mode() != TimerMode::Interruption)
        return timerDisplayText(0);
    return m_timer.MainTimer_Timer({}).display;
}

bool InterruptTimer::mnuStartTempTimer()
{
    if (m_timer.mode() == TimerMode::Interruption) {
        if (m_timer.ticking())
            m_timer.pauseInterruption();
        else
            m_timer.continueInterruption();
        m_tools.startCaption = counting() ? QStringLiteral("&Pause") : QStringLiteral("&Start");
        return true;
    }

    m_resumeTimeCardId.reset();
    if (m_timer.ProcessTimerInterface().isCurrent) {
        if (auto ended = m_timer.PauseTimer(true, m_host.timeSegmentNote(), m_host.valueInputs())) {
            m_resumeTimeCardId = ended->timeCardId;
            m_host.runEnded(*ended);
        }
    }
    if (m_timer.mode() != TimerMode::Idle &&
        (!m_host.processActiveCard() || m_timer.mode() != TimerMode::Idle)) {
        CleanUpInterruptTimer();
        return false;
    }

    m_timer.startInterruption();
    m_tools.startCaption = QStringLiteral("&Pause");
    m_tools.pasteToNewEnabled = true;
    m_tools.pasteToCurrentEnabled = true;
    m_tools.cancelEnabled = true;
    m_tools.resumeEnabled = m_resumeTimeCardId.has_value();
    m_host.timerInterfaceChanged();
    return true;
}

std::optional<qint64> InterruptTimer::endCount()
{
    if (m_timer.mode() != TimerMode::Interruption)
        return std::nullopt;
    return m_timer.endInterruption();
}

bool InterruptTimer::pasteToNewTimeCard(const QString &note)
{
    const auto seconds = endCount();
    if (!seconds)
        return false;
    const QDateTime now = m_clock.now();
    const InterruptPaste paste{note,       *seconds,   ConvertSecondsToTime(*seconds),
                               now.date(), now.time(), *seconds > MaxDurationSeconds};
    CleanUpInterruptTimer();
    m_host.pasteToNewTimeCard(paste);
    return true;
}

bool InterruptTimer::pasteToCurrentTimeCard(const QString &note)
{
    auto current = m_host.currentTimeSpent();
    if (!current || m_timer.mode() != TimerMode::Interruption)
        return false;
    // Read before the count ends, so a TimeCard whose time is no duration leaves
    // the interruption running.
    const qint64 before = ConvertTimeToSeconds(*current);
    const qint64 seconds = *endCount();
    const qint64 sum = before + seconds;
    const QDateTime now = m_clock.now();
    const InterruptPaste paste{note,       seconds,    ConvertSecondsToTime(sum),
                               now.date(), now.time(), sum > MaxDurationSeconds};
    CleanUpInterruptTimer();
    m_host.pasteToCurrentTimeCard(paste);
    return true;
}

void InterruptTimer::cancel()
{
    endCount();
    CleanUpInterruptTimer();
}

void InterruptTimer::mnuResume()
{
    const auto timeCardId = m_resumeTimeCardId;
    endCount();
    CleanUpInterruptTimer();
    if (timeCardId)
        m_host.resumeTimer(*timeCardId);
}

void InterruptTimer::CleanUpInterruptTimer()
{
    m_tools = InterruptTools();
    m_resumeTimeCardId.reset();
    m_host.timerInterfaceChanged();
}

} // namespace quorvale
