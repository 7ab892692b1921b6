#include "InvoiceBench.h"

#include "Samples.h"
#include "SqliteBaseline.h"
#include "charges/BillingOptions.h"
#include "charges/InvoiceDocument.h"
#include "charges/Invoicing.h"
#include "data/DatabaseSettings.h"
#include "platform/db/Connection.h"
#include "platform/db/Transaction.h"
#include "platform/registry/Registry.h"
#include "qvadmin/InitCommand.h"
#include "timecards/BillingStatus.h"

#include <QDir>
#include <QTemporaryDir>
#include <iostream>

namespace quorvale::bench {

namespace {

[[noreturn]] void fail(const std::string &what)
{
    std::cerr << "qvbench: " << what << '\n';
    std::exit(1);
}

constexpr int Client = 1;
constexpr int Number = 5001;

// The statements an invoice run makes, as the program words them.
struct RunSql {
    QString mark[3];
    QString lines[3];
};

RunSql runSql()
{
    const QString open = QStringLiteral("ContactID = %1 AND InvoiceID IS NULL AND ").arg(Client) +
                         invoicedConditionSql(QStringLiteral("BillStatus"));
    const QString charge = billedChargeAmountSql(
        QStringLiteral("BillStatus"), QStringLiteral("Amount"), QStringLiteral("Realization"));
    const char *tables[] = {"tblTimeCards", "tblExpenses", "tblFixedCharges"};
    const char *keys[] = {"TimeCardID", "ExpenseID", "ProductID"};
    const char *billed[] = {"Value", "InvoiceAmount", "InvoiceAmount"};
    RunSql sql;
    for (int t = 0; t < 3; ++t) {
        const QString table = QLatin1String(tables[t]);
        sql.mark[t] =
            QStringLiteral("UPDATE %1 SET InvoiceID = %2%3 WHERE %4")
                .arg(table)
                .arg(Number)
                .arg(t == 0 ? QString() : QStringLiteral(", InvoiceAmount = ") + charge, open);
        sql.lines[t] =
            QStringLiteral(
                "SELECT %2, StartDate, Description, Quantity, BillStatus, %3, "
                "TimeCardID, Rate, (SELECT ActivityName FROM tblMainActivities a "
                "WHERE a.ActivityID = %1.Activity1ID), %5, Realization FROM %1 WHERE InvoiceID = "
                "%4 ORDER BY StartDate, %2")
                .arg(table, QLatin1String(keys[t]), QLatin1String(billed[t]))
                .arg(Number)
                .arg(t == 0 ? QStringLiteral("FlatRate") : QStringLiteral("0"));
    }
    return sql;
}

} // namespace

std::vector<Measure> measureInvoicing(const QString &dir, int timeCards, int repetitions)
{
    QDir().mkpath(dir);
    QTemporaryDir scratch(dir + QStringLiteral("/invoicing-XXXXXX"));
    if (!scratch.isValid())
        fail("cannot make a scratch directory in " + dir.toStdString());
    admin::InitOptions init;
    init.location.programDir = scratch.filePath(QStringLiteral("program"));
    init.location.dataDir = scratch.filePath(QStringLiteral("data"));
    init.userName = QStringLiteral("Bench User");
    Registry registry(scratch.filePath(QStringLiteral("settings.ini")));
    admin::initialise(init, registry);
    db::Connection cnn;
    cnn.open(ConnectionStrings::programDatabase(init.location.dataDir));
    std::cerr << "qvbench: writing " << timeCards << " open TimeCards of one client and as many "
              << "of another\n";
    {
        db::Transaction tx(cnn);
        cnn.execute(QStringLiteral("INSERT INTO tblContacts (ContactID, ContactName, Active) "
                                   "VALUES (1, 'Invoiced Ltd', -1), (2, 'Other Ltd', -1)"));
        QSqlQuery insert = cnn.prepare(QStringLiteral(
            "INSERT INTO tblTimeCards (ContactID, UserId, Description, Quantity, StartDate, "
            "EndDate, BillStatus, Rate, FlatRate, Value, Inactive) VALUES (?, 1, ?, '0013000', ?, "
            "?, 'Billable', 1200000, 0, 1800000, 0)"));
        for (int i = 0; i < timeCards * 2; ++i) {
            const QDate day = QDate(2026, 11, 1).addDays(i % 30);
            cnn.run(insert, {i % 2 == 0 ? 1 : 2,
                             QStringLiteral("Work item %1: drafting and review").arg(i), day, day});
        }
        tx.commit();
    }
    const QString reset = QStringLiteral("UPDATE tblTimeCards SET InvoiceID = NULL; "
                                         "DELETE FROM tblInvoices;");
    const auto reopen = [&] {
        cnn.execute(QStringLiteral("UPDATE tblTimeCards SET InvoiceID = NULL"));
        cnn.execute(QStringLiteral("DELETE FROM tblInvoices"));
    };
    InvoiceRequest request;
    request.contactId = Client;
    request.invoiceId = Number;
    request.invoiceDate = QDate(2026, 12, 1);
    const BillingOptions options;
    Invoice last;
    Samples ours;
    for (int r = 0; r <= repetitions; ++r) {
        reopen();
        ours.start();
        last = invoiceContact(cnn, request, options);
        if (r > 0)
            ours.stop();
    }
    if (last.count(InvoiceLine::Kind::TimeCard) != timeCards)
        fail("the invoice did not take every TimeCard of the client");

    SqliteBaseline base(scratch.filePath(QStringLiteral("data/QVData.db")));
    const RunSql sql = runSql();
    Samples baseline;
    for (int r = 0; r <= repetitions; ++r) {
        base.exec(reset);
        baseline.start();
        base.exec(QStringLiteral("BEGIN IMMEDIATE"));
        for (const char *table : {"tblInvoices", "tblTimeCards", "tblExpenses", "tblFixedCharges"})
            base.readAll(QStringLiteral("SELECT MAX(InvoiceID) FROM %1").arg(QLatin1String(table)));
        for (const QString &mark : sql.mark)
            base.exec(mark);
        long lines = 0;
        for (const QString &read : sql.lines)
            lines += base.readAll(read);
        base.exec(QStringLiteral("INSERT INTO tblInvoices (InvoiceID, ContactID, InvoiceDate, "
                                 "DueDate, Subtotal, Tax, Total, Voided) VALUES (%1, %2, "
                                 "'2026-12-01', '2026-12-31', 0, 0, 0, 0)")
                      .arg(Number)
                      .arg(Client));
        base.exec(QStringLiteral("COMMIT"));
        if (r > 0)
            baseline.stop();
        if (lines != timeCards)
            fail("the baseline did not take every TimeCard of the client");
    }

    BillingOptions firm;
    firm.firmName = QStringLiteral("Morgan & Pike");
    firm.firmAddress = QStringLiteral("12 Quay Street\nBristol");
    const InvoiceParty client{QStringLiteral("Invoiced Ltd"), {QStringLiteral("1 High Street")}};
    qsizetype pdfBytes = 0;
    const double pdfMs = medianMs(std::max(1, repetitions / 5), [&] {
        pdfBytes = pdfOfHtml(invoiceHtml(last, firm, client), QStringLiteral("Invoice")).size();
    });
    std::cerr << "qvbench: the PDF of " << timeCards << " lines is " << pdfBytes / 1024 << " KiB\n";
    const QString label = QStringLiteral("invoice of %1 TimeCards").arg(timeCards);
    return {{label + QStringLiteral(", query and marking"), ours.spread().median,
             baseline.spread().median},
            {label + QStringLiteral(", PDF layout (no baseline)"), pdfMs, 0}};
}

} // namespace quorvale::bench
