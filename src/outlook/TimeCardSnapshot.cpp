#include "outlook/TimeCardSnapshot.h"

#include "platform/core/Duration.h"

namespace quorvale {

namespace {

QDateTime joined(const QDate &date, const QTime &time)
{
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time);
}

} // namespace

QDateTime TimeCardSnapshot::start() const
{
    return joined(startDate, startTime);
}

QDateTime TimeCardSnapshot::end() const
{
    return joined(endDate, endTime);
}

QString TimeCardSnapshot::durationText(const QString &sevenDigits)
{
    return Duration::fromColumnOrZero(sevenDigits).toShown();
}

} // namespace quorvale
