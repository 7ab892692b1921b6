#include "timecards/TimerDisplay.h"

#include "timecards/TimeCalcs.h"

namespace quorvale {

QString timerDisplayText(qint64 seconds)
{
    // Shown as the column holds it: never past 999:59:59.
    return QLatin1Char(' ') +
           Duration::fromSeconds(qBound<qint64>(0, seconds, MaxDurationSeconds)).toShown();
}

QString mainWindowCaption(const QString &userName)
{
    return QStringLiteral("  Quorvale:  ") + userName;
}

QString minimizedCaption(qint64 seconds)
{
    return timerDisplayText(seconds) + QStringLiteral("  Quorvale");
}

} // namespace quorvale
