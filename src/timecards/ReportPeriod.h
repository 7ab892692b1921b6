#pragma once

#include <QDate>
#include <QString>

namespace quorvale {

// The periods a report may cover, as a person names them.
enum class ReportPeriodChoice { ThisWeek, LastWeek, ThisMonth, LastMonth, Custom };

// A run of whole days, both ends included.
struct ReportDates {
    QDate from;
    QDate to;
    bool operator==(const ReportDates &) const = default;
};

// The Monday of the week `day` lies in: the firm's weeks run Monday to Sunday,
// whatever the locale's first day is.
QDate weekStart(QDate day);

// The days a choice covers, seen from `today`; Custom gives customFrom to
// customTo as they are (see reportDatesProblem).
ReportDates reportDates(ReportPeriodChoice choice, QDate today, QDate customFrom = {},
                        QDate customTo = {});

// Why those days cannot be reported on, in words for the person who chose
// them; empty when they can.
QString reportDatesProblem(const ReportDates &dates);

} // namespace quorvale
