#include "timecards/RateChoices.h"

#include <cstdlib>

namespace quorvale {

QString currencyText(Money amount, const QLocale &locale)
{
    const std::int64_t cents = amount.mulDiv(1, 100).units();
    const std::int64_t magnitude = std::llabs(cents);
    const QString number = locale.toString(static_cast<qlonglong>(magnitude / 100)) +
                           locale.decimalPoint() +
                           QStringLiteral("%1").arg(magnitude % 100, 2, 10, QLatin1Char('0'));
    // The locale's own pattern for a currency amount places the symbol and sign.
    QString pattern = locale.toCurrencyString(static_cast<qlonglong>(cents < 0 ? -1 : 1));
    return pattern.replace(QLatin1Char('1'), number);
}

RateList FillRateCombo(const RateCard &card, const RateContext &context)
{
    RateList list;
    const RateSelection applied = applicableRate(card.rateSource, card.rateLevel, context.options);
    const std::optional<SourceRates> rates =
        FetchSourceRates(applied, card.keys, context.options, context.lookup);
    if (!rates)
        return list;
    for (Money rate : *rates) {
        list.rates.push_back(rate);
        list.entries << currencyText(rate, context.locale);
    }
    list.selected = rateLevelIndex(applied.level).value_or(-1);
    return list;
}

namespace {

RateFields withValue(RateCard card, bool flatFeeShown, RateList list, const RateContext &context)
{
    RateFields fields;
    fields.value =
        CalculateTimeSpentValue({card.rateSource, card.quantity, card.rate, card.flatRate,
                                 card.realization, context.realizationInUse});
    fields.rateText = currencyText(card.rate, context.locale);
    fields.valueText = currencyText(fields.value, context.locale);
    fields.card = std::move(card);
    fields.flatFeeShown = flatFeeShown;
    fields.list = std::move(list);
    return fields;
}

} // namespace

RateFields cbRateSource_Click(const RateCard &card, const QString &chosen,
                              const RateContext &context)
{
    RateCard next = card;
    const RateSelection applied = applicableRate(chosen, card.rateLevel, context.options);
    next.rateSource = applied.source;
    next.rateLevel = applied.level;
    const bool flatFee = next.rateSource == FlatFeeSource;
    if (!flatFee) {
        if (const std::optional<Money> rate = FetchHourlyRate(
                next.rateSource, next.rateLevel, next.keys, context.options, context.lookup))
            next.rate = *rate;
    }
    RateList list = FillRateCombo(next, context);
    return withValue(std::move(next), flatFee, std::move(list), context);
}

RateFields cbHourlyRate_Click(const RateCard &card, const RateList &shown, int index,
                              const RateContext &context)
{
    RateCard next = card;
    RateList list = shown;
    // A fixed source fixes the level too: the list only shows its rates.
    if (!context.options.rateSourceFixed && index >= 0 &&
        static_cast<std::size_t>(index) < shown.rates.size()) {
        next.rate = shown.rates[static_cast<std::size_t>(index)];
        next.rateLevel = QString::number(index + 1);
        list.selected = index;
    }
    const bool flatFee = next.rateSource == FlatFeeSource;
    return withValue(std::move(next), flatFee, std::move(list), context);
}

} // namespace quorvale
