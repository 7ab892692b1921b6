#include "qvadmin/InvoiceRun.h"

#include "platform/core/Duration.h"
#include "platform/core/QvError.h"
#include "platform/db/Connection.h"
#include "platform/db/Transaction.h"
#include "qvadmin/MasterRows.h"

#include <QSqlQuery>
#include <algorithm>
#include <climits>

namespace quorvale::admin {

namespace {

const QString Source = QStringLiteral("qvadmin: invoice");

// Where each kind of charge lives, and the columns its lines are read from.
struct ChargeTable {
    InvoiceLine::Kind kind;
    const char *table;
    const char *key;
    const char *user;
    // The amount a line bills as it was fixed when invoiced.
    const char *billed;
};

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
    return rows;
}

int nextInvoiceId(db::Connection &db)
{
    qlonglong highest = 1000; // invoice numbers start at 1001
    for (const ChargeTable &t : Tables) {
        const QVariant max =
            db.scalar(QStringLiteral("SELECT MAX(InvoiceID) FROM %1").arg(QLatin1String(t.table)));
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
struct OpenRows {
    QString where;
    QVariantList params;
};

OpenRows openRowsOf(const ChargeTable &t, const InvoiceRequest &request)
{
    OpenRows rows;
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
    const OpenRows rows = openRowsOf(t, request);
    QString set = QStringLiteral("InvoiceID = ?");
    // What a charge bills is fixed when it is invoiced, so a later change of the
    // client's realization cannot change an invoice already sent.
    if (t.kind != InvoiceLine::Kind::TimeCard)
        set += QStringLiteral(", InvoiceAmount = ") +
               billedChargeAmountSql(QStringLiteral("BillStatus"), QStringLiteral("Amount"),
                                     QStringLiteral("Realization"));
    return db.execute(
        QStringLiteral("UPDATE %1 SET %2 WHERE %3").arg(QLatin1String(t.table), set, rows.where),
        QVariantList{number} + rows.params);
}

QString quantityText(InvoiceLine::Kind kind, const QVariant &quantity)
{
    if (kind == InvoiceLine::Kind::TimeCard)
        return Duration::fromColumnOrZero(quantity).toShown();
    return quantity.toString();
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

void readLines(db::Connection &db, const ChargeTable &t, int number, int contactId,
               Invoice &invoice)
{
    const QString sql =
        QStringLiteral("SELECT %2, StartDate, Description, Quantity, BillStatus, %3, TimeCardID "
                       "FROM %1 WHERE InvoiceID = ? ORDER BY StartDate, %2")
            .arg(QLatin1String(t.table), QLatin1String(t.key), QLatin1String(t.billed));
    QSqlQuery q = db.prepare(sql);
    q.setForwardOnly(true);
    db.run(q, {number}, sql);
    std::vector<std::pair<InvoiceLine, QVariant>> found;
    while (q.next()) {
        InvoiceLine line;
        line.kind = t.kind;
        line.id = q.value(0).toInt();
        line.date = q.value(1).toDate();
        line.description = q.value(2).toString().simplified();
        line.quantity = quantityText(t.kind, q.value(3));
        line.treatment = billingTreatment(q.value(4).toString());
        line.amount =
            line.treatment == BillingTreatment::Charged ? Money::fromStored(q.value(5)) : Money();
        found.push_back({line, q.value(6)});
    }
    for (auto &[line, linkedCard] : found) {
        if (line.treatment == BillingTreatment::NoCharge) {
            line.note = billingTreatmentText(line.treatment);
        } else if (line.treatment == BillingTreatment::Covered) {
            const int self = t.kind == InvoiceLine::Kind::FixedCharge ? line.id : 0;
            const QVariant card =
                t.kind == InvoiceLine::Kind::TimeCard ? QVariant(line.id) : linkedCard;
            if (const auto covering = coveringFixedCharge(db, contactId, card, line.date, self)) {
                line.note = *covering;
            } else {
                line.note = QStringLiteral("No fixed charge of this client covers it");
                invoice.warnings << QStringLiteral("Line %1 is subject to a fixed charge, but the "
                                                   "client has no billed fixed charge up to %2.")
                                        .arg(line.id)
                                        .arg(line.date.toString(Qt::ISODate));
            }
        }
        invoice.lines.push_back(line);
    }
}

} // namespace

Money Invoice::total() const
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

Invoice invoiceContact(db::Connection &db, const InvoiceRequest &request)
{
    db::Transaction tx(db);
    requireRow(db, QStringLiteral("tblContacts"), QStringLiteral("ContactID"), request.contactId,
               QStringLiteral("contact"));
    if (request.userId)
        requireRow(db, QStringLiteral("tblUsers"), QStringLiteral("UserID"), *request.userId,
                   QStringLiteral("user"));
    lockInvoicing(db);
    Invoice invoice;
    invoice.contactName =
        db.scalar(QStringLiteral("SELECT ContactName FROM tblContacts WHERE ContactID = ?"),
                  {request.contactId})
            .toString();
    const int number = chooseNumber(db, request);
    int marked = 0;
    for (const ChargeTable &t : Tables)
        marked += markRows(db, t, request, number);
    if (marked == 0)
        return invoice; // rolled back: the number stays free
    for (const ChargeTable &t : Tables)
        readLines(db, t, number, request.contactId, invoice);
    std::stable_sort(invoice.lines.begin(), invoice.lines.end(),
                     [](const InvoiceLine &a, const InvoiceLine &b) { return a.date < b.date; });
    tx.commit();
    invoice.number = number;
    return invoice;
}

} // namespace quorvale::admin
