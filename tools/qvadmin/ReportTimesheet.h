#pragma once

#include "qvadmin/ReportTable.h"

namespace quorvale::admin {

// The timesheet kind's rows (TimeCard, Date, Contact, Activity 1, Activity 2,
// Description, Time) turned into one week from `monday`: a row per TimeCard
// with its time under its day, Monday to Sunday, a total per row, and the
// days' totals in the totals line. Rows dated outside the week are left out.
ReportTable weeklyTimesheet(const ReportTable &timeCards, QDate monday);

} // namespace quorvale::admin
