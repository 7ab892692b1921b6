#include "ChargeRecord.h"

#include "timecards/RateChoices.h"

namespace quorvale {

ChargeRecord newChargeRecord(QDate today, const QLocale &locale)
{
    ChargeRecord r;
    r.startDate = today;
    r.endDate = today;
    r.rateText = currencyText(Money(), locale);
    r.amountText = currencyText(Money(), locale);
    return r;
}

void chooseChargeCode(ChargeRecord &record, const ChargeCodes &codes, qint32 codeId, bool isExpense,
                      const QString &userName, const QLocale &locale)
{
    const ChargeCode *code = codes.find(codeId);
    if (!code) {
        record.codeId = NoChargeCode;
        record.rateText = chargeRateText(Money(), locale);
        record.amountText = currencyText(Money(), locale);
        record.description.clear();
        if (isExpense)
            FormatExpenseClass(record, QString(), false, userName);
        return;
    }
    record.codeId = code->id;
    if (isExpense)
        FormatExpenseClass(record, code->expenseClass, false, userName);
    const Money codeRate = code->rate.value_or(Money());
    const std::optional<Money> shown = chargeNumber(record.rateText, locale);
    if (!shown || *shown != codeRate)
        record.rateText = chargeRateText(codeRate, locale);
    const std::optional<Money> quantity = chargeNumber(record.quantityText, locale);
    const Money rate = chargeNumber(record.rateText, locale).value_or(Money());
    record.amountText = currencyText(chargeAmount(quantity.value_or(Money()), rate), locale);
    record.description = code->description;
}

void settleQuantityAndRate(ChargeRecord &record, const QLocale &locale)
{
    std::optional<Money> quantity = chargeNumber(record.quantityText, locale);
    if (!quantity) {
        record.quantityText = QStringLiteral("1");
        quantity = Money::fromWhole(1);
    }
    const Money rate = chargeNumber(record.rateText, locale).value_or(Money());
    record.rateText = chargeRateText(rate, locale);
    record.amountText = currencyText(chargeAmount(*quantity, rate), locale);
}

} // namespace quorvale
