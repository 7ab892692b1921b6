#pragma once

#include <QString>

namespace quorvale {

// The two kinds of non-time charges. They share one window and one row shape;
// only the tables, the key and code column names and a few expense-only
// columns differ.
enum class ChargeKind { Expense, FixedCharge };

// How the charge window opens: a new row, one row, or all open rows.
enum class ChargeMode { Add = 0, EditOne = 1, ManageAll = 2 };

struct ChargeNames {
    QString table;      // tblExpenses / tblFixedCharges
    QString keyColumn;  // ExpenseID / ProductID
    QString codeColumn; // ExpenseCodeID / ProductCodeID
    QString codeTable;  // tblExpenseCodes / tblFixedChargeCodes
    QString codePrefix; // Expense / Product
    QString noun;       // "Expense" / "Fixed Charge"
    QString lowerNoun;  // "expense" / "fixed charge"
};

inline ChargeNames chargeNames(ChargeKind kind)
{
    if (kind == ChargeKind::Expense)
        return {QStringLiteral("tblExpenses"),   QStringLiteral("ExpenseID"),
                QStringLiteral("ExpenseCodeID"), QStringLiteral("tblExpenseCodes"),
                QStringLiteral("Expense"),       QStringLiteral("Expense"),
                QStringLiteral("expense")};
    return {QStringLiteral("tblFixedCharges"), QStringLiteral("ProductID"),
            QStringLiteral("ProductCodeID"),   QStringLiteral("tblFixedChargeCodes"),
            QStringLiteral("Product"),         QStringLiteral("Fixed Charge"),
            QStringLiteral("fixed charge")};
}

} // namespace quorvale
