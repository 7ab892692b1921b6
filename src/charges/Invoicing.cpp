#include "charges/Invoicing.h"

#include "charges/BillingOptions.h"
#include "platform/core/Duration.h"
#include "platform/core/QvError.h"
#include "platform/db/Connection.h"
#include "platform/db/Transaction.h"
#include "platform/db/Values.h"
#include "timecards/TimeCardValue.h"

#include <QSqlQuery>
#include <algorithm>
#include <climits>

namespace quorvale {

namespace {

const QString Source = QStringLiteral("Invoicing");

// Where each kind of charge lives, and the columns its lines are read from.
struct ChargeTable {
    InvoiceLine::Kind kind;
    const char *table;
    const char *key;
    const char *user;
    // The amount a line bills as it was fixed when invoiced.
    const char *billed;
};

// What an open line would bill, before anything is fixed.
QString openAmountSql(const ChargeTable &t)
{
    if (t.kind == InvoiceLine::Kind::TimeCard)
        return QStringLiteral("Value");
    return billedChargeAmountSql(QStringLiteral("BillStatus"), QStringLiteral("Amount"),
                                 QStringLiteral("Realization"));
}

void requireRow(db::Connection &db, const QString &table, const QString &keyColumn, int id,
                const QString &what)
{
    // Table and column names are this file's constants; only the id is bound.
    if (db.scalar(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2 = ?").arg(table, keyColumn),
                  {id})
            .toLongLong() == 0)
        throw QvError(ErrorNumber::ItemNotFound,
                      QStringLiteral("There is no %1 with the ID %2.").arg(what).arg(id), Source);
}

const ChargeTable Tables[] = {
    {InvoiceLine::Kind::TimeCard, "tblTimeCards", "TimeCardID", "UserId", "Value"},
    {InvoiceLine::Kind::Expense, "tblExpenses", "ExpenseID", "UserID", "InvoiceAmount"},
    {InvoiceLine::Kind::FixedCharge, "tblFixedCharges", "ProductID", "UserID", "InvoiceAmount"},
};

// Takes the invoicing lock of the program database. SQLite's write transaction
// already holds it; on a server two runs would both see the same highest number,
// so the second waits here until the first has committed.
void lockInvoicing(db::Connection &db)
{
    if (db.dialect() == db::Dialect::PostgreSQL)
        db.execute(QStringLiteral("LOCK TABLE tblTimeCards IN SHARE ROW EXCLUSIVE MODE"));
}

qlonglong rowsOnInvoice(db::Connection &db, int invoiceId)
{
    qlonglong rows = 0;
    for (const ChargeTable &t : Tables)
        rows += db.scalar(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE InvoiceID = ?")
                              .arg(QLatin1String(t.table)),
                          {invoiceId})
                    .toLongLong();
    return rows + db.scalar(QStringLiteral("SELECT COUNT(*) FROM tblInvoices WHERE InvoiceID = ?"),
                            {invoiceId})
                      .toLongLong();
}

int nextInvoiceId(db::Connection &db)
{
    qlonglong highest = 1000; // invoice numbers start at 1001
    QStringList tables{QStringLiteral("tblInvoices")};
    for (const ChargeTable &t : Tables)
        tables << QLatin1String(t.table);
    // A voided invoice keeps its number: it is never handed out again.
    for (const QString &table : tables) {
        const QVariant max = db.scalar(QStringLiteral("SELECT MAX(InvoiceID) FROM %1").arg(table));
        if (!max.isNull())
            highest = std::max(highest, max.toLongLong());
    }
    if (highest >= INT_MAX)
        throw QvError(
            ErrorNumber::Generic,
            QStringLiteral("No invoice number follows %1; give one with --invoice.").arg(highest),
            Source);
    return int(highest + 1);
}

int chooseNumber(db::Connection &db, const InvoiceRequest &request)
{
    if (!request.invoiceId)
        return nextInvoiceId(db);
    // Adding to an invoice already sent would change what the client holds.
    if (rowsOnInvoice(db, *request.invoiceId) > 0)
        throw QvError(ErrorNumber::Generic,
                      QStringLiteral("Invoice %1 already exists; nothing was invoiced. Leave out "
                                     "--invoice to use the next free number.")
                          .arg(*request.invoiceId),
                      Source);
    return *request.invoiceId;
}

// "ContactID = ? AND InvoiceID IS NULL AND ..." with its parameters.
struct RowFilter {
    QString where;
    QVariantList params;
};

RowFilter openRowsOf(const ChargeTable &t, const InvoiceRequest &request)
{
    RowFilter rows;
    rows.where = QStringLiteral("ContactID = ? AND InvoiceID IS NULL AND ") +
                 invoicedConditionSql(QStringLiteral("BillStatus"));
    rows.params << request.contactId;
    if (request.userId) {
        rows.where += QStringLiteral(" AND %1 = ?").arg(QLatin1String(t.user));
        rows.params << *request.userId;
    }
    if (request.from) {
        rows.where += QStringLiteral(" AND StartDate >= ?");
        rows.params << *request.from;
    }
    if (request.to) {
        rows.where += QStringLiteral(" AND StartDate <= ?");
        rows.params << *request.to;
    }
    return rows;
}

int markRows(db::Connection &db, const ChargeTable &t, const InvoiceRequest &request, int number)
{
    const RowFilter rows = openRowsOf(t, request);
    QString set = QStringLiteral("InvoiceID = ?");
    // What a charge bills is fixed when it is invoiced, so a later change of the
    // client's realization cannot change an invoice already sent.
    if (t.kind != InvoiceLine::Kind::TimeCard)
        set += QStringLiteral(", InvoiceAmount = ") + openAmountSql(t);
    return db.execute(
        QStringLiteral("UPDATE %1 SET %2 WHERE %3").arg(QLatin1String(t.table), set, rows.where),
        QVariantList{number} + rows.params);
}

// The description on one line, as simplified() makes it; most already are,
// and an invoice of thousands of lines should not copy each.
QString oneLine(const QString &text)
{
    bool space = true; // a leading space needs simplifying too
    for (const QChar c : text) {
        const bool isSpace = c.isSpace();
        if (isSpace && (space || c != u' '))
            return text.simplified();
        space = isSpace;
    }
    return space && !text.isEmpty() ? text.simplified() : text;
}

// The fixed charge that covers a line "Subject to fixed charge": the one linked
// to the same TimeCard, else the client's latest billed fixed charge up to the
// line's date.
std::optional<QString> coveringFixedCharge(db::Connection &db, int contactId,
                                           const QVariant &timeCardId, const QDate &date,
                                           int selfProductId)
{
    const QString pick = QStringLiteral(
        "SELECT ProductID, Description FROM tblFixedCharges WHERE ProductID <> ? AND ");
    const QString billed = QStringLiteral(" AND ") +
                           invoicedConditionSql(QStringLiteral("BillStatus")) +
                           QStringLiteral(" AND BillStatus <> 'Subject to fixed charge'");
    std::vector<std::pair<QString, QVariantList>> tries;
    if (!timeCardId.isNull())
        tries.push_back({pick + QStringLiteral("TimeCardID = ?") + billed +
                             QStringLiteral(" ORDER BY ProductID"),
                         {selfProductId, timeCardId}});
    tries.push_back({pick + QStringLiteral("ContactID = ? AND StartDate <= ?") + billed +
                         QStringLiteral(" ORDER BY StartDate DESC, ProductID DESC"),
                     {selfProductId, contactId, date}});
    for (const auto &[sql, params] : tries) {
        QSqlQuery q = db.prepare(sql);
        q.setForwardOnly(true);
        db.run(q, params, sql);
        if (q.next())
            return QStringLiteral("Covered by fixed charge %1 (%2)")
                .arg(q.value(0).toString(), q.value(1).toString().simplified());
    }
    return std::nullopt;
}

// The lines of the rows the filter picks; `amount` is the SQL of what each bills.
void readLines(db::Connection &db, const ChargeTable &t, const RowFilter &rows,
               const QString &amount, Invoice &invoice)
{
    const QString sql =
        QStringLiteral("SELECT %2, StartDate, Description, Quantity, BillStatus, %3, TimeCardID, "
                       "Rate, (SELECT ActivityName FROM tblMainActivities a WHERE a.ActivityID = "
                       "%1.Activity1ID), %5, Realization FROM %1 WHERE %4 ORDER BY StartDate, %2")
            .arg(QLatin1String(t.table), QLatin1String(t.key), amount, rows.where,
                 t.kind == InvoiceLine::Kind::TimeCard ? QStringLiteral("FlatRate")
                                                       : QStringLiteral("0"));
    QSqlQuery q = db.prepare(sql);
    q.setForwardOnly(true);
    db.run(q, rows.params, sql);
    std::vector<std::pair<InvoiceLine, QVariant>> found;
    while (q.next()) {
        InvoiceLine line;
        line.kind = t.kind;
        line.id = q.value(0).toInt();
        line.date = db::dateFrom(q.value(1));
        line.description = oneLine(q.value(2).toString());
        const Duration recorded = t.kind == InvoiceLine::Kind::TimeCard
                                      ? Duration::fromColumnOrZero(q.value(3))
                                      : Duration();
        line.quantity =
            t.kind == InvoiceLine::Kind::TimeCard ? recorded.toShown() : q.value(3).toString();
        line.treatment = billingTreatment(q.value(4).toString());
        line.amount =
            line.treatment == BillingTreatment::Charged ? Money::fromStored(q.value(5)) : Money();
        line.rate = Money::fromStored(q.value(7));
        line.activity = q.value(8).toString();
        if (t.kind == InvoiceLine::Kind::TimeCard) {
            const bool flatFee = Money::fromStored(q.value(9)) != Money();
            Duration billed = recorded;
            QStringList notes;
            if (invoice.rounding.active()) {
                // Billed in the client's steps; the TimeCard keeps the time recorded.
                billed = billedTime(recorded, invoice.rounding);
                if (billed != recorded) {
                    line.quantity = billed.toShown();
                    line.amount = billedValue(line.amount, recorded, invoice.rounding, flatFee);
                    notes << QStringLiteral("%1 recorded, billed in %2")
                                 .arg(recorded.toShown(), invoice.rounding.text());
                }
            }
            // The value holds the realization: without a word the client would
            // find time times rate short of (or above) the amount.
            const Realization realization = Realization::fromStored(q.value(10));
            if (!flatFee && line.treatment == BillingTreatment::Charged && line.rate != Money() &&
                realization != Realization())
                notes << QStringLiteral("%1 of %2 at the full rate")
                             .arg(realization.toDisplayString(),
                                  timeSpentValue(billed.seconds(), line.rate, Realization())
                                      .toDisplayString());
            line.note = notes.join(QStringLiteral("; "));
        }
        // A TimeCard is its own card; a charge names the TimeCard it was for.
        found.emplace_back(std::move(line),
                           t.kind == InvoiceLine::Kind::TimeCard ? QVariant() : q.value(6));
    }
    invoice.lines.reserve(invoice.lines.size() + found.size());
    for (auto &[line, linkedCard] : found) {
        if (line.treatment == BillingTreatment::NoCharge) {
            line.note = billingTreatmentText(line.treatment);
        } else if (line.treatment == BillingTreatment::Covered) {
            const int self = t.kind == InvoiceLine::Kind::FixedCharge ? line.id : 0;
            const QVariant card =
                t.kind == InvoiceLine::Kind::TimeCard ? QVariant(line.id) : linkedCard;
            if (const auto covering =
                    coveringFixedCharge(db, invoice.contactId, card, line.date, self)) {
                line.note = *covering;
            } else {
                line.note = QStringLiteral("No fixed charge of this client covers it");
                invoice.warnings << QStringLiteral("Line %1 is subject to a fixed charge, but the "
                                                   "client has no billed fixed charge up to %2.")
                                        .arg(line.id)
                                        .arg(line.date.toString(Qt::ISODate));
            }
        }
        invoice.lines.push_back(std::move(line));
    }
}

void sortLines(Invoice &invoice)
{
    const auto byDate = [](const InvoiceLine &a, const InvoiceLine &b) { return a.date < b.date; };
    // Each kind is read in date order already; only a mix needs merging.
    if (std::is_sorted(invoice.lines.begin(), invoice.lines.end(), byDate))
        return;
    std::stable_sort(invoice.lines.begin(), invoice.lines.end(), byDate);
}

Invoice started(db::Connection &db, const InvoiceRequest &request, const BillingOptions &options)
{
    requireRow(db, QStringLiteral("tblContacts"), QStringLiteral("ContactID"), request.contactId,
               QStringLiteral("contact"));
    if (request.userId)
        requireRow(db, QStringLiteral("tblUsers"), QStringLiteral("UserID"), *request.userId,
                   QStringLiteral("user"));
    Invoice invoice;
    invoice.contactId = request.contactId;
    invoice.contactName =
        db.scalar(QStringLiteral("SELECT ContactName FROM tblContacts WHERE ContactID = ?"),
                  {request.contactId})
            .toString();
    invoice.invoiceDate =
        request.invoiceDate.isValid() ? request.invoiceDate : QDate::currentDate();
    invoice.dueDate = invoice.invoiceDate.addDays(std::max(0, options.paymentTermsDays));
    invoice.periodFrom = request.from;
    invoice.periodTo = request.to;
    invoice.taxRate = options.taxRate.trimmed();
    invoice.taxNumber = options.firmTaxNumber.trimmed();
    QSqlQuery q = db.prepare(QStringLiteral(
        "SELECT BillingIncrement, BillingRounding FROM tblContacts WHERE ContactID = ?"));
    q.setForwardOnly(true);
    db.run(q, {request.contactId});
    if (q.next())
        invoice.rounding = BillingRounding::fromStored(q.value(0), q.value(1));
    return invoice;
}

QVariant dateOrNull(const std::optional<QDate> &date)
{
    return date ? QVariant(*date) : QVariant();
}

// Payments received are stored negative (they lower what the client owes);
// money paid into the client's funds settles no invoice.
Money paidOn(db::Connection &db, int number)
{
    return -Money::fromStored(db.scalar(QStringLiteral("SELECT SUM(PaymentAmount) FROM "
                                                       "tblPayments WHERE InvoiceID = ? AND "
                                                       "FundContribution = 0"),
                                        {number}));
}

} // namespace

Money Invoice::subtotal() const
{
    Money sum;
    for (const InvoiceLine &line : lines)
        sum += line.amount;
    return sum;
}

int Invoice::count(InvoiceLine::Kind kind) const
{
    return int(std::count_if(lines.begin(), lines.end(),
                             [kind](const InvoiceLine &l) { return l.kind == kind; }));
}

Invoice previewInvoice(db::Connection &db, const InvoiceRequest &request,
                       const BillingOptions &options)
{
    Invoice invoice = started(db, request, options);
    for (const ChargeTable &t : Tables)
        readLines(db, t, openRowsOf(t, request), openAmountSql(t), invoice);
    sortLines(invoice);
    invoice.tax = taxOn(invoice.subtotal(), invoice.taxRate);
    return invoice;
}

Invoice invoiceContact(db::Connection &db, const InvoiceRequest &request,
                       const BillingOptions &options, const InvoiceDocumentWriter &write)
{
    if (!taxRateUnits(options.taxRate))
        throw QvError(ErrorNumber::Generic,
                      QStringLiteral("The tax rate \"%1\" of the billing options is not a "
                                     "percentage; nothing was invoiced.")
                          .arg(options.taxRate),
                      Source);
    db::Transaction tx(db);
    lockInvoicing(db);
    Invoice invoice = started(db, request, options);
    const int number = chooseNumber(db, request);
    int marked = 0;
    for (const ChargeTable &t : Tables)
        marked += markRows(db, t, request, number);
    if (marked == 0)
        return invoice; // rolled back: the number stays free
    for (const ChargeTable &t : Tables)
        readLines(db, t, RowFilter{QStringLiteral("InvoiceID = ?"), {number}},
                  QLatin1String(t.billed), invoice);
    sortLines(invoice);
    invoice.tax = taxOn(invoice.subtotal(), invoice.taxRate);
    invoice.number = number;
    db.execute(QStringLiteral("INSERT INTO tblInvoices (InvoiceID, ContactID, InvoiceDate, "
                              "DueDate, PeriodFrom, PeriodTo, IssuedBy, Subtotal, TaxRate, Tax, "
                              "Total, TaxNumber, BillingIncrement, BillingRounding, Voided) "
                              "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 0)"),
               {number, request.contactId, invoice.invoiceDate, invoice.dueDate,
                dateOrNull(request.from), dateOrNull(request.to),
                request.issuedBy > 0 ? QVariant(request.issuedBy) : QVariant(),
                invoice.subtotal().toStored(), invoice.taxRate, invoice.tax.toStored(),
                invoice.total().toStored(), invoice.taxNumber, invoice.rounding.incrementMinutes,
                static_cast<int>(invoice.rounding.direction)});
    if (write)
        write(invoice); // a throw rolls the transaction back on the way out
    tx.commit();
    return invoice;
}

Invoice readInvoice(db::Connection &db, int number)
{
    QSqlQuery q = db.prepare(QStringLiteral(
        "SELECT i.ContactID, c.ContactName, i.InvoiceDate, i.DueDate, i.PeriodFrom, i.PeriodTo, "
        "i.TaxRate, i.Tax, i.TaxNumber, i.Voided, i.VoidReason, i.BillingIncrement, "
        "i.BillingRounding FROM tblInvoices i LEFT JOIN "
        "tblContacts c ON c.ContactID = i.ContactID WHERE i.InvoiceID = ?"));
    q.setForwardOnly(true);
    db.run(q, {number});
    if (!q.next())
        throw QvError(ErrorNumber::ItemNotFound,
                      QStringLiteral("There is no invoice %1.").arg(number), Source);
    Invoice invoice;
    invoice.number = number;
    invoice.contactId = q.value(0).toInt();
    invoice.contactName = q.value(1).toString();
    invoice.invoiceDate = q.value(2).toDate();
    invoice.dueDate = q.value(3).toDate();
    if (!q.value(4).isNull())
        invoice.periodFrom = q.value(4).toDate();
    if (!q.value(5).isNull())
        invoice.periodTo = q.value(5).toDate();
    invoice.taxRate = q.value(6).toString();
    invoice.tax = Money::fromStored(q.value(7));
    invoice.taxNumber = q.value(8).toString();
    invoice.voided = q.value(9).toInt() != 0;
    invoice.voidReason = q.value(10).toString();
    invoice.rounding = BillingRounding::fromStored(q.value(11), q.value(12));
    q.finish();
    if (!invoice.voided)
        for (const ChargeTable &t : Tables)
            readLines(db, t, RowFilter{QStringLiteral("InvoiceID = ?"), {number}},
                      QLatin1String(t.billed), invoice);
    sortLines(invoice);
    invoice.paid = paidOn(db, number);
    return invoice;
}

void voidInvoice(db::Connection &db, int number, const QString &reason, const QDate &date)
{
    if (reason.trimmed().isEmpty())
        throw QvError(ErrorNumber::Generic,
                      QStringLiteral("Give the reason invoice %1 is void; it was kept as it was.")
                          .arg(number),
                      Source);
    db::Transaction tx(db);
    lockInvoicing(db);
    const QVariant voided =
        db.scalar(QStringLiteral("SELECT Voided FROM tblInvoices WHERE InvoiceID = ?"), {number});
    if (voided.isNull())
        throw QvError(ErrorNumber::ItemNotFound,
                      QStringLiteral("There is no invoice %1.").arg(number), Source);
    if (voided.toInt() != 0)
        throw QvError(ErrorNumber::Generic,
                      QStringLiteral("Invoice %1 is void already.").arg(number), Source);
    if (paidOn(db, number) != Money())
        throw QvError(ErrorNumber::Generic,
                      QStringLiteral("Invoice %1 has payments applied to it; it was kept as it "
                                     "was. Move the payments to another invoice first.")
                          .arg(number),
                      Source);
    for (const ChargeTable &t : Tables) {
        const QString set = t.kind == InvoiceLine::Kind::TimeCard
                                ? QStringLiteral("InvoiceID = NULL")
                                : QStringLiteral("InvoiceID = NULL, InvoiceAmount = NULL");
        db.execute(
            QStringLiteral("UPDATE %1 SET %2 WHERE InvoiceID = ?").arg(QLatin1String(t.table), set),
            {number});
    }
    db.execute(QStringLiteral("UPDATE tblInvoices SET Voided = -1, VoidDate = ?, VoidReason = ? "
                              "WHERE InvoiceID = ?"),
               {date.isValid() ? date : QDate::currentDate(), reason.trimmed(), number});
    tx.commit();
}

std::vector<InvoiceSummary> invoicesOf(db::Connection &db, int contactId)
{
    QSqlQuery q = db.prepare(QStringLiteral(
        "SELECT i.InvoiceID, i.InvoiceDate, i.DueDate, i.Total, i.Voided, (SELECT "
        "-SUM(p.PaymentAmount) FROM tblPayments p WHERE p.InvoiceID = i.InvoiceID AND "
        "p.FundContribution = 0) FROM "
        "tblInvoices i WHERE i.ContactID = ? ORDER BY i.InvoiceDate DESC, i.InvoiceID DESC"));
    q.setForwardOnly(true);
    db.run(q, {contactId});
    std::vector<InvoiceSummary> out;
    while (q.next())
        out.push_back({q.value(0).toInt(), q.value(1).toDate(), q.value(2).toDate(),
                       Money::fromStored(q.value(3)), Money::fromStored(q.value(5)),
                       q.value(4).toInt() != 0});
    return out;
}

QString invoiceLabel(const InvoiceSummary &invoice)
{
    QString label = QStringLiteral("Invoice %1 of %2, %3")
                        .arg(invoice.number)
                        .arg(invoice.invoiceDate.toString(QStringLiteral("d MMM yyyy")),
                             invoice.total.toDisplayString());
    if (invoice.voided)
        return label + QStringLiteral(" (void)");
    if (invoice.balanceDue() <= Money())
        return label + QStringLiteral(" (paid)");
    return label + QStringLiteral(", %1 due").arg(invoice.balanceDue().toDisplayString());
}

} // namespace quorvale
