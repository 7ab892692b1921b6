#include "qvadmin/ReportTimesheet.h"

#include "platform/core/Duration.h"

#include <QLocale>

namespace quorvale::admin {

namespace {

// The columns of the timesheet kind's statement.
enum In { TimeCard, Date, Contact, Activity1, Activity2, Description, Time };

} // namespace

ReportTable weeklyTimesheet(const ReportTable &timeCards, QDate monday)
{
    ReportTable sheet;
    sheet.title = timeCards.title;
    for (const int i : {TimeCard, Contact, Activity1, Activity2, Description})
        sheet.columns.push_back(timeCards.columns.at(i));
    const QLocale c = QLocale::c();
    for (int day = 0; day < 7; ++day) {
        const QDate date = monday.addDays(day);
        sheet.columns.push_back(
            {c.dayName(date.dayOfWeek(), QLocale::ShortFormat) + u' ' + date.toString(Qt::ISODate),
             ReportFormat::Duration, true});
    }
    sheet.columns.push_back({QStringLiteral("Total"), ReportFormat::Duration, true});

    for (const QVariantList &in : timeCards.rows) {
        const qint64 day = monday.daysTo(in.at(Date).toDate());
        if (day < 0 || day > 6)
            continue;
        const Duration time = Duration::fromColumnOrZero(in.at(Time));
        QVariantList row;
        for (const int i : {TimeCard, Contact, Activity1, Activity2, Description})
            row << in.at(i);
        for (int d = 0; d < 7; ++d)
            row << (d == day ? QVariant(time.toShown()) : QVariant());
        row << time.toShown();
        sheet.rows.push_back(std::move(row));
    }
    return sheet;
}

} // namespace quorvale::admin
