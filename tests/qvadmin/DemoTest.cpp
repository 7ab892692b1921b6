#include "AdminFixture.h"
#include "charges/BillingOptions.h"
#include "platform/core/Duration.h"
#include "platform/core/Money.h"
#include "platform/registry/Registry.h"
#include "testsupport/ExternalTool.h"
#include "timecards/BillingStatus.h"
#include "timecards/TimeCardValue.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlQuery>
#include <QTime>
#include <map>

using namespace quorvale;
using namespace quorvale::test;

namespace {

class DemoTest : public AdminFixture {
protected:
    void SetUp() override { initHere({"--demo"}); }

    int initUser() const
    {
        return Registry(settingsFile()).openSubKey("License").readText("User ID").toInt();
    }
};

TEST_F(DemoTest, HasTheDocumentedAmounts)
{
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblUsers"), 5);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblUsers WHERE Active = 0"), 1);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblStaff"), 3);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblContacts"), 30);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblContacts WHERE Active = 0"), 4);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblTimeCards"), 370);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblExpenses"), 16);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblFixedCharges"), 8);
    EXPECT_GE(count("SELECT COUNT(*) FROM tblPayments"), 10);
    // Payments received lower what a client owes, as the payment window records them.
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblPayments WHERE FundContribution = 0 AND "
                    "PaymentAmount >= 0"),
              0);
    EXPECT_GE(count("SELECT COUNT(*) FROM tblExpenseCodes"), 5);
    EXPECT_GE(count("SELECT COUNT(*) FROM tblFixedChargeCodes"), 3);
    EXPECT_GE(count("SELECT COUNT(*) FROM tblPaymentMethods"), 3);
    // Activities: most for every client, some tied to one.
    EXPECT_GT(count("SELECT COUNT(*) FROM tblMainActivities WHERE ContactID IS NULL"), 5);
    EXPECT_GT(count("SELECT COUNT(*) FROM tblSubActivities WHERE ContactID IS NOT NULL"), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblContacts WHERE Rate6 = 0"), 0);
    // The demo firm can invoice at once: name, address and its VAT.
    auto db = openData();
    const BillingOptions firm = readBillingOptions(*db);
    EXPECT_EQ(firm.missingForInvoice(), QString());
    EXPECT_EQ(firm.taxRate, "20");
    EXPECT_FALSE(firm.firmTaxNumber.isEmpty());
}

TEST_F(DemoTest, TimeCardsAreConsistentAndValuedExactly)
{
    auto db = openData();
    QSqlQuery q = db->prepare(QStringLiteral(
        "SELECT TimeCardID, Quantity, StartDate, StartTime, EndDate, EndTime, RateSource, "
        "RateLevel, Rate, FlatRate, Value, Realization, ContactID, UserId, Activity1ID, "
        "Activity2ID FROM tblTimeCards"));
    db->run(q, {});
    int checked = 0;
    QSet<QString> sources;
    while (q.next()) {
        const QString id = q.value(0).toString();
        const qint64 spent = Duration::fromColumnOrZero(q.value(1)).seconds();
        ASSERT_EQ(q.value(1).toString().size(), 7) << id.toStdString();
        ASSERT_GT(spent, 0);
        const QDateTime start(q.value(2).toDate(), q.value(3).toTime());
        const QDateTime end(q.value(4).toDate(), q.value(5).toTime());
        EXPECT_EQ(start.secsTo(end), spent) << "TimeCard " << id.toStdString();

        const QString source = q.value(6).toString();
        sources.insert(source);
        const Money rate = Money::fromStored(q.value(8));
        const Money value = Money::fromStored(q.value(10));
        const int realization = qRound(q.value(11).toDouble() * 100);
        if (source == "Flat Fee") {
            EXPECT_EQ(value, Money::fromStored(q.value(9)));
        } else {
            EXPECT_EQ(value, timeSpentValue(spent, rate, Realization::fromPercent(realization)))
                << "TimeCard " << id.toStdString();
            // The rate is the one of the source row at the level.
            const QString level = "Rate" + q.value(7).toString();
            // Where each source's rates live, and the column of this row that finds them.
            static const std::map<QString, std::pair<const char *, int>> rows{
                {"Staff Rates", {"tblUsers WHERE UserID = ?", 13}},
                {"Client Rates", {"tblContacts WHERE ContactID = ?", 12}},
                {"Service Rates", {"tblMainActivities WHERE ActivityID = ?", 14}},
                {"Project Rates", {"tblSubActivities WHERE ActivityID = ?", 15}},
                {"Staff Level Rates",
                 {"tblStaff WHERE StaffID = (SELECT StaffID FROM tblUsers WHERE UserID = ?)", 13}}};
            const auto found = rows.find(source);
            ASSERT_NE(found, rows.end()) << source.toStdString();
            const QString lookup = QLatin1String(found->second.first);
            const QVariant key = q.value(found->second.second);
            EXPECT_EQ(rate,
                      Money::fromStored(db->scalar("SELECT " + level + " FROM " + lookup, {key})))
                << "TimeCard " << id.toStdString() << " " << source.toStdString();
        }
        // The realization is the client's, or full without a client.
        if (q.value(12).isNull()) {
            EXPECT_EQ(realization, 100);
        }
        ++checked;
    }
    EXPECT_EQ(checked, 370);
    EXPECT_EQ(sources.size(), 6) << "every rate source occurs";
}

