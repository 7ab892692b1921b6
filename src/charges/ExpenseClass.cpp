#include "ExpenseClass.h"

#include "charges/ChargeRecord.h"

namespace quorvale {

ClassFields expenseClassFields(const QString &expenseClass)
{
    struct Row {
        const char *name;
        ClassFields fields;
    };
    static const Row table[] = {
        {"Travel", {true, true, false}},       {"Meals", {true, true, true}},
        {"Entertainment", {true, true, true}}, {"Transportation", {true, true, false}},
        {"Gifts", {true, false, true}},        {"Office", {false, false, false}},
        {"Other", {true, true, true}},
    };
    for (const Row &row : table)
        if (expenseClass == QLatin1String(row.name))
            return row.fields;
    return {};
}

void FormatExpenseClass(ChargeRecord &record, const QString &expenseClass, bool keepValues,
                        const QString &userName)
{
    const ClassFields was = record.fields;
    record.fields = expenseClassFields(expenseClass);
    if (keepValues)
        return;
    if (!record.fields.purpose)
        record.purpose.clear();
    if (!record.fields.location)
        record.location.clear();
    if (!record.fields.participants)
        record.participants.clear();
    // Only when the field opens up: participants someone typed under a
    // previous type that took them too stay.
    else if (!was.participants || record.participants.isEmpty())
        record.participants = userName + QStringLiteral("; ");
}

} // namespace quorvale
