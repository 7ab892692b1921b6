#include "ChargeTexts.h"

#include "timecards/RateChoices.h"

#include <QStringList>
#include <cstdlib>

namespace quorvale {

const QStringList &chargeBillStatuses()
{
    static const QStringList statuses{QStringLiteral("Billable"), QStringLiteral("Do not bill"),
                                      QStringLiteral("No charge"), QStringLiteral("Hold"),
                                      QStringLiteral("Subject to fixed charge")};
    return statuses;
}

std::optional<Money> chargeNumber(const QString &text, const QLocale &locale)
{
    QString plain = text.trimmed();
    const QString symbol = locale.currencySymbol();
    if (!symbol.isEmpty())
        plain.remove(symbol);
    plain.remove(locale.groupSeparator());
    if (locale.decimalPoint() != QLatin1String("."))
        plain.replace(locale.decimalPoint(), QStringLiteral("."));
    plain = plain.trimmed();
    if (plain.isEmpty() || plain == QLatin1String("."))
        return std::nullopt;
    for (const QChar c : plain)
        if (!c.isDigit() && c != QLatin1Char('.') && c != QLatin1Char('-'))
            return std::nullopt;
    return Money::parse(plain);
}

QString chargeRateText(Money rate, const QLocale &locale)
{
    const std::int64_t units = std::llabs(rate.units());
    if (units % 100 != 0 && units % 10 == 0) {
        const QString whole = QString::number(rate.units() / Money::Scale);
        const QString sign =
            rate.units() < 0 && rate.units() > -Money::Scale ? QStringLiteral("-") : QString();
        return sign + whole + QLatin1Char('.') +
               QStringLiteral("%1").arg((units % Money::Scale) / 10, 3, 10, QLatin1Char('0'));
    }
    return currencyText(rate, locale);
}

Money chargeAmount(Money quantity, Money rate)
{
    return rate.mulDiv(quantity.units(), Money::Scale);
}

qint32 wholeQuantity(Money quantity)
{
    const std::int64_t units = quantity.units();
    std::int64_t whole = units / Money::Scale;
    const std::int64_t rest = std::llabs(units % Money::Scale);
    const std::int64_t away = units < 0 ? -1 : 1;
    if (rest * 2 > Money::Scale || (rest * 2 == Money::Scale && whole % 2 != 0))
        whole += away;
    return static_cast<qint32>(whole);
}

} // namespace quorvale
