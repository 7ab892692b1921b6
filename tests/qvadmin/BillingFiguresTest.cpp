#include "AdminFixture.h"
#include "charges/BillingOptions.h"
#include "charges/Invoicing.h"
#include "data/DatabaseSettings.h"
#include "platform/core/Duration.h"
#include "platform/core/Money.h"
#include "platform/core/QvError.h"
#include "platform/db/Connection.h"
#include "timecards/BillingStatus.h"
#include "timecards/TimeCardValue.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QSqlQuery>
#include <algorithm>
#include <atomic>
#include <map>
#include <mutex>
#include <thread>
#include <tuple>

using namespace quorvale;
using namespace quorvale::test;

namespace {

Money cents(qint64 c)
{
    return Money::fromUnits(c * (Money::Scale / 100));
}

// The same figures on the embedded database and, on a server run, on the
// PostgreSQL server of scripts/with-postgres.sh.
class BillingFigures : public AdminFixture {
protected:
    void SetUp() override
    {
        const CommandOutput init = admin({"init", "--user", "Ann O'Hara"});
        ASSERT_EQ(init.result, 0) << init.err.toStdString();
        ASSERT_EQ(admin({"user", "add", "Ben Okafor"}).result, 0);
        ASSERT_EQ(admin({"contact", "add", "Acme Ltd"}).result, 0);
        ASSERT_EQ(admin({"contact", "add", "Birch & Co"}).result, 0);
        m_db = open();
        m_ann = idOf("tblUsers", "UserID", "UserName", "Ann O'Hara");
        m_ben = idOf("tblUsers", "UserID", "UserName", "Ben Okafor");
        m_acme = idOf("tblContacts", "ContactID", "ContactName", "Acme Ltd");
        m_birch = idOf("tblContacts", "ContactID", "ContactName", "Birch & Co");
    }

    CommandOutput admin(const QStringList &args) const { return runHere(args); }
    std::unique_ptr<db::Connection> open() const { return openData(); }
    int idOf(const char *table, const char *key, const char *nameColumn, const QString &name)
    {
        return m_db
            ->scalar(QStringLiteral("SELECT %2 FROM %1 WHERE %3 = ?")
                         .arg(QLatin1String(table), QLatin1String(key), QLatin1String(nameColumn)),
                     {name})
            .toInt();
    }

    int timeCard(int contact, int user, const QDate &day, const QVariant &status,
                 const char *quantity, Money rate, Money value, double realization = 1.0,
                 const char *source = "Staff Rates")
    {
        m_db->execute(
            QStringLiteral("INSERT INTO tblTimeCards (ContactID, UserId, Description, "
                           "Quantity, StartDate, EndDate, BillStatus, RateSource, Rate, "
                           "FlatRate, Value, Realization, Inactive) VALUES (?, ?, ?, ?, "
                           "?, ?, ?, ?, ?, ?, ?, ?, 0)"),
            {contact, user, QStringLiteral("Work of %1").arg(day.toString(Qt::ISODate)),
             QLatin1String(quantity), day, day, status, QLatin1String(source), rate.toStored(),
             (QLatin1String(source) == QLatin1String("Flat Fee") ? value : Money()).toStored(),
             value.toStored(), realization});
        return m_db->scalar(QStringLiteral("SELECT MAX(TimeCardID) FROM tblTimeCards")).toInt();
    }
    int expense(int contact, int user, const QDate &day, const char *status, Money amount,
                double realization, QVariant timeCard = QVariant(QMetaType::fromType<int>()))
    {
        m_db->execute(QStringLiteral("INSERT INTO tblExpenses (TimeCardID, UserID, ContactID, "
                                     "Description, Quantity, StartDate, EndDate, Rate, Amount, "
                                     "Realization, BillStatus) VALUES (?, ?, ?, 'Costs', 1, ?, "
                                     "?, ?, ?, ?, ?)"),
                      {timeCard, user, contact, day, day, amount.toStored(), amount.toStored(),
                       realization, QLatin1String(status)});
        return m_db->scalar(QStringLiteral("SELECT MAX(ExpenseID) FROM tblExpenses")).toInt();
    }
    int fixedCharge(int contact, int user, const QDate &day, const char *status, int quantity,
                    Money rate, double realization,
                    QVariant timeCard = QVariant(QMetaType::fromType<int>()))
    {
        m_db->execute(QStringLiteral("INSERT INTO tblFixedCharges (TimeCardID, UserID, ContactID, "
                                     "Description, Quantity, StartDate, Rate, Amount, "
                                     "Realization, BillStatus) VALUES (?, ?, ?, 'Monthly "
                                     "retainer', ?, ?, ?, ?, ?, ?)"),
                      {timeCard, user, contact, quantity, day, rate.toStored(),
                       rate.mulDiv(quantity, 1).toStored(), realization, QLatin1String(status)});
        return m_db->scalar(QStringLiteral("SELECT MAX(ProductID) FROM tblFixedCharges")).toInt();
    }
    void payment(int contact, Money stored, bool toFunds, const QDate &day)
    {
        m_db->execute(QStringLiteral("INSERT INTO tblPayments (UserID, ContactID, PaymentAmount, "
                                     "PaymentDate, PaymentDescription, PaymentMethodID, "
                                     "FundContribution) VALUES (?, ?, ?, ?, 'Paid', 1, ?)"),
                      {m_ann, contact, stored.toStored(), day, toFunds ? 1 : 0});
    }

