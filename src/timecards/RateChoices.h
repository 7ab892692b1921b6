#pragma once

#include "platform/core/Money.h"
#include "timecards/Rates.h"
#include "timecards/TimeCardValue.h"

#include <QLocale>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <vector>

namespace quorvale {

// The "Currency" format: the locale's currency symbol and separators, two
// decimals rounded half away from zero. Computed from the exact amount.
QString currencyText(Money amount, const QLocale &locale = QLocale());

// The rate fields of the shown TimeCard.
struct RateCard {
    QString rateSource;
    QString rateLevel;
    Money rate;
    Money flatRate;
    QVariant quantity;
    Realization realization;
    RateKeys keys;
};

// What the window knows besides the TimeCard.
struct RateContext {
    RateOptions options;
    bool realizationInUse = false;
    RatesLookup lookup;
    QLocale locale;
};

// The hourly rate list (cbHourlyRate): the six rates of the source row in level
// order and the entry of the rate level (-1: none).
struct RateList {
    std::vector<Money> rates;
    QStringList entries; // the rates in the "Currency" format
    int selected = -1;
};

RateList FillRateCombo(const RateCard &card, const RateContext &context);

// The rate fields after a rate rule: what to store and what to show.
struct RateFields {
    RateCard card;
    bool flatFeeShown = false; // the flat fee field instead of the hourly rate
    RateList list;
    Money value;
    QString rateText;  // card.rate in the "Currency" format
    QString valueText; // value in the "Currency" format
};

// Choosing a rate source: the new source is stored (the administrator's while
// the source is fixed), the list refilled, the rate looked up for any source
// but "Flat Fee" (kept when nothing can be looked up) and the value recomputed.
RateFields cbRateSource_Click(const RateCard &card, const QString &chosen,
                              const RateContext &context);

// Choosing entry index of the shown list: its rate and level (index + 1), then
// the value. An index outside the list, or any choice while the administrator
// fixes the source and level, changes nothing but the value.
RateFields cbHourlyRate_Click(const RateCard &card, const RateList &shown, int index,
                              const RateContext &context);

} // namespace quorvale
