#include "timecards/IdleWatch.h"

#include "timecards/Clock.h"

namespace quorvale {

namespace {

QDateTime wholeSecond(const QDateTime &moment)
{
    return moment.addMSecs(-moment.time().msec());
}

} // namespace

void IdleWatch::setThreshold(qint64 seconds)
{
    m_threshold = std::max<qint64>(0, seconds);
    m_idleSince.reset();
}

std::optional<IdleSpell> IdleWatch::check(bool timing)
{
    if (m_threshold == 0 || !timing) {
        // A run that ended while nobody was there needs no question.
        m_idleSince.reset();
        return std::nullopt;
    }
    const std::optional<qint64> idle = m_source.idleMilliseconds();
    if (!idle)
        return std::nullopt;
    const QDateTime lastInput = wholeSecond(m_clock.now().addMSecs(-*idle));
    if (*idle >= m_threshold * 1000) {
        if (!m_idleSince)
            m_idleSince = lastInput;
        return std::nullopt;
    }
    if (!m_idleSince)
        return std::nullopt;
    // Input is back: the spell ends at the first input after it.
    IdleSpell spell{*m_idleSince, lastInput};
    m_idleSince.reset();
    if (spell.seconds() < m_threshold)
        return std::nullopt;
    return spell;
}

} // namespace quorvale
