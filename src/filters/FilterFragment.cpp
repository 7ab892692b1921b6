#include "FilterFragment.h"

#include <algorithm>

namespace quorvale {

const QStringList &dateOperators()
{
    static const QStringList operators{QStringLiteral("On"), QStringLiteral("On or before"),
                                       QStringLiteral("On of after")};
    return operators;
}

const QStringList &rateOperators()
{
    static const QStringList operators{QStringLiteral("Equal to"), QStringLiteral("Less than"),
                                       QStringLiteral("More than")};
    return operators;
}

bool FilterCriteria::isEmpty() const
{
    return BuildFilterFragment(*this).isEmpty();
}

namespace {

// An unknown or empty operator counts as the first one, as an unset list does.
int operatorIndex(const QStringList &operators, const QString &chosen)
{
    return std::max<int>(0, static_cast<int>(operators.indexOf(chosen)));
}

void addDate(SqlFragment &fragment, const char *column, const QString &op, const QDate &date)
{
    static const char *const comparisons[] = {" = ?", " <= ?", " >= ?"};
    const int index = operatorIndex(dateOperators(), op);
    // Dates are stored without a time of day, so the bound day compares exactly.
    fragment.add(QStringLiteral("tblTimeCards.") + QLatin1String(column) +
                     QLatin1String(comparisons[index]),
                 {date});
}

void addText(SqlFragment &fragment, const char *column, const QString &value)
{
    if (!value.isEmpty())
        fragment.add(QStringLiteral("tblTimeCards.") + QLatin1String(column) +
                         QStringLiteral(" = ?"),
                     {value});
}

void addId(SqlFragment &fragment, const char *column, qint32 id)
{
    if (id != 0)
        fragment.add(
            QStringLiteral("tblTimeCards.") + QLatin1String(column) + QStringLiteral(" = ?"), {id});
}

} // namespace

SqlFragment BuildFilterFragment(const FilterCriteria &c)
{
    SqlFragment fragment;
    addId(fragment, "ContactID", c.contactId);
    addId(fragment, "Activity1ID", c.activity1Id);
    addId(fragment, "Activity2ID", c.activity2Id);
    addText(fragment, "BillStatus", c.billStatus);
    addText(fragment, "RateSource", c.rateSource);
    addText(fragment, "EntryType", c.entryType);
    addText(fragment, "Category", c.categories);
    if (c.rateEntered) {
        static const char *const comparisons[] = {" = ?", " < ?", " > ?"};
        fragment.add(QStringLiteral("tblTimeCards.Rate") +
                         QLatin1String(comparisons[operatorIndex(rateOperators(), c.rateOperator)]),
                     {c.rate.toStored()});
    }
    if (c.startDateEntered && c.startDate.isValid())
        addDate(fragment, "StartDate", c.startDateOperator, c.startDate);
    if (c.endDateEntered && c.endDate.isValid())
        addDate(fragment, "EndDate", c.endDateOperator, c.endDate);
    addText(fragment, "JobOrder", c.jobOrder);
    return fragment;
}

} // namespace quorvale
