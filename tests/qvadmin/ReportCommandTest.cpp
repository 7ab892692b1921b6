#include "AdminFixture.h"
#include "platform/core/Duration.h"
#include "platform/core/Money.h"
#include "platform/pim/Items.h"
#include "platform/pim/Namespace.h"
#include "platform/pim/TaskItem.h"
#include "qvadmin/ReportKinds.h"
#include "qvadmin/ReportWriters.h"
#include "timecards/BillingStatus.h"
#include "timecards/ReportPeriod.h"
#include "timecards/TimeCardValue.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>

using namespace quorvale;
using namespace quorvale::test;

namespace {

// RFC 4180 records, enough to read back what the report wrote.
std::vector<QStringList> readCsv(const QString &path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    const QString text = QString::fromUtf8(file.readAll());
    std::vector<QStringList> records;
    QStringList record;
    QString cell;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text[i];
        if (quoted) {
            if (ch == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
                cell += u'"';
                ++i;
            } else if (ch == u'"') {
                quoted = false;
            } else {
                cell += ch;
            }
        } else if (ch == u'"') {
            quoted = true;
        } else if (ch == u',') {
            record << cell;
            cell.clear();
        } else if (ch == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') {
            record << cell;
            cell.clear();
            records.push_back(record);
            record.clear();
            ++i;
        } else {
            cell += ch;
        }
    }
    return records;
}

QString readText(const QString &path)
{
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path.toStdString();
    return QString::fromUtf8(file.readAll());
}

class ReportCommandTest : public AdminFixture {
protected:
    void SetUp() override { initHere({"--demo"}); }
    QString outDir() const { return m_tmp.filePath("reports"); }

    // Runs a report here; returns the CSV and HTML paths it printed.
    QStringList report(const QStringList &args) const
    {
        const CommandOutput o =
            runHere(QStringList{"report"} + args + QStringList{"--out", outDir()});
        EXPECT_EQ(o.result, 0) << o.err.toStdString();
        return o.out.split(u'\n', Qt::SkipEmptyParts);
    }
};

TEST_F(ReportCommandTest, EveryKindWritesItsCsvAndHtmlFiles)
{
    for (const QString &kind : admin::reportKindNames()) {
        SCOPED_TRACE(kind.toStdString());
        // A timesheet is always one person's.
        const QStringList paths =
            report(kind == "timesheet" ? QStringList{kind, "--user", "1"} : QStringList{kind});
        ASSERT_EQ(paths.size(), 2);
        EXPECT_TRUE(paths[0].endsWith(".csv"));
        EXPECT_TRUE(paths[1].endsWith(".html"));
        EXPECT_FALSE(readCsv(paths[0]).empty());
        EXPECT_TRUE(readText(paths[1]).contains("</table>"));
        // Clients, hours and money: readable by the owner only.
        for (const QString &path : paths)
            EXPECT_EQ(QFileInfo(path).permissions() & 0x0777,
                      QFileDevice::ReadUser | QFileDevice::WriteUser)
                << path.toStdString();
    }
}

TEST_F(ReportCommandTest, RowsFollowTheTableAndTheFilter)
{
    const auto all = readCsv(report({"timecards"})[0]);
    EXPECT_EQ(qlonglong(all.size()) - 1, count("SELECT COUNT(*) FROM tblTimeCards"));

    const QStringList filter{"--user", "1", "--from", "2026-09-01", "--to", "2026-10-31"};
    const auto some = readCsv(report(QStringList{"timecards"} + filter)[0]);
    EXPECT_EQ(qlonglong(some.size()) - 1,
              count("SELECT COUNT(*) FROM tblTimeCards WHERE UserId = 1 AND "
                    "StartDate >= '2026-09-01' AND StartDate <= '2026-10-31'"));
    ASSERT_GT(some.size(), 1u);
    for (size_t i = 1; i < some.size(); ++i)
        EXPECT_TRUE(some[i][1] >= "2026-09-01" && some[i][1] <= "2026-10-31")
            << some[i][1].toStdString();

    // Work in process adds up to what the open work would bill, to the cent: held
    // work at its value, no-charge work at nothing, work not to be billed not at all.
    Money open;
    {
        auto db = openData();
        for (const char *sql :
             {"SELECT BillStatus, Value, 1 FROM tblTimeCards WHERE InvoiceID IS NULL",
              "SELECT BillStatus, Amount, Realization FROM tblExpenses WHERE InvoiceID IS NULL",
              "SELECT BillStatus, Amount, Realization FROM tblFixedCharges WHERE InvoiceID IS "
              "NULL"}) {
            QSqlQuery q = db->prepare(QLatin1String(sql));
            db->run(q, {});
            while (q.next()) {
                const BillingTreatment t = billingTreatment(q.value(0).toString());
                if (t == BillingTreatment::Charged || t == BillingTreatment::Held)
                    open += chargeBilledAmount(Money::fromStored(q.value(1)),
                                               Realization::fromStored(q.value(2)));
            }
        }
    }
    Money reported;
    const auto wip = readCsv(report({"wip"})[0]);
    ASSERT_EQ(wip[0].last(), "Total");
    for (size_t i = 1; i < wip.size(); ++i)
        reported += *Money::parse(wip[i].last());
    EXPECT_EQ(reported.toDisplayString(), open.toDisplayString());
    EXPECT_TRUE(
        readText(report({"wip"})[1]).contains(">" + open.toDisplayString() + "</td></tr></tfoot>"));
}

