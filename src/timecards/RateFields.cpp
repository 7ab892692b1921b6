#include "timecards/RateFields.h"

#include <QStringList>

namespace quorvale {

QString rateColumnList()
{
    QStringList columns;
    for (int level = 1; level <= 6; ++level)
        columns << QStringLiteral("Rate%1").arg(level);
    return columns.join(QStringLiteral(", "));
}

QString moneyEditText(Money amount)
{
    if (amount.units() % 100 == 0)
        return amount.toDisplayString();
    return amount.toString();
}

std::optional<Money> parseRateText(const QString &typed)
{
    const QString text = typed.trimmed();
    if (text.isEmpty())
        return Money();
    const std::optional<Money> amount = Money::parse(text);
    if (!amount || *amount < Money())
        return std::nullopt;
    return amount;
}

QString realizationEditText(Realization realization)
{
    const std::int64_t hundredths = realization.hundredthsOfPercent();
    QString text = QString::number(hundredths / 100);
    if (const std::int64_t rest = std::abs(hundredths % 100); rest != 0) {
        text += QLatin1Char('.') + QString::number(rest).rightJustified(2, QLatin1Char('0'));
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
    }
    return text + QLatin1Char('%');
}

} // namespace quorvale
