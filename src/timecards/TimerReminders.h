#pragma once

#include <QDate>
#include <QString>
#include <QTime>
#include <optional>

namespace quorvale {

class Clock;

// When a forgotten timer is worth a word: a run longer than a person's usual
// stretch, a run still on after the working day, and no run at all when the
// program starts during working hours. 0 minutes or an invalid time turns a
// reminder off.
struct ReminderSettings {
    int longRunMinutes = 4 * 60;
    QTime dayStart{8, 0};
    QTime dayEnd{18, 0};
};

// Says each reminder once: once per run for a long run, once per run and day
// after the working day. Reads the clock only; asked every minute or so.
class TimerReminders {
public:
    TimerReminders(const Clock &clock, ReminderSettings settings = {})
        : m_clock(clock), m_settings(settings)
    {
    }
    void setSettings(const ReminderSettings &settings) { m_settings = settings; }
    const ReminderSettings &settings() const { return m_settings; }

    // activeTimeCardId: the timed TimeCard (nullopt: none); runSeconds: how
    // long this run has gone on.
    std::optional<QString> check(std::optional<qint64> activeTimeCardId, qint64 runSeconds);
    // At start-up, on a working day within working hours, when no timer runs.
    std::optional<QString> atStartUp(bool timing) const;

private:
    const Clock &m_clock;
    ReminderSettings m_settings;
    std::optional<qint64> m_run;
    bool m_toldLong = false;
    QDate m_toldAfterHours;
};

} // namespace quorvale
