#include "timecards/TimeCardValue.h"

#include "platform/core/Duration.h"
#include "platform/db/Connection.h"
#include "timecards/Rates.h"

#include <cmath>

namespace quorvale {

namespace {

Money roundedToCents(Money m)
{
    return Money::fromUnits(m.mulDiv(1, 100).units() * 100);
}

bool allDigits(const QString &text)
{
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

} // namespace

std::optional<Realization> parseTypedRealization(const QString &typed)
{
    QString text = typed.trimmed();
    text.remove(QLatin1Char('%'));
    const qsizetype dot = text.indexOf(QLatin1Char('.'));
    QString whole = dot < 0 ? text : text.left(dot);
    const QString fraction = dot < 0 ? QString() : text.mid(dot + 1);
    if ((whole.isEmpty() && fraction.isEmpty()) || !allDigits(whole) || !allDigits(fraction))
        return std::nullopt;
    while (whole.startsWith(QLatin1Char('0')))
        whole.remove(0, 1);
    if (whole.size() > 3)
        return std::nullopt;
    // Two decimals kept, the third rounds them.
    const QString kept = fraction.left(3).leftJustified(3, QLatin1Char('0'));
    std::int64_t hundredths = whole.toLongLong() * 100 + kept.left(2).toLongLong();
    if (kept.at(2) >= QLatin1Char('5'))
        ++hundredths;
    if (hundredths > Realization::Full)
        return std::nullopt;
    return Realization::fromHundredthsOfPercent(hundredths);
}

RealizationEntry txtRealization_LostFocus(const QString &typed, Realization stored)
{
    const Realization entered = parseTypedRealization(typed).value_or(stored);
    return {entered, entered != stored, entered.toDisplayString()};
}

std::optional<Realization> GetRealization(db::Connection &cnnLink, RealizationKind kind,
                                          qint32 contactId)
{
    QString sql;
    switch (kind) {
    case RealizationKind::Time:
        sql = QStringLiteral("SELECT TimeRealization FROM tblContacts WHERE ContactID = ?");
        break;
    case RealizationKind::Expense:
        sql = QStringLiteral("SELECT ExpenseRealization FROM tblContacts WHERE ContactID = ?");
        break;
    case RealizationKind::FixedCharge:
        sql = QStringLiteral("SELECT FixedChargeRealization FROM tblContacts WHERE ContactID = ?");
        break;
    }
    const QVariant value = cnnLink.scalar(sql, {contactId});
    if (!value.isValid() || value.isNull())
        return std::nullopt;
    return Realization::fromStored(value);
}

Realization applicableRealization(db::Connection &cnnLink, RealizationKind kind,
                                  std::optional<qint32> contactId, bool realizationInUse)
{
    if (!realizationInUse || !contactId)
        return Realization();
    return GetRealization(cnnLink, kind, *contactId).value_or(Realization());
}

std::int64_t timeSpentSeconds(const QVariant &quantity)
{
    return Duration::fromColumnOrZero(quantity).seconds();
}

Money timeSpentValue(std::int64_t seconds, Money hourlyRate, Realization realization)
{
    // Cents straight from the exact product: one rounding, never a rounded
    // hourly share rounded again.
    const std::int64_t centsDenominator = 3600 * Realization::Full * (Money::Scale / 100);
    const Money cents =
        hourlyRate.mulDiv(seconds * realization.hundredthsOfPercent(), centsDenominator);
    return Money::fromUnits(cents.units() * (Money::Scale / 100));
}

Money CalculateTimeSpentValue(const ValueInputs &inputs)
{
    if (inputs.rateSource == FlatFeeSource)
        return roundedToCents(inputs.flatRate);
    const Realization realization = inputs.realizationInUse ? inputs.realization : Realization();
    return timeSpentValue(timeSpentSeconds(inputs.quantity), inputs.rate, realization);
}

} // namespace quorvale
