#include "TimerBinding.h"

#include "platform/core/QvError.h"
#include "session/TimeCardBinder.h"
#include "timecards/SegmentNotes.h"

namespace quorvale {

TimerBinding::TimerBinding(const Clock &clock, ActiveRunStore *store, TimeCardEditor &editor,
                           TimeCardBinder &binder, QObject *parent)
    : QObject(parent), m_timer(clock, store), m_editor(editor), m_binder(binder)
{
    m_mainTimer.setInterval(1000);
    connect(&m_mainTimer, &QTimer::timeout, this, &TimerBinding::secondTick);
}

void TimerBinding::secondTick()
{
    const TimerTick t = m_timer.MainTimer_Timer(inputs());
    if (const std::optional<qint64> active = m_timer.activeTimeCardId())
        m_timer.heartbeat(m_notes ? m_notes->note(*active) : QString());
    Q_EMIT ticked();
    if (!t.showOnCard)
        return;
    write(QStringLiteral("Quantity"), t.timeSpent);
    if (t.value)
        write(QStringLiteral("Value"), t.value->toStored());
    Q_EMIT changed();
}

TimerValueInputs TimerBinding::inputs() const
{
    const db::Recordset &rs = m_editor.timeCards();
    TimerValueInputs in;
    in.billingInUse = m_binder.context().billingInUse;
    in.rateSource = rs.value(QStringLiteral("RateSource")).toString();
    in.hourlyRate = Money::fromStored(rs.value(QStringLiteral("Rate")));
    in.realization = Realization::fromStored(rs.value(QStringLiteral("Realization")));
    in.realizationInUse = m_binder.context().rates.realizationInUse;
    return in;
}

void TimerBinding::write(const QString &column, const QVariant &value)
{
    // The row would refuse an invoiced TimeCard; the timer never starts on one.
    m_editor.writeField(column, value);
}

void TimerBinding::followTicking()
{
    if (m_timer.ticking() && m_timer.mode() == TimerMode::TimeCard)
        m_mainTimer.start();
    else
        m_mainTimer.stop();
    Q_EMIT changed();
}

void TimerBinding::rowShown()
{
    m_timer.setShownTimeCard(m_editor.currentTimeCardId());
}

void TimerBinding::startOrPause()
{
    const std::optional<qint64> id = m_editor.currentTimeCardId();
    if (!id || m_editor.locked())
        return;
    if (m_timer.activeTimeCardId() == id) {
        pause(true);
        return;
    }
    const db::Recordset &rs = m_editor.timeCards();
    TimerCard card{*id, rs.value(QStringLiteral("Quantity")).toString(), std::nullopt};
    if (m_binder.context().billingInUse)
        card.value = Money::fromStored(rs.value(QStringLiteral("Value")));
    const std::optional<TimerStarted> started = m_timer.StartTimer(
        card, [this] { return m_editor.ProcessActiveCard(); },
        m_notes ? m_notes->note(*id) : QString());
    if (started && started->setStartFields) {
        write(QStringLiteral("StartDate"), started->startDate);
        write(QStringLiteral("StartTime"), started->startTime);
        write(QStringLiteral("EndTime"), started->startTime);
    }
    followTicking();
}

bool TimerBinding::leaveOut(const QDateTime &from, const QDateTime &to)
{
    const std::optional<qint64> id = m_editor.currentTimeCardId();
    if (!id || m_timer.activeTimeCardId() != id)
        return false;
    const QString note = m_notes ? m_notes->note(*id) : QString();
    const std::optional<TimerEnded> ended = m_timer.PauseTimer(true, note, inputs(), from);
    if (!ended)
        return false;
    runEnded(*ended);
    const db::Recordset &rs = m_editor.timeCards();
    TimerCard card{*id, rs.value(QStringLiteral("Quantity")).toString(), std::nullopt};
    if (m_binder.context().billingInUse)
        card.value = Money::fromStored(rs.value(QStringLiteral("Value")));
    m_timer.StartTimer(card, {}, QString(), to);
    followTicking();
    return true;
}

void TimerBinding::cancel()
{
    if (m_timer.activeTimeCardId() && m_timer.activeTimeCardId() == m_editor.currentTimeCardId())
        pause(false);
}

void TimerBinding::tick()
{
    const TimerTick t = m_timer.MainTimer_Timer(inputs());
    write(QStringLiteral("Quantity"), t.timeSpent);
    if (t.value)
        write(QStringLiteral("Value"), t.value->toStored());
}

void TimerBinding::pause(bool save)
{
    const std::optional<qint64> active = m_timer.activeTimeCardId();
    // Read, not taken: should the run not end, its note must stay.
    const QString note = active && m_notes ? m_notes->note(*active) : QString();
    const std::optional<TimerEnded> ended = m_timer.PauseTimer(save, note, inputs());
    if (ended)
        runEnded(*ended);
}

void TimerBinding::runEnded(const TimerEnded &ended)
{
    if (m_notes)
        m_notes->take(ended.timeCardId);
    if (ended.saved) {
        write(QStringLiteral("Quantity"), ended.final.timeSpent);
        if (ended.final.value)
            write(QStringLiteral("Value"), ended.final.value->toStored());
        write(QStringLiteral("EndDate"), ended.endDate);
        write(QStringLiteral("EndTime"), ended.endTime);
        if (m_recordSegment && !recordSegment(ended.timeCardId, ended.segment))
            m_waiting.push_back({ended.timeCardId, ended.segment});
    } else {
        write(QStringLiteral("Quantity"), ended.restoredTimeSpent);
        if (ended.restoredValue)
            write(QStringLiteral("Value"), ended.restoredValue->toStored());
    }
    followTicking();
}

bool TimerBinding::recordSegment(qint64 timeCardId, const TimeSegment &segment)
{
    try {
        m_recordSegment(segment);
    } catch (const QvError &error) {
        if (!isConnectionLost(error) || !m_serverLost || !m_serverLost(error))
            throw;
        return false;
    }
    m_timer.segmentRecorded(timeCardId);
    return true;
}

void TimerBinding::recordWaiting(qint64 timeCardId)
{
    for (auto it = m_waiting.begin(); it != m_waiting.end();) {
        if (it->timeCardId != timeCardId) {
            ++it;
            continue;
        }
        if (!recordSegment(it->timeCardId, it->segment))
            return; // still away: the rest wait with it
        it = m_waiting.erase(it);
    }
}

void TimerBinding::rowStored(qint64 timeCardId)
{
    // The run's record goes only once its time detail is recorded too: until
    // then a crash or a quit leaves it for the next start to record.
    recordWaiting(timeCardId);
    for (const Waiting &w : m_waiting)
        if (w.timeCardId == timeCardId)
            return;
    m_timer.rowStored(timeCardId);
}

} // namespace quorvale