    // Every status, hourly, realized and flat work, expenses with a markup and a
    // write-down, fixed charges, payments; two clients, two users. The figures in
    // the comments are worked out by hand.
    void addFixture()
    {
        const auto nov = [](int day) { return QDate(2026, 11, day); };
        const QVariant noStatus(QMetaType::fromType<QString>());
        t1 = timeCard(m_acme, m_ann, nov(2), "Billable", "0013000", cents(12000), cents(18000));
        // 2 h 15 min at 150.00 is 337.50; realized at 85 %: 286.875, so 286.88.
        t2 = timeCard(m_acme, m_ann, nov(3), "Billable", "0021500", cents(15000), cents(28688),
                      0.85);
        t3 = timeCard(m_acme, m_ben, nov(4), "Billable", "0030000", Money(), cents(25000), 1.0,
                      "Flat Fee");
        t4 = timeCard(m_acme, m_ann, nov(5), "No Charge", "0004500", cents(12000), cents(9000));
        t5 = timeCard(m_acme, m_ann, nov(6), "Subject to fixed charge", "0010000", cents(12000),
                      cents(12000));
        t6 = timeCard(m_acme, m_ben, nov(9), "Hold", "0020000", cents(10000), cents(20000));
        t7 = timeCard(m_acme, m_ann, nov(10), "Do not bill", "0010000", cents(12000), cents(12000));
        t8 = timeCard(m_acme, m_ann, QDate(2026, 10, 30), "Billable", "0010000", cents(12000),
                      cents(12000));
        t9 = timeCard(m_acme, m_ann, nov(11), noStatus, "0010000", cents(6000), cents(6000));
        t10 = timeCard(m_birch, m_ann, nov(3), "Billable", "0030000", cents(10000), cents(30000));
        // 50 min at 150.00 is 125.00; at 90 %: 112.50.
        t11 = timeCard(m_birch, m_ben, nov(4), "Billable", "0005000", cents(15000), cents(11250),
                       0.9);
        t12 =
            timeCard(m_birch, m_ben, nov(20), "Do not bill", "0010000", cents(10000), cents(10000));

        // 99.99 with a 15 % markup: 114.9885, so 114.99.
        e1 = expense(m_acme, m_ann, nov(2), "Billable", cents(9999), 1.15);
        e2 = expense(m_acme, m_ben, nov(5), "No charge", cents(4500), 1.0);
        e3 = expense(m_acme, m_ann, nov(7), "Hold", cents(2000), 1.15); // 23.00 while held
        e4 = expense(m_acme, m_ann, nov(8), "Do not bill", cents(1500), 1.0);
        e5 = expense(m_acme, m_ann, nov(6), "Subject to fixed charge", cents(1250), 1.0, t5);
        e6 = expense(m_birch, m_ben, nov(4), "Billable", cents(6000), 1.0);

        f1 = fixedCharge(m_acme, m_ann, nov(1), "Billable", 1, cents(50000), 1.0, t5);
        // 2 x 37.50 = 75.00, written down to 90 %: 67.50.
        f2 = fixedCharge(m_acme, m_ben, nov(12), "Billable", 2, cents(3750), 0.9);
        f3 = fixedCharge(m_acme, m_ann, nov(13), "Hold", 1, cents(4000), 1.0);

        payment(m_acme, cents(-100000), false, nov(20)); // 1000.00 on account
        payment(m_acme, cents(30000), true, nov(21));    // into the client's funds
        payment(m_birch, cents(-20000), false, nov(22)); // 200.00 on account
    }