TEST_F(ReportCommandTest, TextFromTheDatabaseIsEscapedInHtmlAndQuotedInCsv)
{
    const QString hostile = "<script>alert(\"x\")</script> O'Brien, & co\nsecond line";
    openData()->execute("UPDATE tblTimeCards SET Description = ? WHERE TimeCardID = 1", {hostile});
    const QStringList paths = report({"timecards"});

    const QString html = readText(paths[1]);
    EXPECT_FALSE(html.contains("<script>"));
    EXPECT_FALSE(html.contains("O'Brien"));
    EXPECT_TRUE(html.contains("&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt; O&#39;Brien, "
                              "&amp; co\nsecond line"));

    const auto csv = readCsv(paths[0]);
    ASSERT_GT(csv.size(), 1u);
    EXPECT_EQ(csv[1][0], "1");
    EXPECT_EQ(csv[1][5], hostile);
    EXPECT_EQ(csv[1].size(), csv[0].size());
}

TEST_F(ReportCommandTest, ControlCharactersFromTheDatabaseReachNeitherFile)
{
    const QString hostile = QStringLiteral("Red\x1b[31m") + QChar(0x00) + QChar(0x85) +
                            QChar(0x9b) + QStringLiteral("2J\x01\x7f end\r\nsecond\tline");
    openData()->execute("UPDATE tblTimeCards SET Description = ? WHERE TimeCardID = 1", {hostile});
    openData()->execute("UPDATE tblContacts SET ContactName = ? WHERE ContactID = (SELECT "
                        "ContactID FROM tblTimeCards WHERE TimeCardID = 1)",
                        {hostile});
    const QStringList paths = report({"timecards"});
    ASSERT_EQ(paths.size(), 2);
    for (const QString &path : paths) {
        SCOPED_TRACE(path.toStdString());
        const QString text = readText(path);
        for (const QChar c : text)
            EXPECT_TRUE(c.category() != QChar::Other_Control || c == u'\r' || c == u'\n' ||
                        c == u'\t')
                << "U+" << std::hex << int(c.unicode());
        EXPECT_TRUE(text.contains(QStringLiteral("Red[31m2J end\r\nsecond\tline")));
    }
    const auto csv = readCsv(paths[0]);
    ASSERT_GT(csv.size(), 1u);
    EXPECT_EQ(csv[1][5], QStringLiteral("Red[31m2J end\r\nsecond\tline"));
}

TEST_F(ReportCommandTest, MistakesAreRefusedWithAClearMessage)
{
    const CommandOutput unknown = runHere({"report", "payroll", "--out", outDir()});
    EXPECT_NE(unknown.result, 0);
    EXPECT_TRUE(unknown.err.contains("Unknown report 'payroll'"));
    EXPECT_TRUE(unknown.err.contains("timecards"));

    const CommandOutput badDate = runHere({"report", "expenses", "--from", "31/12/2026"});
    EXPECT_NE(badDate.result, 0);
    EXPECT_TRUE(badDate.err.contains("YYYY-MM-DD"));
    const CommandOutput reversed =
        runHere({"report", "expenses", "--from", "2026-12-31", "--to", "2026-01-01"});
    EXPECT_NE(reversed.result, 0);
    EXPECT_NE(runHere({"report"}).result, 0);
    EXPECT_FALSE(QFile::exists(outDir()));
}

} // namespace

TEST_F(ReportCommandTest, APaymentOnAccountLowersTheBalanceItIsPaidAgainst)
{
    // Payments on account are stored negative, as the payment window writes them.
    const qint64 contact = count("SELECT MIN(ContactID) FROM tblContacts");
    const auto balanceOf = [&](const QString &csv) {
        for (const QStringList &row : readCsv(csv))
            if (row.first() ==
                scalar("SELECT ContactName FROM tblContacts WHERE ContactID = ?", {contact})
                    .toString())
                return std::make_pair(*Money::parse(row[2]), *Money::parse(row[3]));
        return std::make_pair(Money(), Money());
    };
    const auto before = balanceOf(report({"receivables"})[0]);
    scalar("INSERT INTO tblPayments (UserID, ContactID, PaymentAmount, PaymentDate, "
           "PaymentDescription, FundContribution) VALUES (1, ?, ?, ?, 'Cheque', 0)",
           {contact, Money::fromWhole(-250).toStored(), QDate::currentDate()});
    const auto after = balanceOf(report({"receivables"})[0]);
    EXPECT_EQ(after.first - before.first, Money::fromWhole(250));   // paid
    EXPECT_EQ(before.second - after.second, Money::fromWhole(250)); // balance
}

