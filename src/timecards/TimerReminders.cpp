#include "timecards/TimerReminders.h"

#include "timecards/Clock.h"

namespace quorvale {

namespace {

bool workingDay(const QDate &day)
{
    return day.dayOfWeek() <= 5;
}

QString hoursAndMinutes(qint64 seconds)
{
    const qint64 minutes = seconds / 60;
    if (minutes < 60)
        return QStringLiteral("%1 minutes").arg(minutes);
    return QStringLiteral("%1 h %2 min")
        .arg(minutes / 60)
        .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

std::optional<QString> TimerReminders::check(std::optional<qint64> activeTimeCardId,
                                             qint64 runSeconds)
{
    if (activeTimeCardId != m_run) {
        m_run = activeTimeCardId;
        m_toldLong = false;
        m_toldAfterHours = {};
    }
    if (!activeTimeCardId)
        return std::nullopt;
    const QDateTime now = m_clock.now();
    if (m_settings.longRunMinutes > 0 && !m_toldLong &&
        runSeconds >= qint64{m_settings.longRunMinutes} * 60) {
        m_toldLong = true;
        return QStringLiteral("The timer has run on TimeCard %1 for %2 without a pause. Still "
                              "at it? F3 pauses it; the time up to now is kept.")
            .arg(*activeTimeCardId)
            .arg(hoursAndMinutes(runSeconds));
    }
    if (m_settings.dayEnd.isValid() && now.time() >= m_settings.dayEnd &&
        m_toldAfterHours != now.date()) {
        m_toldAfterHours = now.date();
        return QStringLiteral("It is past %1 and the timer still runs on TimeCard %2. F3 pauses "
                              "it.")
            .arg(m_settings.dayEnd.toString(QStringLiteral("HH:mm")))
            .arg(*activeTimeCardId);
    }
    return std::nullopt;
}

std::optional<QString> TimerReminders::atStartUp(bool timing) const
{
    const QDateTime now = m_clock.now();
    if (timing || !m_settings.dayStart.isValid() || !m_settings.dayEnd.isValid() ||
        !workingDay(now.date()) || now.time() < m_settings.dayStart ||
        now.time() >= m_settings.dayEnd)
        return std::nullopt;
    return QStringLiteral("No timer runs. F3 times the TimeCard shown, F11 starts a new one.");
}

} // namespace quorvale
