#include "timecards/TimerDisplay.h"

#include "timecards/TimeCalcs.h"

namespace quorvale {

QString timerDisplayText(qint64 seconds)
{
    const QString digits = ConvertSecondsToTime(seconds);
    return QLatin1Char(' ') + digits.left(3) + QLatin1Char(':') + digits.mid(3, 2) +
           QLatin1Char(':') + digits.mid(5, 2);
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
