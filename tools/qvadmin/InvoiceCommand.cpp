#include "qvadmin/InvoiceCommand.h"

#include "platform/core/QvError.h"
#include "platform/db/Connection.h"
#include "platform/db/Transaction.h"
#include "qvadmin/Arguments.h"
#include "qvadmin/MasterRows.h"
#include "qvadmin/ProgramDatabase.h"
#include "timecards/BillingStatus.h"

#include <QTextStream>
#include <algorithm>
#include <climits>

namespace quorvale::admin {

namespace {

int nextInvoiceId(db::Connection &db)
{
    // Two runs at once on a server would both see the same highest number; the
    // second waits here until the first has committed and then sees its number.
    if (db.dialect() == db::Dialect::PostgreSQL)
        db.execute(QStringLiteral("LOCK TABLE tblTimeCards IN SHARE ROW EXCLUSIVE MODE"));
    qlonglong highest = 1000; // invoice numbers start at 1001
    for (const char *table : {"tblTimeCards", "tblExpenses", "tblFixedCharges"}) {
        const QVariant max =
            db.scalar(QStringLiteral("SELECT MAX(InvoiceID) FROM ") + QLatin1String(table));
        if (!max.isNull())
            highest = std::max(highest, max.toLongLong());
    }
    if (highest >= INT_MAX)
        throw QvError(
            ErrorNumber::Generic,
            QStringLiteral("No invoice number follows %1; give one with --invoice.").arg(highest),
            QStringLiteral("qvadmin: invoice"));
    return int(highest + 1);
}

} // namespace

InvoiceResult invoiceUser(db::Connection &db, int userId, std::optional<int> invoiceId)
{
    db::Transaction tx(db);
    requireRow(db, QStringLiteral("tblUsers"), QStringLiteral("UserID"), userId,
               QStringLiteral("user"));
    InvoiceResult result;
    result.invoiceId = invoiceId ? *invoiceId : nextInvoiceId(db);
    // Only what its status says goes on an invoice; "Hold" and "Do not bill" stay open.
    QVariantList params{result.invoiceId, userId};
    for (const QString &status : invoicedStatuses())
        params << status;
    const QString billed = QStringLiteral(" AND InvoiceID IS NULL AND ") +
                           invoicedCondition(QStringLiteral("BillStatus"));
    result.timeCards = db.execute(
        QStringLiteral("UPDATE tblTimeCards SET InvoiceID = ? WHERE UserId = ?") + billed, params);
    result.expenses = db.execute(
        QStringLiteral("UPDATE tblExpenses SET InvoiceID = ? WHERE UserID = ?") + billed, params);
    result.fixedCharges = db.execute(
        QStringLiteral("UPDATE tblFixedCharges SET InvoiceID = ? WHERE UserID = ?") + billed,
        params);
    tx.commit();
    return result;
}

int runInvoice(const QStringList &args, const GlobalOptions &globals, QTextStream &out)
{
    const Arguments a(args, {QStringLiteral("user"), QStringLiteral("invoice")}, {});
    a.requireWords(0, 0, QStringLiteral("invoice --user ID [--invoice N]"));
    const auto user = a.number(QStringLiteral("user"), 1, INT_MAX);
    if (!user)
        usageError(QStringLiteral("Usage: qvadmin invoice --user ID [--invoice N]"));
    const auto invoice = a.number(QStringLiteral("invoice"), 1, INT_MAX);
    ProgramDatabase program(globals);
    const InvoiceResult r = invoiceUser(program.connection(), int(*user),
                                        invoice ? std::optional<int>(int(*invoice)) : std::nullopt);
    if (r.total() == 0) {
        out << "Nothing to invoice for user " << *user << ".\n";
        return 0;
    }
    out << "Invoice " << r.invoiceId << ": " << r.timeCards << " TimeCards, " << r.expenses
        << " expenses, " << r.fixedCharges << " fixed charges invoiced for user " << *user << ".\n";
    return 0;
}

} // namespace quorvale::admin
