#include "timecards/BillingStatus.h"

#include "timecards/TimeCardValue.h"

#include <algorithm>
#include <array>
#include <utility>

namespace quorvale {

namespace {

using T = BillingTreatment;

// TimeCards spell "No Charge", expenses and fixed charges "No charge"; either
// spelling means the same wherever it is found.
constexpr std::array<std::pair<const char *, BillingTreatment>, 6> Statuses{{
    {"Billable", T::Charged},
    {"No Charge", T::NoCharge},
    {"No charge", T::NoCharge},
    {"Subject to fixed charge", T::Covered},
    {"Hold", T::Held},
    {"Do not bill", T::NotBilled},
}};

QString quoted(const char *text)
{
    return u'\'' + QString::fromLatin1(text) + u'\'';
}

// The quoted statuses of the given treatments, for an IN list.
QString statusList(std::initializer_list<BillingTreatment> treatments)
{
    QStringList texts;
    for (const auto &[text, treatment] : Statuses)
        if (std::find(treatments.begin(), treatments.end(), treatment) != treatments.end())
            texts << quoted(text);
    return texts.join(QStringLiteral(", "));
}

// The exact product of a ten-thousandths amount and a realization in hundredths
// of a percent, to whole cents (half away from zero) and back to ten-thousandths.
// Integer division truncates toward zero on both engines, hence the two branches.
QString chargeAmountSql(const QString &amount, const QString &realization)
{
    const QString product =
        QStringLiteral("(COALESCE(%1, 0) * CAST(ROUND(COALESCE(%2, 1) * %3) AS BIGINT))")
            .arg(amount, realization)
            .arg(Realization::Full);
    const qint64 toCents = Realization::Full * (Money::Scale / 100);
    return QStringLiteral("(CASE WHEN %1 >= 0 THEN (%1 + %2) / %3 ELSE -((%2 - %1) / %3) END "
                          "* %4)")
        .arg(product)
        .arg(toCents / 2)
        .arg(toCents)
        .arg(Money::Scale / 100);
}

} // namespace

BillingTreatment billingTreatment(const QString &status)
{
    for (const auto &[text, treatment] : Statuses)
        if (status == QLatin1String(text))
            return treatment;
    // A status nobody chose (an empty one, or a text from an older version) is
    // neither billed unasked nor dropped from what the client owes.
    return T::Held;
}

bool goesOnInvoice(BillingTreatment treatment)
{
    return treatment == T::Charged || treatment == T::NoCharge || treatment == T::Covered;
}

QString billingTreatmentText(BillingTreatment treatment)
{
    switch (treatment) {
    case T::Charged:
        return QStringLiteral("Billable");
    case T::NoCharge:
        return QStringLiteral("No charge");
    case T::Covered:
        return QStringLiteral("Covered by a fixed charge");
    case T::Held:
        return QStringLiteral("On hold, stays open");
    case T::NotBilled:
        return QStringLiteral("Not to be billed");
    }
    return {};
}

QString billingTreatmentHelp(BillingTreatment treatment)
{
    switch (treatment) {
    case T::Charged:
        return QStringLiteral("Goes on the client's next invoice at its value.");
    case T::NoCharge:
        return QStringLiteral("Goes on the client's next invoice, shown as no charge.");
    case T::Covered:
        return QStringLiteral(
            "Goes on the client's next invoice at no charge, naming the fixed charge that covers "
            "it.");
    case T::Held:
        return QStringLiteral("Stays open and off invoices until its status changes; still "
                              "counted as work in process.");
    case T::NotBilled:
        return QStringLiteral(
            "Stays open and is never invoiced, nor counted as work in process or receivable.");
    }
    return {};
}

Money chargeBilledAmount(Money amount, Realization realization)
{
    const std::int64_t toCents = Realization::Full * (Money::Scale / 100);
    const Money cents = amount.mulDiv(realization.hundredthsOfPercent(), toCents);
    return Money::fromUnits(cents.units() * (Money::Scale / 100));
}

QString invoicedConditionSql(const QString &status)
{
    return QStringLiteral("%1 IN (%2)")
        .arg(status, statusList({T::Charged, T::NoCharge, T::Covered}));
}

QString owedConditionSql(const QString &status)
{
    return QStringLiteral("COALESCE(%1, '') NOT IN (%2)").arg(status, statusList({T::NotBilled}));
}

QString billedTimeValueSql(const QString &status, const QString &value)
{
    return QStringLiteral("(CASE WHEN %1 IN (%2) THEN COALESCE(%3, 0) ELSE 0 END)")
        .arg(status, statusList({T::Charged}), value);
}

QString openTimeValueSql(const QString &status, const QString &value)
{
    return QStringLiteral("(CASE WHEN %1 IN (%2) THEN 0 ELSE COALESCE(%3, 0) END)")
        .arg(status, statusList({T::NoCharge, T::Covered, T::NotBilled}), value);
}

QString billedChargeAmountSql(const QString &status, const QString &amount,
                              const QString &realization)
{
    return QStringLiteral("(CASE WHEN %1 IN (%2) THEN %3 ELSE 0 END)")
        .arg(status, statusList({T::Charged}), chargeAmountSql(amount, realization));
}

QString openChargeAmountSql(const QString &status, const QString &amount,
                            const QString &realization)
{
    return QStringLiteral("(CASE WHEN %1 IN (%2) THEN 0 ELSE %3 END)")
        .arg(status, statusList({T::NoCharge, T::Covered, T::NotBilled}),
             chargeAmountSql(amount, realization));
}

} // namespace quorvale
