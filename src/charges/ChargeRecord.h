#pragma once

#include "charges/ChargeCodes.h"
#include "charges/ChargeTexts.h"
#include "charges/ExpenseClass.h"
#include "timecards/TimeCardValue.h"

#include <QDate>
#include <QString>
#include <optional>

namespace quorvale {

// One expense or fixed charge as the window shows it: ids for what is chosen
// from lists, and the quantity, rate and amount as the texts in their fields,
// so that what a person typed is checked exactly as typed.
struct ChargeRecord {
    std::optional<qint64> id; // ExpenseID / ProductID; nullopt until stored
    qint32 codeId = NoChargeCode;
    std::optional<qint64> timeCardId; // set for a row linked to a TimeCard
    qint32 contactId = 0;
    QString contactName;
    qint32 activity1Id = 0; // 0: none chosen
    qint32 activity2Id = 0;
    QString jobOrder;
    QDate startDate;
    QDate endDate; // expenses only
    QString description;
    QString purpose; // expenses only, as the class allows
    QString location;
    QString participants;
    QString quantityText = QStringLiteral("1");
    QString rateText;
    QString amountText;
    QString billStatus = QLatin1String(ChargeTexts::Billable);
    Realization realization;
    // Which expense-only fields the type's class takes.
    ClassFields fields;
    // Set by reimbursement or invoicing: the row is shown but not changed.
    bool reimbursed = false;
    bool invoiced = false;

    bool linked() const { return timeCardId.has_value(); }
    bool readOnly(bool isExpense) const { return invoiced || (isExpense && reimbursed); }

    bool operator==(const ChargeRecord &) const = default;
};

// A new charge's defaults: no type, one unit, a zero rate and amount, billable,
// dated today (start and end).
ChargeRecord newChargeRecord(QDate today, const QLocale &locale = QLocale());

// Choosing a type (`cboType_Click`): the code's rate unless the rate shown is
// already that rate, the amount for the quantity, the code's description and,
// for an expense, the fields of its class. The empty entry (or a code no longer
// offered) clears the rate, amount and description.
void chooseChargeCode(ChargeRecord &record, const ChargeCodes &codes, qint32 codeId, bool isExpense,
                      const QString &userName, const QLocale &locale = QLocale());

// After the quantity or the rate is left: a quantity that is not a number
// becomes "1", a rate that is not a number 0; the rate is shown again and,
// with both numbers, the amount follows.
void settleQuantityAndRate(ChargeRecord &record, const QLocale &locale = QLocale());

} // namespace quorvale
