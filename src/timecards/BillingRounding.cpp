#include "timecards/BillingRounding.h"

#include <algorithm>

namespace quorvale {

QString BillingRounding::text() const
{
    if (!active())
        return {};
    const char *how = direction == RoundingDirection::Up        ? "up"
                      : direction == RoundingDirection::Nearest ? "to the nearest"
                                                                : "down";
    return QStringLiteral("%1-minute steps, rounded %2")
        .arg(incrementMinutes)
        .arg(QLatin1String(how));
}

BillingRounding BillingRounding::fromStored(const QVariant &increment, const QVariant &direction)
{
    BillingRounding r;
    const int minutes = increment.isNull() ? 0 : increment.toInt();
    if (std::ranges::find(BillingIncrements, minutes) != std::end(BillingIncrements))
        r.incrementMinutes = minutes;
    const int how = direction.isNull() ? 0 : direction.toInt();
    if (how >= 0 && how <= 2)
        r.direction = static_cast<RoundingDirection>(how);
    return r;
}

Duration billedTime(Duration recorded, const BillingRounding &rounding)
{
    if (!rounding.active() || recorded.seconds() <= 0)
        return recorded;
    const qint64 step = qint64(rounding.incrementMinutes) * 60;
    const qint64 s = recorded.seconds();
    qint64 steps = s / step;
    switch (rounding.direction) {
    case RoundingDirection::Up:
        steps += s % step != 0 ? 1 : 0;
        break;
    case RoundingDirection::Nearest:
        steps += (s % step) * 2 >= step ? 1 : 0;
        break;
    case RoundingDirection::Down:
        break;
    }
    return Duration::fromSeconds(steps * step);
}

Money billedValue(Money value, Duration recorded, const BillingRounding &rounding, bool flatFee)
{
    if (flatFee || !rounding.active() || recorded.seconds() <= 0)
        return value;
    return value.mulDiv(billedTime(recorded, rounding).seconds(), recorded.seconds());
}

} // namespace quorvale
