#pragma once

#include <QDateTime>
#include <optional>

namespace quorvale {

class Clock;

// The question asked when a person is back: values "from", "to" (date-times)
// and "seconds" in; "choice" out, one of "keep", "discard" and "move".
// Declined, the idle time is kept.
inline constexpr const char *IdleTimeDialogName = "IdleTime";

// How long the desktop has had no keyboard or mouse input.
class IdleSource {
public:
    virtual ~IdleSource() = default;
    // nullopt when the session cannot tell (no such service on this desktop).
    virtual std::optional<qint64> idleMilliseconds() = 0;
};

// Time without input at the desktop while a TimeCard was timed: from the last
// input before it to the first one after, to the second.
struct IdleSpell {
    QDateTime from;
    QDateTime to;
    qint64 seconds() const { return from.secsTo(to); }
};

// Notices idle time during a run. Asked every CheckSeconds (never per tick),
// it remembers when input stopped once the idle time reaches the threshold,
// and hands over the whole spell when input comes back.
class IdleWatch {
public:
    static constexpr int CheckSeconds = 5;

    IdleWatch(const Clock &clock, IdleSource &source) : m_clock(clock), m_source(source) {}

    // Seconds without input that count as idle; 0 turns the watch off.
    void setThreshold(qint64 seconds);
    qint64 threshold() const { return m_threshold; }

    // timing: a TimeCard's timer runs. A spell that began while it ran and has
    // just ended; nothing while idle goes on, or when the run ended meanwhile.
    std::optional<IdleSpell> check(bool timing);
    // When to ask next: every second while a spell is on, so that its end is
    // known to the second; else every CheckSeconds.
    int nextCheckMs() const { return m_idleSince ? 1000 : CheckSeconds * 1000; }

private:
    const Clock &m_clock;
    IdleSource &m_source;
    qint64 m_threshold = 0;
    std::optional<QDateTime> m_idleSince;
};

} // namespace quorvale