TEST_F(DemoTest, OldWorkIsInvoicedAndTheInitUserHasEveryKindOfOpenTimeCard)
{
    const QString cutoff = QDate::currentDate().addDays(-30).toString(Qt::ISODate);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM tblTimeCards WHERE InvoiceID IS NOT NULL "
                                   "AND StartDate >= ?"),
                    {cutoff}),
              0);
    EXPECT_GT(count("SELECT COUNT(*) FROM tblTimeCards WHERE InvoiceID IS NOT NULL"), 150);
    // Only work on hold or not to be billed stays open once it is old, and neither
    // was ever invoiced.
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM tblTimeCards WHERE InvoiceID IS NULL AND "
                                   "StartDate < ? AND BillStatus NOT IN ('Hold', 'Do not bill')"),
                    {cutoff}),
              0);
    EXPECT_GT(count(QStringLiteral("SELECT COUNT(*) FROM tblTimeCards WHERE InvoiceID IS NULL AND "
                                   "StartDate < ? AND BillStatus = 'Do not bill'"),
                    {cutoff}),
              0);
    EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM tblTimeCards WHERE InvoiceID IS NOT NULL "
                                   "AND BillStatus IN ('Hold', 'Do not bill')")),
              0);
    // One invoice is for one client; the firm's own work was closed per user.
    for (const char *table : {"tblTimeCards", "tblExpenses", "tblFixedCharges"})
        EXPECT_EQ(count(QStringLiteral("SELECT COUNT(*) FROM (SELECT InvoiceID FROM %1 WHERE "
                                       "InvoiceID IS NOT NULL GROUP BY InvoiceID HAVING "
                                       "COUNT(DISTINCT COALESCE(ContactID, -UserId)) > 1) x")
                            .arg(QLatin1String(table))),
                  0)
            << table;

    const int me = initUser();
    const QString open = QStringLiteral("SELECT COUNT(*) FROM tblTimeCards WHERE UserId = ? AND "
                                        "InvoiceID IS NULL");
    EXPECT_GT(count(open, {me}), 10);
    EXPECT_GT(count(open + " AND Inactive = -1", {me}), 0);
    EXPECT_GT(count(open + " AND Inactive = 0", {me}), 10);
    EXPECT_GT(count(open + " AND ContactID IS NULL", {me}), 0);
    EXPECT_GT(count(QStringLiteral("SELECT COUNT(*) FROM tblExpenses WHERE UserID = ? AND "
                                   "InvoiceID IS NULL"),
                    {me}),
              0);
    // The colleague who left has only invoiced history.
    EXPECT_EQ(
        count(QStringLiteral("SELECT COUNT(*) FROM tblTimeCards t JOIN tblUsers u ON "
                             "u.UserID = t.UserId WHERE u.Active = 0 AND t.InvoiceID IS NULL")),
        0);
}