TEST_F(ReportCommandTest, ClientAndBillingStatusNarrowTheRows)
{
    const qint64 contact =
        count("SELECT ContactID FROM tblTimeCards WHERE ContactID IS NOT NULL GROUP BY "
              "ContactID ORDER BY COUNT(*) DESC");
    const QString name =
        scalar("SELECT ContactName FROM tblContacts WHERE ContactID = ?", {contact}).toString();
    const auto one = readCsv(report({"timecards", "--contact", QString::number(contact)})[0]);
    EXPECT_EQ(qlonglong(one.size()) - 1,
              count("SELECT COUNT(*) FROM tblTimeCards WHERE ContactID = ?", {contact}));
    ASSERT_GT(one.size(), 1u);
    for (size_t i = 1; i < one.size(); ++i)
        EXPECT_EQ(one[i][2], name);

    // Some of the client's work invoiced, the rest open: each status keeps its own.
    openData()->execute("UPDATE tblTimeCards SET InvoiceID = NULL WHERE ContactID = ?", {contact});
    openData()->execute("UPDATE tblTimeCards SET InvoiceID = 1 WHERE TimeCardID = (SELECT "
                        "MIN(TimeCardID) FROM tblTimeCards WHERE ContactID = ?)",
                        {contact});
    const QString id = QString::number(contact);
    const auto invoiced =
        readCsv(report({"timecards", "--contact", id, "--status", "invoiced"})[0]);
    ASSERT_EQ(invoiced.size(), 2u);
    EXPECT_EQ(invoiced[1].last(), "1");
    const auto open = readCsv(report({"timecards", "--contact", id, "--status", "open"})[0]);
    EXPECT_EQ(open.size(), one.size() - 1);
    for (size_t i = 1; i < open.size(); ++i)
        EXPECT_EQ(open[i].last(), "");

    // Every part of the combined report narrows, so no other client's
    // expense slips in.
    const auto combined = readCsv(report({"combined", "--contact", id})[0]);
    for (size_t i = 1; i < combined.size(); ++i)
        EXPECT_EQ(combined[i][3], name);

    EXPECT_TRUE(
        readText(report({"timecards", "--contact", id})[1]).contains(admin::htmlEscaped(name)));
    const CommandOutput nobody =
        runHere({"report", "timecards", "--contact", "987654", "--out", outDir()});
    EXPECT_NE(nobody.result, 0);
    EXPECT_TRUE(nobody.err.contains("There is no contact 987654.")) << nobody.err.toStdString();

    // A report that cannot be narrowed says so rather than listing everyone.
    const CommandOutput wip = runHere({"report", "wip", "--contact", id, "--out", outDir()});
    EXPECT_NE(wip.result, 0);
    EXPECT_TRUE(wip.err.contains("cannot be narrowed to one contact")) << wip.err.toStdString();
    const CommandOutput status =
        runHere({"report", "timecards", "--status", "paid", "--out", outDir()});
    EXPECT_NE(status.result, 0);
    EXPECT_TRUE(status.err.contains("'open' or 'invoiced'")) << status.err.toStdString();
}

TEST_F(ReportCommandTest, ColumnsAreHeadedWithTheAdministratorsTerms)
{
    openData()->execute("UPDATE tblAdminOptions SET ContactTerm = 'Matter', Activity1Term = "
                        "'Phase', Activity2Term = 'Task Code'");
    const QStringList heading = readCsv(report({"timecards"})[0]).front();
    EXPECT_EQ(heading[2], "Matter");
    EXPECT_EQ(heading[3], "Phase");
    EXPECT_EQ(heading[4], "Task Code");
    EXPECT_FALSE(heading.contains("Contact"));
    EXPECT_FALSE(heading.contains("Activity 1"));
    EXPECT_TRUE(readText(report({"timecards"})[1]).contains("<th scope=\"col\">Matter</th>"));
}

