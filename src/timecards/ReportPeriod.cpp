#include "timecards/ReportPeriod.h"

namespace quorvale {

QDate weekStart(QDate day)
{
    return day.addDays(1 - day.dayOfWeek());
}

ReportDates reportDates(ReportPeriodChoice choice, QDate today, QDate customFrom, QDate customTo)
{
    switch (choice) {
    case ReportPeriodChoice::ThisWeek: {
        const QDate monday = weekStart(today);
        return {monday, monday.addDays(6)};
    }
    case ReportPeriodChoice::LastWeek: {
        const QDate monday = weekStart(today).addDays(-7);
        return {monday, monday.addDays(6)};
    }
    case ReportPeriodChoice::ThisMonth: {
        const QDate first(today.year(), today.month(), 1);
        return {first, first.addMonths(1).addDays(-1)};
    }
    case ReportPeriodChoice::LastMonth: {
        const QDate first = QDate(today.year(), today.month(), 1).addMonths(-1);
        return {first, first.addMonths(1).addDays(-1)};
    }
    case ReportPeriodChoice::Custom:
        break;
    }
    return {customFrom, customTo};
}

QString reportDatesProblem(const ReportDates &dates)
{
    if (!dates.from.isValid() || !dates.to.isValid())
        return QStringLiteral("Choose both the first and the last day of the report.");
    if (dates.from > dates.to)
        return QStringLiteral("The report's first day, %1, is after its last day, %2.")
            .arg(dates.from.toString(Qt::ISODate), dates.to.toString(Qt::ISODate));
    return {};
}

} // namespace quorvale
