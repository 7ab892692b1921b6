#pragma once

#include <QString>

namespace quorvale {

struct ChargeRecord;

// Which of the expense-only fields an expense class takes.
struct ClassFields {
    bool purpose = false;
    bool location = false;
    bool participants = false;

    bool operator==(const ClassFields &) const = default;
};

// The class table: Travel, Meals, Entertainment, Transportation, Gifts,
// Office, Other; any other class, or none, takes none of the three.
ClassFields expenseClassFields(const QString &expenseClass);

// `FormatExpenseClass`: sets which fields record takes for expenseClass. Unless
// values are kept (a stored row being shown), a field that the class does not
// take is cleared, and participants that the class newly takes start with the
// user's own name followed by "; ".
void FormatExpenseClass(ChargeRecord &record, const QString &expenseClass, bool keepValues,
                        const QString &userName);

} // namespace quorvale