TEST_F(ReportCommandTest, ItemReportsShowWhatEachItemSaysOfItself)
{
    pim::Namespace items(pim::Namespace::defaultRoot(programDir()));
    const auto newTask = [&](const QString &subject, int status) {
        std::unique_ptr<pim::Item> item =
            pim::Items(items.GetDefaultFolder(pim::DefaultFolder::Tasks)).Add();
        item->setSubject(subject);
        auto &task = static_cast<pim::TaskItem &>(*item);
        task.setStatus(status);
        task.setDueDate(QDateTime(QDate(2026, 12, 18), QTime(17, 0)));
        item->Save();
        return item;
    };
    const auto kept = newTask("Draft the lease, Unit 4", 1);
    const auto gone = newTask("Call the surveyor", 0);
    const QString goneId = gone->EntryID();
    gone->Delete();
    const qint64 card = count("SELECT MIN(TimeCardID) FROM tblTimeCards");
    openData()->execute("DELETE FROM tblTasks");
    for (const QString &entryId : {kept->EntryID(), goneId})
        openData()->execute("INSERT INTO tblTasks (TimeCardID, EntryID) VALUES (?, ?)",
                            {card, entryId});

    const auto rows = readCsv(report({"tasks"})[0]);
    ASSERT_EQ(rows.size(), 3u);
    const QStringList heading = rows[0];
    const auto at = [&](const QStringList &row, const char *column) {
        const qsizetype i = heading.indexOf(QLatin1String(column));
        EXPECT_GE(i, 0) << column;
        return i < 0 ? QString() : row[i];
    };
    const QStringList &found = at(rows[1], "Item EntryID") == kept->EntryID() ? rows[1] : rows[2];
    const QStringList &missing = &found == &rows[1] ? rows[2] : rows[1];
    EXPECT_EQ(at(found, "Subject"), "Draft the lease, Unit 4");
    EXPECT_EQ(at(found, "Due"), "2026-12-18 17:00");
    EXPECT_EQ(at(found, "Status"), "In Progress");
    EXPECT_EQ(at(missing, "Subject"), "(item not found)");
    EXPECT_EQ(at(missing, "Item EntryID"), goneId);
    EXPECT_EQ(at(missing, "Status"), "");
}

TEST_F(ReportCommandTest, TheTimesheetLaysOneWeekOutByDayWithTotals)
{
    // A week of its own, away from the demonstration's work.
    const QDate monday = weekStart(QDate(2031, 1, 1)); // a Wednesday: Monday is 2030-12-30
    ASSERT_EQ(monday, QDate(2030, 12, 30));
    const qint64 contact = count("SELECT MIN(ContactID) FROM tblContacts");
    const auto card = [&](int user, QDate day, int minutes) {
        openData()->execute("INSERT INTO tblTimeCards (ContactID, UserId, Description, Quantity, "
                            "StartDate, EndDate, BillStatus, Inactive) VALUES (?, ?, ?, ?, ?, ?, "
                            "'Bill', 0)",
                            {contact, user, QStringLiteral("Sheet %1").arg(minutes),
                             Duration::fromSeconds(minutes * 60).toStored(), day, day});
    };
    card(1, monday, 90);
    card(1, monday, 45);
    card(1, monday.addDays(2), 120);
    card(1, monday.addDays(6), 15);  // Sunday, across the new year
    card(1, monday.addDays(7), 600); // the next week
    card(2, monday.addDays(1), 600); // someone else
    const QStringList paths = report({"timesheet", "--user", "1", "--from", "2031-01-01"});
    const auto rows = readCsv(paths[0]);
    ASSERT_EQ(rows.size(), 5u);
    const QStringList &heading = rows[0];
    ASSERT_EQ(heading.size(), 13);
    EXPECT_EQ(heading[5], "Mon 2030-12-30");
    EXPECT_EQ(heading[11], "Sun 2031-01-05");
    EXPECT_EQ(heading[12], "Total");
    for (size_t i = 1; i < rows.size(); ++i) {
        Duration sum;
        int filled = 0;
        for (int d = 5; d < 12; ++d)
            if (!rows[i][d].isEmpty()) {
                sum = sum + *Duration::fromStored(rows[i][d]);
                ++filled;
            }
        EXPECT_EQ(filled, 1);
        EXPECT_EQ(sum.toShown(), rows[i][12]);
    }
    // Monday 2:15, Wednesday 2:00, Sunday 0:15; the week 4:30.
    const QString html = readText(paths[1]);
    const QString none = "<td class=\"num\">000:00:00</td>";
    EXPECT_TRUE(html.contains("<td class=\"num\">002:15:00</td>" + none +
                              "<td class=\"num\">002:00:00</td>" + none + none + none +
                              "<td class=\"num\">000:15:00</td><td class=\"num\">004:30:00</td>"
                              "</tr></tfoot>"))
        << html.toStdString();

    const CommandOutput nobody = runHere({"report", "timesheet", "--out", outDir()});
    EXPECT_NE(nobody.result, 0);
    EXPECT_TRUE(nobody.err.contains("--user")) << nobody.err.toStdString();
}
