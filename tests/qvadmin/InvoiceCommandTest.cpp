#include "AdminFixture.h"
#include "charges/BillingOptions.h"
#include "platform/core/Money.h"
#include "timecards/BillingStatus.h"
#include "timecards/TimeCardValue.h"

#include <QSqlQuery>

using namespace quorvale;
using namespace quorvale::test;

namespace {

class InvoiceCommandTest : public AdminFixture {
protected:
    void SetUp() override { initHere({"--demo"}); }

    // The demo client with the most open billable work.
    int busiestClient() const
    {
        return int(count(QStringLiteral(
            "SELECT ContactID FROM tblTimeCards WHERE InvoiceID IS NULL AND BillStatus = "
            "'Billable' AND ContactID IS NOT NULL GROUP BY ContactID ORDER BY COUNT(*) DESC, "
            "ContactID LIMIT 1")));
    }
    qlonglong highestInvoice() const
    {
        return count("SELECT MAX(n) FROM (SELECT MAX(InvoiceID) AS n FROM tblTimeCards UNION ALL "
                     "SELECT MAX(InvoiceID) FROM tblExpenses UNION ALL SELECT MAX(InvoiceID) FROM "
                     "tblFixedCharges) x");
    }
    // Open rows per table and billing status, to see what an invoice run touched.
    QMap<QString, qlonglong> openRows() const
    {
        QMap<QString, qlonglong> rows;
        auto db = openData();
        for (const char *table : {"tblTimeCards", "tblExpenses", "tblFixedCharges"}) {
            QSqlQuery q = db->prepare(
                QStringLiteral("SELECT ContactID, COALESCE(BillStatus, '-'), COUNT(*) FROM %1 "
                               "WHERE InvoiceID IS NULL GROUP BY ContactID, BillStatus")
                    .arg(QLatin1String(table)));
            db->run(q, {});
            while (q.next())
                rows[QStringLiteral("%1 %2 %3")
                         .arg(QLatin1String(table), q.value(0).toString(), q.value(1).toString())] =
                    q.value(2).toLongLong();
        }
        return rows;
    }
};

TEST_F(InvoiceCommandTest, InvoicesOnlyThatClientsBillableWorkInThePeriod)
{
    const int client = busiestClient();
    ASSERT_GT(client, 0);
    const QDate to = QDate::currentDate();
    const QDate from = to.addDays(-20);
    const QVariantList where{client, from, to};
    const QString period = QStringLiteral(" WHERE ContactID = ? AND StartDate >= ? AND StartDate "
                                          "<= ? AND InvoiceID IS NULL AND ");
    // What the invoice must bill, added up here from the rows themselves.
    Money expected;
    qlonglong lines = 0;
    {
        auto db = openData();
        QSqlQuery q = db->prepare(QStringLiteral("SELECT BillStatus, Value FROM tblTimeCards") +
                                  period + invoicedConditionSql(QStringLiteral("BillStatus")));
        db->run(q, where);
        while (q.next()) {
            ++lines;
            if (q.value(0).toString() == QLatin1String("Billable"))
                expected += Money::fromStored(q.value(1));
        }
        for (const char *table : {"tblExpenses", "tblFixedCharges"}) {
            QSqlQuery c = db->prepare(
                QStringLiteral("SELECT BillStatus, Amount, Realization FROM %1").arg(table) +
                period + invoicedConditionSql(QStringLiteral("BillStatus")));
            db->run(c, where);
            while (c.next()) {
                ++lines;
                if (c.value(0).toString() == QLatin1String("Billable"))
                    expected += chargeBilledAmount(Money::fromStored(c.value(1)),
                                                   Realization::fromStored(c.value(2)));
            }
        }
    }
    ASSERT_GT(lines, 0);
    const QMap<QString, qlonglong> before = openRows();
    const qlonglong next = highestInvoice() + 1;

    const CommandOutput o = runHere({"invoice", "--contact", QString::number(client), "--from",
                                     from.toString(Qt::ISODate), "--to", to.toString(Qt::ISODate)});
    ASSERT_EQ(o.result, 0) << o.err.toStdString();
    EXPECT_TRUE(o.out.startsWith(QStringLiteral("Invoice %1 for ").arg(next)))
        << o.out.toStdString();
    EXPECT_TRUE(o.out.contains(QStringLiteral("Subtotal: %1 (").arg(expected.toDisplayString())))
        << o.out.toStdString();
    // The demo firm charges 20 % VAT on the subtotal, rounded once; nothing paid yet.
    const Money tax = taxOn(expected, QStringLiteral("20"));
    EXPECT_TRUE(o.out.contains(QStringLiteral("\nTax at 20 %: %1\n").arg(tax.toDisplayString())))
        << o.out.toStdString();
    EXPECT_TRUE(
        o.out.contains(QStringLiteral("\nTotal: %1\n").arg((expected + tax).toDisplayString())))
        << o.out.toStdString();
    // Heading, rule, a line each, subtotal, tax, total, paid and balance.
    EXPECT_EQ(o.out.count(u'\n'), 2 + 2 + lines + 4) << o.out.toStdString();

    // Only this client's invoiceable rows left the open work.
    const QMap<QString, qlonglong> after = openRows();
    for (auto it = before.begin(); it != before.end(); ++it) {
        const QStringList key = it.key().split(u' ');
        const bool thisClient = key[1] == QString::number(client);
        const bool invoiceable = goesOnInvoice(billingTreatment(key.mid(2).join(u' ')));
        if (!thisClient || !invoiceable) {
            EXPECT_EQ(after.value(it.key()), it.value()) << it.key().toStdString();
        }
    }
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblTimeCards WHERE InvoiceID = ? AND (ContactID <> ? OR "
                    "StartDate < ? OR StartDate > ?)",
                    {next, client, from, to}),
              0);

