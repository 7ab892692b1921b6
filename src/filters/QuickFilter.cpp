#include "QuickFilter.h"

namespace quorvale {

QuickFilterType quickFilterTypeOf(int setting)
{
    switch (setting) {
    case 1:
        return QuickFilterType::Activity1;
    case 2:
        return QuickFilterType::Activity2;
    default:
        return QuickFilterType::Contact;
    }
}

SqlFragment quickFilterFragment(QuickFilterTable table, QuickFilterType type, qint32 id)
{
    SqlFragment fragment;
    if (id == 0)
        return fragment;
    QString clause;
    switch (table) {
    case QuickFilterTable::TimeCards:
        clause = QStringLiteral("tblTimeCards");
        break;
    case QuickFilterTable::Expenses:
        clause = QStringLiteral("tblExpenses");
        break;
    case QuickFilterTable::FixedCharges:
        clause = QStringLiteral("tblFixedCharges");
        break;
    }
    switch (type) {
    case QuickFilterType::Contact:
        clause += QStringLiteral(".ContactID = ?");
        break;
    case QuickFilterType::Activity1:
        clause += QStringLiteral(".Activity1ID = ?");
        break;
    case QuickFilterType::Activity2:
        clause += QStringLiteral(".Activity2ID = ?");
        break;
    }
    fragment.add(clause, {id});
    return fragment;
}

} // namespace quorvale
