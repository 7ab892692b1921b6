#include "AdminFixture.h"
#include "platform/core/Money.h"
#include "qvadmin/ReportKinds.h"
#include "timecards/BillingStatus.h"
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
        const QStringList paths = report({kind});
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
