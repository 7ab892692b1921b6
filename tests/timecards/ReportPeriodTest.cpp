// The periods a report covers, at the edges of weeks, months and years.

#include "timecards/ReportPeriod.h"

#include "timecards/ReportRunner.h"

#include <gtest/gtest.h>

using namespace quorvale;

namespace {

using P = ReportPeriodChoice;

TEST(ReportPeriodTest, WeeksRunMondayToSundayAcrossTheNewYear)
{
    // Sunday belongs to the week before it, Monday starts one.
    EXPECT_EQ(weekStart(QDate(2026, 12, 13)), QDate(2026, 12, 7));
    EXPECT_EQ(weekStart(QDate(2026, 12, 14)), QDate(2026, 12, 14));
    EXPECT_EQ(weekStart(QDate(2027, 1, 1)), QDate(2026, 12, 28));

    const QDate newYearsDay(2027, 1, 1); // a Friday
    EXPECT_EQ(reportDates(P::ThisWeek, newYearsDay),
              (ReportDates{QDate(2026, 12, 28), QDate(2027, 1, 3)}));
    EXPECT_EQ(reportDates(P::LastWeek, newYearsDay),
              (ReportDates{QDate(2026, 12, 21), QDate(2026, 12, 27)}));
    // Seen from a Monday, last week ends the day before.
    EXPECT_EQ(reportDates(P::LastWeek, QDate(2027, 1, 4)),
              (ReportDates{QDate(2026, 12, 28), QDate(2027, 1, 3)}));
}

TEST(ReportPeriodTest, MonthsEndOnTheirLastDayAndLastMonthCrossesTheYear)
{
    EXPECT_EQ(reportDates(P::ThisMonth, QDate(2028, 2, 29)),
              (ReportDates{QDate(2028, 2, 1), QDate(2028, 2, 29)}));
    EXPECT_EQ(reportDates(P::ThisMonth, QDate(2027, 2, 1)),
              (ReportDates{QDate(2027, 2, 1), QDate(2027, 2, 28)}));
    EXPECT_EQ(reportDates(P::LastMonth, QDate(2027, 1, 31)),
              (ReportDates{QDate(2026, 12, 1), QDate(2026, 12, 31)}));
    // From the 31st, last month is the whole of a 30-day month.
    EXPECT_EQ(reportDates(P::LastMonth, QDate(2026, 12, 31)),
              (ReportDates{QDate(2026, 11, 1), QDate(2026, 11, 30)}));
    EXPECT_EQ(reportDates(P::LastMonth, QDate(2028, 3, 31)),
              (ReportDates{QDate(2028, 2, 1), QDate(2028, 2, 29)}));
}

TEST(ReportPeriodTest, ACustomPeriodIsTakenAsChosenAndRefusedBackwards)
{
    const ReportDates chosen =
        reportDates(P::Custom, QDate(2026, 12, 8), QDate(2026, 3, 1), QDate(2026, 3, 1));
    EXPECT_EQ(chosen, (ReportDates{QDate(2026, 3, 1), QDate(2026, 3, 1)}));
    EXPECT_TRUE(reportDatesProblem(chosen).isEmpty());

    const QString backwards = reportDatesProblem({QDate(2026, 3, 2), QDate(2026, 3, 1)});
    EXPECT_TRUE(backwards.contains("2026-03-02")) << backwards.toStdString();
    EXPECT_FALSE(reportDatesProblem({QDate(), QDate(2026, 3, 1)}).isEmpty());
}

TEST(ReportPeriodTest, TheRequestBecomesTheAdministratorToolsOptions)
{
    ReportSource source;
    source.userId = 4;
    source.outputDir = QStringLiteral("/tmp/out");
    const ReportRequest request{QStringLiteral("timesheet"), QDate(2026, 12, 7),
                                QDate(2026, 12, 13), 12, QStringLiteral("open")};
    EXPECT_EQ(
        reportArguments(request, source),
        (QStringList{"report", "timesheet", "--user", "4", "--from", "2026-12-07", "--to",
                     "2026-12-13", "--contact", "12", "--status", "open", "--out", "/tmp/out"}));
    // Nothing chosen narrows nothing.
    EXPECT_EQ(reportArguments({QStringLiteral("notes"), {}, {}, {}, {}}, source),
              (QStringList{"report", "notes", "--user", "4", "--out", "/tmp/out"}));
    // The billing summaries are the firm's: no user narrows them.
    source.userId.reset();
    EXPECT_EQ(reportArguments({QStringLiteral("receivables"), {}, {}, {}, {}}, source),
              (QStringList{"report", "receivables", "--out", "/tmp/out"}));
}

} // namespace
