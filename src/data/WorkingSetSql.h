#pragma once

#include <QString>

namespace quorvale {

// The statements of the main window's working sets: the user's uninvoiced
// TimeCards, expenses and fixed charges. The filters append " AND ..." fragments
// to `timeCardBase` and `timeCardWhere`, so their shape is part of the contract.
struct WorkingSetSql {
    QString timeCardBase;  // the SELECT without ORDER BY
    QString timeCardWhere; // " WHERE " + the same conditions
    QString expenses;
    QString fixedCharges;

    // userId is a number the program holds, never text a person typed.
    static WorkingSetSql build(bool contactInUse, bool includeHidden, qint32 userId);
};

} // namespace quorvale
