#include "outlook/TimeCardSnapshot.h"

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

} // namespace quorvale
