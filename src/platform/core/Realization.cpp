#include "platform/core/Realization.h"

#include <cmath>
#include <cstdlib>

namespace quorvale {

Realization Realization::fromStored(const QVariant &stored)
{
    bool ok = false;
    const double fraction = stored.isNull() ? 0.0 : stored.toDouble(&ok);
    if (!ok || !std::isfinite(fraction))
        return Realization();
    return fromHundredthsOfPercent(std::llround(fraction * Full));
}

QVariant Realization::toStored() const
{
    return QVariant(static_cast<double>(m_hundredths) / Full);
}

QString Realization::toDisplayString() const
{
    // Whole percent, half away from zero.
    const std::int64_t percent = (std::llabs(m_hundredths) + 50) / 100;
    return QString::number(m_hundredths < 0 ? -percent : percent) + QLatin1Char('%');
}

} // namespace quorvale
