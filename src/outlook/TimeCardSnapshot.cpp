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

QString TimeCardSnapshot::durationText(const QString &sevenDigits)
{
    QString digits = sevenDigits.trimmed();
    digits.replace(QLatin1Char(' '), QLatin1Char('0'));
    if (digits.isEmpty())
        digits = QStringLiteral("0000000");
    digits = digits.rightJustified(7, QLatin1Char('0'));
    return digits.left(digits.size() - 4) + QLatin1Char(':') + digits.mid(digits.size() - 4, 2) +
           QLatin1Char(':') + digits.right(2);
}

} // namespace quorvale