    InvoiceRequest november(int contact) const
    {
        InvoiceRequest r;
        r.contactId = contact;
        r.from = QDate(2026, 11, 1);
        r.to = QDate(2026, 11, 30);
        return r;
    }

    // The report's rows as written to its CSV file, heading and total rows left out.
    std::vector<QStringList> reportRows(const QString &kind)
    {
        const QString out = m_tmp.filePath(QStringLiteral("reports-") + kind);
        const CommandOutput o = admin({"report", kind, "--out", out});
        EXPECT_EQ(o.result, 0) << o.err.toStdString();
        const QStringList files = o.out.split(u'\n', Qt::SkipEmptyParts);
        std::vector<QStringList> rows;
        if (files.isEmpty())
            return rows;
        QFile csv(files.first());
        EXPECT_TRUE(csv.open(QIODevice::ReadOnly));
        const QStringList lines =
            QString::fromUtf8(csv.readAll()).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
        for (qsizetype i = 1; i < lines.size(); ++i) {
            QStringList cells = lines[i].split(u',');
            for (QString &c : cells)
                c.remove(u'"');
            if (!cells.first().startsWith(QLatin1String("Total")))
                rows.push_back(cells);
        }
        return rows;
    }

    std::unique_ptr<db::Connection> m_db;
    int m_ann = 0, m_ben = 0, m_acme = 0, m_birch = 0;
    int t1 = 0, t2 = 0, t3 = 0, t4 = 0, t5 = 0, t6 = 0, t7 = 0, t8 = 0, t9 = 0, t10 = 0, t11 = 0,
        t12 = 0;
    int e1 = 0, e2 = 0, e3 = 0, e4 = 0, e5 = 0, e6 = 0;
    int f1 = 0, f2 = 0, f3 = 0;
};

using Kind = InvoiceLine::Kind;

const InvoiceLine *lineOf(const Invoice &invoice, Kind kind, int id)
{
    for (const auto &line : invoice.lines)
        if (line.kind == kind && line.id == id)
            return &line;
    return nullptr;
}

TEST_F(BillingFigures, OneClientsInvoiceBillsWhatItsStatusesSay)
{
    addFixture();
    const Invoice acme = invoiceContact(*m_db, november(m_acme), BillingOptions{});
    EXPECT_EQ(acme.number, 1001);
    EXPECT_EQ(acme.contactName, QStringLiteral("Acme Ltd"));
    // 180.00 + 286.88 + 250.00 + 114.99 + 500.00 + 67.50
    EXPECT_EQ(acme.total(), cents(139937));
    EXPECT_EQ(acme.count(Kind::TimeCard), 5);
    EXPECT_EQ(acme.count(Kind::Expense), 3);
    EXPECT_EQ(acme.count(Kind::FixedCharge), 2);

    const std::map<std::pair<Kind, int>, qint64> expected{
        {{Kind::TimeCard, t1}, 18000},    {{Kind::TimeCard, t2}, 28688},
        {{Kind::TimeCard, t3}, 25000},    {{Kind::TimeCard, t4}, 0},
        {{Kind::TimeCard, t5}, 0},        {{Kind::Expense, e1}, 11499},
        {{Kind::Expense, e2}, 0},         {{Kind::Expense, e5}, 0},
        {{Kind::FixedCharge, f1}, 50000}, {{Kind::FixedCharge, f2}, 6750}};
    for (const auto &[which, amount] : expected) {
        const InvoiceLine *line = lineOf(acme, which.first, which.second);
        ASSERT_NE(line, nullptr) << "line " << which.second << " missing";
        EXPECT_EQ(line->amount, cents(amount)) << "line " << which.second;
    }
    // Time at a realization says so beside the full figure, since time x rate
    // no longer gives the amount; full rates and flat fees need no word.
    EXPECT_EQ(lineOf(acme, Kind::TimeCard, t2)->note,
              QStringLiteral("85% of 337.50 at the full rate"));
    EXPECT_EQ(lineOf(acme, Kind::TimeCard, t1)->note, QString());
    EXPECT_EQ(lineOf(acme, Kind::TimeCard, t3)->note, QString());
    EXPECT_EQ(lineOf(acme, Kind::TimeCard, t4)->note, QStringLiteral("No charge"));
    EXPECT_EQ(lineOf(acme, Kind::Expense, e2)->note, QStringLiteral("No charge"));
    const QString covered = QStringLiteral("Covered by fixed charge %1 (Monthly retainer)").arg(f1);
    EXPECT_EQ(lineOf(acme, Kind::TimeCard, t5)->note, covered);
    EXPECT_EQ(lineOf(acme, Kind::Expense, e5)->note, covered);
    EXPECT_TRUE(acme.warnings.isEmpty()) << acme.warnings.join(u'\n').toStdString();

    // Held, not-to-be-billed, status-less and out-of-period work stays open, and
    // the other client's work is not touched.
    for (const auto &[table, key, id] : std::vector<std::tuple<const char *, const char *, int>>{
             {"tblTimeCards", "TimeCardID", t6},
             {"tblTimeCards", "TimeCardID", t7},
             {"tblTimeCards", "TimeCardID", t8},
             {"tblTimeCards", "TimeCardID", t9},
             {"tblTimeCards", "TimeCardID", t10},
             {"tblTimeCards", "TimeCardID", t11},
             {"tblExpenses", "ExpenseID", e3},
             {"tblExpenses", "ExpenseID", e4},
             {"tblExpenses", "ExpenseID", e6},
             {"tblFixedCharges", "ProductID", f3}})
        EXPECT_TRUE(m_db->scalar(QStringLiteral("SELECT InvoiceID FROM %1 WHERE %2 = ?")
                                     .arg(QLatin1String(table), QLatin1String(key)),
                                 {id})
                        .isNull())
            << table << " " << id << " was invoiced";
    // What a charge billed is kept with it.
    EXPECT_EQ(
        Money::fromStored(m_db->scalar(
            QStringLiteral("SELECT InvoiceAmount FROM tblExpenses WHERE ExpenseID = ?"), {e1})),
        cents(11499));
    EXPECT_EQ(
        Money::fromStored(m_db->scalar(
            QStringLiteral("SELECT InvoiceAmount FROM tblExpenses WHERE ExpenseID = ?"), {e2})),
        Money());

    // One person's work of the other client: Ben's only.
    InvoiceRequest ben = november(m_birch);
    ben.userId = m_ben;
    const Invoice birch = invoiceContact(*m_db, ben, BillingOptions{});
    EXPECT_EQ(birch.number, 1002);
    EXPECT_EQ(birch.total(), cents(17250)); // 112.50 + 60.00
    EXPECT_EQ(birch.lines.size(), 2u);

    // Again: nothing left, and no number used up.
    const Invoice again = invoiceContact(*m_db, november(m_acme), BillingOptions{});
    EXPECT_EQ(again.number, 0);
    EXPECT_TRUE(again.lines.empty());
    EXPECT_EQ(invoiceContact(*m_db, november(m_birch), BillingOptions{}).number,
              1003); // Ann's 300.00
}

TEST_F(BillingFigures, ReportsAgreeWithTheInvoices)
{
    addFixture();
    // Before any invoice everything owed is work in process: no-charge and covered
    // work as a TimeCard at nothing, "Do not bill" not at all.
    {
        const auto wip = reportRows("wip");
        ASSERT_EQ(wip.size(), 2u);
        EXPECT_EQ(wip[0], (QStringList{"Acme Ltd", "8", "1096.88", "137.99", "607.50", "1842.37"}));
        EXPECT_EQ(wip[1], (QStringList{"Birch & Co", "2", "412.50", "60.00", "0.00", "472.50"}));
    }
    ASSERT_NE(invoiceContact(*m_db, november(m_acme), BillingOptions{}).number, 0);
    InvoiceRequest ben = november(m_birch);
    ben.userId = m_ben;
    ASSERT_NE(invoiceContact(*m_db, ben, BillingOptions{}).number, 0);

    const auto invoices = reportRows("invoices");
    ASSERT_EQ(invoices.size(), 2u);
    EXPECT_EQ(invoices[0],
              (QStringList{"1001", "Acme Ltd", "716.88", "114.99", "567.50", "1399.37"}));
    EXPECT_EQ(invoices[1],
              (QStringList{"1002", "Birch & Co", "112.50", "60.00", "0.00", "172.50"}));

    // Payments into a client's funds are not payments of its invoices.
    const auto receivables = reportRows("receivables");
    ASSERT_EQ(receivables.size(), 2u);
    EXPECT_EQ(receivables[0], (QStringList{"Acme Ltd", "1399.37", "1000.00", "399.37"}));
    EXPECT_EQ(receivables[1], (QStringList{"Birch & Co", "172.50", "200.00", "-27.50"}));

    const auto wip = reportRows("wip");
    ASSERT_EQ(wip.size(), 2u);
    // Held 200.00, October's 120.00 and the status-less 60.00; 23.00 and 40.00 held.
    EXPECT_EQ(wip[0], (QStringList{"Acme Ltd", "3", "380.00", "23.00", "40.00", "443.00"}));
    EXPECT_EQ(wip[1], (QStringList{"Birch & Co", "1", "300.00", "0.00", "0.00", "300.00"}));
}

TEST_F(BillingFigures, TheDatabaseBillsChargesToTheCentAsTheProgramDoes)
{
    // Awkward amounts and realizations, negative ones too, through the statement
    // the reports and invoicing use and through the program's own arithmetic.
    const qint64 amounts[] = {1, 49, 50, 9999, 12345, 100005, 3333333, -50, -12345, 0};
    const double realizations[] = {1.0, 1.15, 0.9, 0.85, 0.3333, 1.005, 0.0};
    for (const qint64 units : amounts)
        for (const double r : realizations)
            expense(m_acme, m_ann, QDate(2026, 11, 2), "Billable", Money::fromUnits(units), r);
    const QString sql =
        QStringLiteral("SELECT Amount, Realization, %1 FROM tblExpenses")
            .arg(billedChargeAmountSql(QStringLiteral("BillStatus"), QStringLiteral("Amount"),
                                       QStringLiteral("Realization")));
    QSqlQuery q = m_db->prepare(sql);
    m_db->run(q, {}, sql);
    int rows = 0;
    while (q.next()) {
        ++rows;
        const Money amount = Money::fromStored(q.value(0));
        const Realization r = Realization::fromStored(q.value(1));
        EXPECT_EQ(Money::fromStored(q.value(2)), chargeBilledAmount(amount, r))
            << amount.toString().toStdString() << " at " << q.value(1).toDouble();
    }
    EXPECT_EQ(rows, 70);
    EXPECT_EQ(chargeBilledAmount(cents(9999), Realization::fromPercent(115)), cents(11499));
    EXPECT_EQ(chargeBilledAmount(Money::fromUnits(-12345), Realization()), cents(-123));
    EXPECT_EQ(chargeBilledAmount(Money::fromUnits(50), Realization()), cents(1));
}

TEST_F(BillingFigures, RunsAtOnceNeverShareARowOrANumber)
{
    // Two runs for one client and one for another, started together, a few times
    // over: each row lands on one invoice, each number names one client.
    for (int round = 0; round < 4; ++round) {
        SCOPED_TRACE(round);
        for (int i = 0; i < 20; ++i) {
            timeCard(m_acme, i % 2 ? m_ann : m_ben, QDate(2026, 11, 1 + i), "Billable", "0010000",
                     cents(10000), cents(10000));
            timeCard(m_birch, m_ann, QDate(2026, 11, 1 + i), "Billable", "0003000", cents(8000),
                     cents(4000));
        }
        expense(m_acme, m_ann, QDate(2026, 11, 2), "Billable", cents(1000), 1.0);
        const int clients[] = {m_acme, m_acme, m_birch};
        Invoice results[3];
        std::string errors[3];
        std::atomic<int> ready{0};
        // psqlODBC sets the process's locale while it connects, which is not
        // safe from two threads at once: the connections open one by one, and
        // only the invoicing runs together.
        std::mutex connecting;
        const auto runOne = [&](int n) {
            try {
                auto db = [&] {
                    const std::lock_guard lock(connecting);
                    return open();
                }();
                ++ready;
                while (ready.load() < 3)
                    std::this_thread::yield();
                InvoiceRequest request;
                request.contactId = clients[n];
                results[n] = invoiceContact(*db, request, BillingOptions{});
            } catch (const std::exception &e) {
                errors[n] = e.what();
            }
        };
        std::vector<std::thread> threads;
        for (int n = 0; n < 3; ++n)
            threads.emplace_back(runOne, n);
        for (auto &t : threads)
            t.join();
        for (const std::string &error : errors)
            ASSERT_EQ(error, std::string());

        // One of the two runs for Acme took all of its work; the other found
        // nothing left and used no number.
        const Invoice &acme = results[0].number ? results[0] : results[1];
        EXPECT_EQ((results[0].number ? results[1] : results[0]).number, 0);
        EXPECT_EQ(acme.lines.size(), 21u);
        EXPECT_EQ(results[2].lines.size(), 20u);
        EXPECT_NE(acme.number, results[2].number);
        for (const Invoice *invoice : std::initializer_list<const Invoice *>{&acme, &results[2]}) {
            QSet<int> seen;
            for (const auto &line : invoice->lines) {
                if (line.kind == Kind::TimeCard) {
                    EXPECT_FALSE(seen.contains(line.id)) << line.id << " listed twice";
                    seen.insert(line.id);
                }
            }
            EXPECT_EQ(m_db->scalar(QStringLiteral("SELECT COUNT(DISTINCT ContactID) FROM "
                                                  "tblTimeCards WHERE InvoiceID = ?"),
                                   {invoice->number})
                          .toInt(),
                      1);
            EXPECT_EQ(m_db->scalar(QStringLiteral("SELECT COUNT(*) FROM tblTimeCards WHERE "
                                                  "InvoiceID = ?"),
                                   {invoice->number})
                          .toInt(),
                      seen.size());
        }
    }
}

TEST_F(BillingFigures, APreviewMarksNothingAndTheIssuedInvoiceMatchesItWithItsTax)
{
    addFixture();
    BillingOptions options;
    options.taxRate = QStringLiteral("20");
    options.firmTaxNumber = QStringLiteral("GB 123");
    options.paymentTermsDays = 14;
    const auto open = [this] {
        return m_db
            ->scalar(QStringLiteral("SELECT COUNT(*) FROM tblTimeCards WHERE InvoiceID "
                                    "IS NULL"))
            .toInt();
    };
    const int openBefore = open();
    InvoiceRequest request = november(m_acme);
    request.invoiceDate = QDate(2026, 12, 1);
    const Invoice preview = previewInvoice(*m_db, request, options);
    EXPECT_EQ(open(), openBefore);
    EXPECT_EQ(preview.number, 0);
    EXPECT_EQ(preview.subtotal(), cents(139937));
    // 1399.37 at 20 % is 279.874: one rounding, to the cent.
    EXPECT_EQ(preview.tax, cents(27987));
    EXPECT_EQ(preview.total(), cents(167924));
    EXPECT_EQ(preview.dueDate, QDate(2026, 12, 15));

    const Invoice issued = invoiceContact(*m_db, request, options);
    ASSERT_EQ(issued.number, 1001);
    EXPECT_EQ(issued.subtotal(), preview.subtotal());
    EXPECT_EQ(issued.tax, preview.tax);
    ASSERT_EQ(issued.lines.size(), preview.lines.size());
    for (std::size_t i = 0; i < issued.lines.size(); ++i) {
        EXPECT_EQ(issued.lines[i].id, preview.lines[i].id);
        EXPECT_EQ(issued.lines[i].amount, preview.lines[i].amount) << "line " << i;
    }
    const Invoice stored = readInvoice(*m_db, 1001);
    EXPECT_EQ(stored.total(), cents(167924));
    EXPECT_EQ(stored.taxNumber, QStringLiteral("GB 123"));
    EXPECT_EQ(stored.dueDate, QDate(2026, 12, 15));
    EXPECT_EQ(Money::fromStored(m_db->scalar(
                  QStringLiteral("SELECT Total FROM tblInvoices WHERE InvoiceID = 1001"))),
              cents(167924));
    // Only the client's own billable work is on it.
    for (const InvoiceLine &line : stored.lines)
        EXPECT_NE(line.id, t10) << "another client's TimeCard";
}

TEST_F(BillingFigures, ReceivablesCountEachStandingInvoicesTaxAndWhatWasPaid)
{
    addFixture();
    BillingOptions options;
    options.taxRate = QStringLiteral("20");
    ASSERT_EQ(invoiceContact(*m_db, november(m_acme), options).number, 1001);
    ASSERT_EQ(invoiceContact(*m_db, november(m_birch), options).number, 1002);
    voidInvoice(*m_db, 1002, QStringLiteral("Issued twice"), QDate(2026, 12, 2));
    const auto receivables = reportRows("receivables");
    ASSERT_EQ(receivables.size(), 2u);
    // 1399.37 and its 279.87 of tax; 1000.00 paid on account.
    EXPECT_EQ(receivables[0], (QStringList{"Acme Ltd", "1679.24", "1000.00", "679.24"}));
    // The void invoice bills nothing: only the payment on account is left.
    EXPECT_EQ(receivables[1], (QStringList{"Birch & Co", "0.00", "200.00", "-200.00"}));
}

TEST_F(BillingFigures, TheClientsRoundingBillsTimeInStepsAndLeavesTheRecordedTime)
{
    addFixture();
    // Birch & Co is billed in quarter hours, rounded up.
    m_db->execute(QStringLiteral("UPDATE tblContacts SET BillingIncrement = 15, BillingRounding = "
                                 "0 WHERE ContactID = ?"),
                  {m_birch});
    const Invoice birch = invoiceContact(*m_db, november(m_birch), BillingOptions{});
    ASSERT_NE(birch.number, 0);
    // 50 min billed as 60: 112.50 x 60 / 50 = 135.00; 3 h stays 300.00; 60.00 of costs.
    const InvoiceLine *rounded = lineOf(birch, Kind::TimeCard, t11);
    ASSERT_NE(rounded, nullptr);
    EXPECT_EQ(rounded->amount, cents(13500));
    EXPECT_EQ(rounded->quantity, Duration::fromSeconds(3600).toShown());
    EXPECT_TRUE(rounded->note.contains(QStringLiteral("15-minute steps, rounded up")))
        << rounded->note.toStdString();
    // Its 90 % is of the hour billed at 150.00, not of the 50 minutes recorded.
    EXPECT_TRUE(rounded->note.endsWith(QStringLiteral("; 90% of 150.00 at the full rate")))
        << rounded->note.toStdString();
    EXPECT_EQ(lineOf(birch, Kind::TimeCard, t10)->amount, cents(30000));
    EXPECT_EQ(birch.subtotal(), cents(49500));
    // The TimeCard keeps the time and value recorded.
    EXPECT_EQ(m_db->scalar(QStringLiteral("SELECT Quantity FROM tblTimeCards WHERE TimeCardID = ?"),
                           {t11})
                  .toString(),
              QStringLiteral("0005000"));
    // A later change of the client's rounding does not change the invoice issued.
    m_db->execute(QStringLiteral("UPDATE tblContacts SET BillingIncrement = 0 WHERE ContactID = ?"),
                  {m_birch});
    EXPECT_EQ(readInvoice(*m_db, birch.number).subtotal(), cents(49500));
}

TEST_F(BillingFigures, ADocumentThatCannotBeWrittenLeavesNoNumberUsedAndNothingMarked)
{
    addFixture();
    EXPECT_THROW(invoiceContact(*m_db, november(m_acme), BillingOptions{},
                                [](const Invoice &) {
                                    throw QvError(ErrorNumber::PathFileAccess,
                                                  QStringLiteral("The disk is full."),
                                                  QStringLiteral("test"));
                                }),
                 QvError);
    EXPECT_EQ(m_db->scalar(QStringLiteral("SELECT COUNT(*) FROM tblTimeCards WHERE InvoiceID IS "
                                          "NOT NULL"))
                  .toInt(),
              0);
    EXPECT_EQ(m_db->scalar(QStringLiteral("SELECT COUNT(*) FROM tblInvoices")).toInt(), 0);
    EXPECT_EQ(invoiceContact(*m_db, november(m_acme), BillingOptions{}).number, 1001);
}

TEST_F(BillingFigures, AVoidReturnsTheWorkToOpenAndKeepsItsReasonAndNumber)
{
    addFixture();
    const Invoice first = invoiceContact(*m_db, november(m_acme), BillingOptions{});
    ASSERT_EQ(first.number, 1001);
    EXPECT_THROW(voidInvoice(*m_db, 1001, QStringLiteral("  "), QDate(2026, 12, 2)), QvError);
    voidInvoice(*m_db, 1001, QStringLiteral("Wrong period"), QDate(2026, 12, 2));
    EXPECT_THROW(voidInvoice(*m_db, 1001, QStringLiteral("Again"), QDate(2026, 12, 2)), QvError);
    const Invoice voided = readInvoice(*m_db, 1001);
    EXPECT_TRUE(voided.voided);
    EXPECT_EQ(voided.voidReason, QStringLiteral("Wrong period"));
    EXPECT_EQ(voided.balanceDue(), Money());
    EXPECT_TRUE(m_db->scalar(QStringLiteral("SELECT InvoiceAmount FROM tblExpenses WHERE "
                                            "ExpenseID = ?"),
                             {e1})
                    .isNull());

    // The work is invoiced again under a new number; the void one is never reused.
    const Invoice second = invoiceContact(*m_db, november(m_acme), BillingOptions{});
    EXPECT_EQ(second.number, 1002);
    EXPECT_EQ(second.subtotal(), first.subtotal());

    // Money received against an invoice keeps it from being voided.
    m_db->execute(QStringLiteral("INSERT INTO tblPayments (UserID, ContactID, PaymentAmount, "
                                 "PaymentDate, PaymentMethodID, FundContribution, InvoiceID) "
                                 "VALUES (?, ?, ?, ?, 1, 0, 1002)"),
                  {m_ann, m_acme, cents(-50000).toStored(), QDate(2026, 12, 3)});
    EXPECT_THROW(voidInvoice(*m_db, 1002, QStringLiteral("Late"), QDate(2026, 12, 4)), QvError);
    const Invoice paid = readInvoice(*m_db, 1002);
    EXPECT_EQ(paid.paid, cents(50000));
    EXPECT_EQ(paid.balanceDue(), paid.total() - cents(50000));
    const std::vector<InvoiceSummary> list = invoicesOf(*m_db, m_acme);
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list.front().number, 1002);
    EXPECT_TRUE(list.back().voided);
}