    const CommandOutput again =
        runHere({"invoice", "--contact", QString::number(client), "--from",
                 from.toString(Qt::ISODate), "--to", to.toString(Qt::ISODate)});
    EXPECT_TRUE(again.out.startsWith("Nothing to invoice")) << again.out.toStdString();
    EXPECT_EQ(highestInvoice(), next);
}

TEST_F(InvoiceCommandTest, MistakesLeaveEverythingOpen)
{
    const int client = busiestClient();
    const qlonglong open = count("SELECT COUNT(*) FROM tblTimeCards WHERE InvoiceID IS NULL");
    const qlonglong used = count("SELECT MIN(InvoiceID) FROM tblTimeCards");
    struct Case {
        QStringList args;
        const char *says;
    } cases[] = {
        {{"invoice", "--user", "1"}, "--contact"},
        {{"invoice", "--contact", "999"}, "no contact"},
        {{"invoice", "--contact", QString::number(client), "--user", "99"}, "no user"},
        {{"invoice", "--contact", QString::number(client), "--from", "2026-13-01"}, "YYYY-MM-DD"},
        {{"invoice", "--contact", QString::number(client), "--from", "2026-12-01", "--to",
          "2026-11-01"},
         "after"},
        // An invoice already sent is never added to.
        {{"invoice", "--contact", QString::number(client), "--invoice", QString::number(used)},
         "already exists"},
    };
    for (const Case &c : cases) {
        const CommandOutput o = runHere(c.args);
        EXPECT_NE(o.result, 0) << c.args.join(u' ').toStdString();
        EXPECT_TRUE(o.err.contains(QLatin1String(c.says))) << o.err.toStdString();
        EXPECT_EQ(o.err.count(u'\n'), 1) << o.err.toStdString();
    }
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblTimeCards WHERE InvoiceID IS NULL"), open);
}

TEST_F(InvoiceCommandTest, InvoiceNumbersRunOut)
{
    const int client = busiestClient();
    openData()->execute(QStringLiteral("UPDATE tblExpenses SET InvoiceID = 2147483647 WHERE "
                                       "ExpenseID = (SELECT MIN(ExpenseID) FROM tblExpenses "
                                       "WHERE InvoiceID IS NOT NULL)"));
    const qlonglong open = count("SELECT COUNT(*) FROM tblTimeCards WHERE InvoiceID IS NULL");

    // No number follows the highest one: a number of one's own still works.
    const CommandOutput next = runHere({"invoice", "--contact", QString::number(client)});
    EXPECT_NE(next.result, 0);
    EXPECT_TRUE(next.err.contains("--invoice")) << next.err.toStdString();
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblTimeCards WHERE InvoiceID IS NULL"), open);

    const CommandOutput own =
        runHere({"invoice", "--contact", QString::number(client), "--invoice", "42"});
    ASSERT_EQ(own.result, 0) << own.err.toStdString();
    EXPECT_GT(count("SELECT COUNT(*) FROM tblTimeCards WHERE InvoiceID = 42"), 0);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblTimeCards WHERE InvoiceID = 42 AND ContactID <> ?",
                    {client}),
              0);
}

} // namespace