TEST_F(DemoTest, ClientsPayTheirOwnInvoicesAndNeverMoreThanWasBilled)
{
    auto db = openData();
    QSqlQuery q = db->prepare(QStringLiteral(
        "SELECT p.ContactID, p.PaymentAmount, p.PaymentDescription, p.PaymentDate FROM "
        "tblPayments p WHERE p.FundContribution = 0"));
    db->run(q, {});
    int paid = 0;
    while (q.next()) {
        ++paid;
        const QString description = q.value(2).toString();
        ASSERT_TRUE(description.startsWith("Payment of invoice ")) << description.toStdString();
        const int invoice = description.section(u' ', -1).toInt();
        // The invoice is the client's own, billed before the payment came.
        const QVariantList key{invoice, q.value(0)};
        const QString status = QStringLiteral("BillStatus");
        const QString charge =
            billedChargeAmountSql(status, QStringLiteral("Amount"), QStringLiteral("Realization"));
        Money billed;
        for (const QString &sql :
             {QStringLiteral(
                  "SELECT SUM(%1) FROM tblTimeCards WHERE InvoiceID = ? AND ContactID = ?")
                  .arg(billedTimeValueSql(status, QStringLiteral("Value"))),
              QStringLiteral(
                  "SELECT SUM(%1) FROM tblExpenses WHERE InvoiceID = ? AND ContactID = ?")
                  .arg(charge),
              QStringLiteral(
                  "SELECT SUM(%1) FROM tblFixedCharges WHERE InvoiceID = ? AND ContactID = ?")
                  .arg(charge)})
            billed += Money::fromStored(db->scalar(sql, key));
        const Money payment = -Money::fromStored(q.value(1));
        EXPECT_GT(payment, Money()) << description.toStdString();
        EXPECT_LE(payment, billed) << description.toStdString();
        const QDate latestWork = db->scalar(QStringLiteral("SELECT MAX(StartDate) FROM "
                                                           "tblTimeCards WHERE InvoiceID = ?"),
                                            {invoice})
                                     .toDate();
        EXPECT_GT(q.value(3).toDate(), latestWork) << description.toStdString();
    }
    EXPECT_GE(paid, 10);
    // The newest invoice is still owed.
    const int newest = count("SELECT MAX(InvoiceID) FROM tblTimeCards WHERE ContactID IS NOT NULL");
    EXPECT_EQ(db->scalar(QStringLiteral("SELECT COUNT(*) FROM tblPayments WHERE "
                                        "PaymentDescription = ?"),
                         {QStringLiteral("Payment of invoice %1").arg(newest)})
                  .toInt(),
              0);
}

TEST_F(DemoTest, IsTheSameEveryTime)
{
    const QString digest = QStringLiteral(
        "SELECT group_concat(UserId || ':' || IFNULL(ContactID, '-') || ':' || Quantity || ':' || "
        "Value || ':' || Description, '|') FROM (SELECT * FROM tblTimeCards ORDER BY TimeCardID)");
    const QString first = scalar(digest).toString();
    ASSERT_EQ(runHere({"init", "--demo", "--force", "--user", "Ann O'Hara"}).result, 0);
    EXPECT_EQ(scalar(digest).toString(), first);
}

} // namespace

namespace {

// The demonstration clients are cards the address book lists with their
// addresses, each named by its row.
TEST_F(DemoTest, EveryClientIsACardKhardListsWithItsAddress)
{
    QV_NEED_TOOL("khard");
    const QString contacts = programDir() + "/Items/Contacts";
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblContacts WHERE ContactEntryID IS NULL OR "
                    "ContactEntryID = ''"),
              0);
    const std::unique_ptr<db::Connection> data = openData();
    QSqlQuery q(data->database());
    ASSERT_TRUE(q.exec("SELECT ContactEntryID FROM tblContacts"));
    int named = 0;
    while (q.next()) {
        const QString file = q.value(0).toString().section(u'/', -1);
        EXPECT_TRUE(QFile::exists(contacts + u'/' + file)) << file.toStdString();
        ++named;
    }
    EXPECT_EQ(named, 30);

    const QString home = m_tmp.filePath("home");
    QDir().mkpath(home + "/.config/khard");
    QFile conf(home + "/.config/khard/khard.conf");
    ASSERT_TRUE(conf.open(QIODevice::WriteOnly));
    conf.write("[addressbooks]\n[[clients]]\npath = " + contacts.toUtf8() + "\n");
    conf.close();
    QProcess khard;
    khard.setProcessEnvironment(scratchHomeEnvironment(home));
    khard.start("khard", {"postaddress", "--parsable"});
    ASSERT_TRUE(khard.waitForFinished(60000));
    ASSERT_EQ(khard.exitCode(), 0) << khard.readAllStandardError().constData();
    const QStringList lines =
        QString::fromUtf8(khard.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    EXPECT_EQ(lines.size(), 30);
    EXPECT_TRUE(lines.join(u'\n').contains("Margaret Abernathy"));
    for (const QString &line : lines)
        EXPECT_TRUE(line.contains("Street") || line.contains("Lane") || line.contains("Road") ||
                    line.contains("Way") || line.contains("Square") || line.contains("Kingsway") ||
                    line.contains("Row"))
            << line.toStdString();
}

} // namespace