TEST_F(BillingFigures, TheInvoiceDocumentNamesFirmAndClientAndShowsOnlyEscapedText)
{
    addFixture();
    const QString out = m_tmp.filePath(QStringLiteral("invoices"));
    // No firm in the options: refused before anything is marked.
    CommandOutput refused = admin({"invoice", "--contact", QString::number(m_birch), "--from",
                                   "2026-11-01", "--to", "2026-11-30", "--out", out});
    EXPECT_NE(refused.result, 0);
    EXPECT_TRUE(refused.err.contains(QStringLiteral("firm's name"))) << refused.err.toStdString();
    EXPECT_EQ(m_db->scalar(QStringLiteral("SELECT COUNT(*) FROM tblInvoices")).toInt(), 0);

    ASSERT_EQ(admin({"firm", "set", "--name", "Pike <Consulting>", "--address",
                     "1 Quay St\\nBristol", "--tax-rate", "20"})
                  .result,
              0);
    const CommandOutput made = admin({"invoice", "--contact", QString::number(m_birch), "--from",
                                      "2026-11-01", "--to", "2026-11-30", "--out", out});
    ASSERT_EQ(made.result, 0) << made.err.toStdString();
    QFile pdf(out + QStringLiteral("/Invoice 1001.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.readAll().startsWith("%PDF"));
    QFile html(out + QStringLiteral("/Invoice 1001.html"));
    ASSERT_TRUE(html.open(QIODevice::ReadOnly));
    const QString page = QString::fromUtf8(html.readAll());
    EXPECT_TRUE(page.contains(QStringLiteral("Pike &lt;Consulting&gt;")));
    EXPECT_TRUE(page.contains(QStringLiteral("1 Quay St<br>Bristol")));
    EXPECT_TRUE(page.contains(QStringLiteral("Birch &amp; Co")));
    // 300.00 + 112.50 + 60.00, and 20 % of it.
    EXPECT_TRUE(page.contains(QStringLiteral("472.50")));
    EXPECT_TRUE(page.contains(QStringLiteral("94.50")));
    EXPECT_TRUE(page.contains(QStringLiteral("567.00")));
    EXPECT_FALSE(page.contains(QStringLiteral("Acme")));
}

} // namespace
