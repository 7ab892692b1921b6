#include "qvadmin/ReportKinds.h"

#include "timecards/BillingStatus.h"

namespace quorvale::admin {

namespace {

using F = ReportFormat;

ReportColumn text(const char *heading)
{
    return {QString::fromUtf8(heading), F::Text, false};
}
ReportColumn number(const char *heading, bool totalled = false)
{
    return {QString::fromUtf8(heading), F::Number, totalled};
}
ReportColumn money(const char *heading, bool totalled = true)
{
    return {QString::fromUtf8(heading), F::Money, totalled};
}
ReportColumn date(const char *heading)
{
    return {QString::fromUtf8(heading), F::Date, false};
}
ReportColumn time(const char *heading)
{
    return {QString::fromUtf8(heading), F::Time, false};
}

const QString ContactJoin = QStringLiteral(" LEFT JOIN tblContacts c ON c.ContactID = ");
const QString ActivityJoins =
    QStringLiteral(" LEFT JOIN tblMainActivities a1 ON a1.ActivityID = x.Activity1ID"
                   " LEFT JOIN tblSubActivities a2 ON a2.ActivityID = x.Activity2ID");

// A link table names Outlook items by EntryID; the report lists the links with
// the TimeCard they belong to, whose user and start date the filter applies to.
ReportKind itemLinks(const char *name, const char *title, const char *table, const char *key,
                     pim::ItemType type)
{
    return {QString::fromUtf8(name),
            QString::fromUtf8(title),
            (QStringLiteral("SELECT k.%2, k.TimeCardID, t.StartDate, c.ContactName, "
                            "t.Description, k.EntryID FROM %1 k LEFT JOIN tblTimeCards t ON "
                            "t.TimeCardID = k.TimeCardID") +
             ContactJoin +
             QStringLiteral("t.ContactID WHERE 1 = 1 "
                            "{filter:t.UserId,t.StartDate,t.ContactID,t.InvoiceID} "
                            "ORDER BY t.StartDate, k.TimeCardID, k.%2"))
                .arg(QLatin1String(table), QLatin1String(key)),
            {number("ID"), number("TimeCard"), date("TimeCard Date"), text("Contact"),
             text("TimeCard Description"), text("Item EntryID")},
            type,
            5};
}

// Billed or open rows of TimeCards, expenses and fixed charges side by side, one
// amount column each, for the billing summaries. What each row counts for is the
// billing rule's: billed rows at what their invoice billed, open rows at what
// they would bill, and work not to be billed not at all.
QString chargesUnion(bool billed)
{
    const auto amounts = [billed](const QString &x, bool timeCard) {
        const QString status = x + QStringLiteral(".BillStatus");
        if (timeCard)
            return billed ? billedTimeValueSql(status, x + QStringLiteral(".Value"))
                          : openTimeValueSql(status, x + QStringLiteral(".Value"));
        const QString amount = x + QStringLiteral(".Amount");
        const QString realization = x + QStringLiteral(".Realization");
        // An invoice keeps what it billed, whatever the row's realization became.
        return billed ? QStringLiteral("COALESCE(%1.InvoiceAmount, %2)")
                            .arg(x, billedChargeAmountSql(status, amount, realization))
                      : openChargeAmountSql(status, amount, realization);
    };
    const auto where = [billed](const QString &x) {
        return (billed ? QStringLiteral("%1.InvoiceID IS NOT NULL AND ")
                       : QStringLiteral("%1.InvoiceID IS NULL AND "))
                   .arg(x) +
               owedConditionSql(x + QStringLiteral(".BillStatus"));
    };
    return QStringLiteral(
               "SELECT t.InvoiceID AS InvoiceID, t.ContactID AS ContactID, 1 AS TimeCards, "
               "%1 AS TimeValue, 0 AS ExpenseAmount, 0 AS ChargeAmount FROM tblTimeCards t "
               "WHERE %2 {filter:t.UserId,t.StartDate} "
               "UNION ALL SELECT e.InvoiceID, e.ContactID, 0, 0, %3, 0 FROM tblExpenses e "
               "WHERE %4 {filter:e.UserID,e.StartDate} "
               "UNION ALL SELECT f.InvoiceID, f.ContactID, 0, 0, 0, %5 FROM tblFixedCharges f "
               "WHERE %6 {filter:f.UserID,f.StartDate}")
        .arg(amounts(QStringLiteral("t"), true), where(QStringLiteral("t")),
             amounts(QStringLiteral("e"), false), where(QStringLiteral("e")),
             amounts(QStringLiteral("f"), false), where(QStringLiteral("f")));
}

std::vector<ReportKind> buildKinds()
{
    std::vector<ReportKind> kinds;
    kinds.push_back(
        {QStringLiteral("timecards"),
         QStringLiteral("TimeCards"),
         QStringLiteral("SELECT x.TimeCardID, x.StartDate, c.ContactName, a1.ActivityName, "
                        "a2.ActivityName, x.Description, x.Quantity, x.EntryType, x.BillStatus, "
                        "x.Rate, x.Value, x.InvoiceID FROM tblTimeCards x") +
             ContactJoin + QStringLiteral("x.ContactID") + ActivityJoins +
             QStringLiteral(" WHERE 1 = 1 {filter:x.UserId,x.StartDate,x.ContactID,x.InvoiceID} "
                            "ORDER BY x.StartDate, x.TimeCardID"),
         {number("TimeCard"),
          date("Date"),
          text("Contact"),
          text("Activity 1"),
          text("Activity 2"),
          text("Description"),
          {QStringLiteral("Time"), F::Duration, true},
          text("Entry Type"),
          text("Bill Status"),
          money("Rate", false),
          money("Value"),
          number("Invoice")}});
    kinds.push_back(
        {QStringLiteral("expenses"),
         QStringLiteral("Expenses"),
         QStringLiteral("SELECT x.ExpenseID, x.StartDate, c.ContactName, ec.ExpenseNumber, "
                        "x.Description, x.Quantity, x.Rate, x.Amount, x.BillStatus, x.InvoiceID "
                        "FROM tblExpenses x LEFT JOIN tblExpenseCodes ec ON ec.ExpenseCodeID = "
                        "x.ExpenseCodeID") +
             ContactJoin +
             QStringLiteral("x.ContactID WHERE 1 = 1 "
                            "{filter:x.UserID,x.StartDate,x.ContactID,x.InvoiceID} "
                            "ORDER BY x.StartDate, x.ExpenseID"),
         {number("Expense"), date("Date"), text("Contact"), text("Code"), text("Description"),
          number("Quantity"), money("Rate", false), money("Amount"), text("Bill Status"),
          number("Invoice")}});
    kinds.push_back(
        {QStringLiteral("fixed-charges"),
         QStringLiteral("Fixed Charges"),
         QStringLiteral("SELECT x.ProductID, x.StartDate, c.ContactName, fc.ProductNumber, "
                        "x.Description, x.Quantity, x.Rate, x.Amount, x.BillStatus, x.InvoiceID "
                        "FROM tblFixedCharges x LEFT JOIN tblFixedChargeCodes fc ON "
                        "fc.ProductCodeID = x.ProductCodeID") +
             ContactJoin +
             QStringLiteral("x.ContactID WHERE 1 = 1 "
                            "{filter:x.UserID,x.StartDate,x.ContactID,x.InvoiceID} "
                            "ORDER BY x.StartDate, x.ProductID"),
         {number("Fixed Charge"), date("Date"), text("Contact"), text("Code"), text("Description"),
          number("Quantity"), money("Rate", false), money("Amount"), text("Bill Status"),
          number("Invoice")}});
    kinds.push_back(itemLinks("tasks", "Tasks", "tblTasks", "TaskID", pim::ItemType::Task));
    kinds.push_back(
        {QStringLiteral("time-detail"),
         QStringLiteral("Time Detail"),
         QStringLiteral("SELECT ap.TimeCardID, ap.StartDate, ap.StartTime, ap.EndDate, "
                        "ap.EndTime, ap.Duration, c.ContactName, t.Description, ap.EntryID "
                        "FROM tblAppointments ap LEFT JOIN tblTimeCards t ON t.TimeCardID = "
                        "ap.TimeCardID") +
             ContactJoin +
             QStringLiteral("t.ContactID WHERE 1 = 1 "
                            "{filter:t.UserId,ap.StartDate,t.ContactID,t.InvoiceID} "
                            "ORDER BY ap.StartDate, ap.StartTime, ap.TimeCardID"),
         {number("TimeCard"), date("Start Date"), time("Start Time"), date("End Date"),
          time("End Time"), number("Minutes", true), text("Contact"), text("TimeCard Description"),
          text("Item EntryID")},
         pim::ItemType::Appointment,
         8});
    // One TimeCard a row; the command turns the dates into the week's days.
    kinds.push_back(
        {QStringLiteral("timesheet"),
         QStringLiteral("Weekly Timesheet"),
         QStringLiteral("SELECT x.TimeCardID, x.StartDate, c.ContactName, a1.ActivityName, "
                        "a2.ActivityName, x.Description, x.Quantity FROM tblTimeCards x") +
             ContactJoin + QStringLiteral("x.ContactID") + ActivityJoins +
             QStringLiteral(" WHERE 1 = 1 {filter:x.UserId,x.StartDate,x.ContactID,x.InvoiceID} "
                            "ORDER BY c.ContactName, x.StartDate, x.TimeCardID"),
         {number("TimeCard"),
          date("Date"),
          text("Contact"),
          text("Activity 1"),
          text("Activity 2"),
          text("Description"),
          {QStringLiteral("Time"), F::Duration, true}},
         std::nullopt,
         -1,
         true});
    kinds.push_back(itemLinks("scheduled-appointments", "Scheduled Appointments",
                              "tblScheduledAppointments", "ScheduledAppointmentID",
                              pim::ItemType::Appointment));
    kinds.push_back(itemLinks("notes", "Notes", "tblNotes", "NoteID", pim::ItemType::Note));
    kinds.push_back(
        itemLinks("messages", "Messages", "tblMessages", "MessageID", pim::ItemType::Mail));
    kinds.push_back(
        {QStringLiteral("evaluations"),
         QStringLiteral("Evaluations"),
         QStringLiteral("SELECT c.ContactName, x.TimeCardID, x.StartDate, x.Quantity, x.Rate, "
                        "x.Realization, x.Value FROM tblTimeCards x") +
             ContactJoin +
             QStringLiteral("x.ContactID WHERE 1 = 1 "
                            "{filter:x.UserId,x.StartDate,x.ContactID,x.InvoiceID} "
                            "ORDER BY c.ContactName, x.StartDate, x.TimeCardID"),
         {text("Contact"),
          number("TimeCard"),
          date("Date"),
          {QStringLiteral("Time"), F::Duration, true},
          money("Rate", false),
          {QStringLiteral("Realization"), F::Percent, false},
          money("Value")}});
    kinds.push_back(
        {QStringLiteral("combined"),
         QStringLiteral("Combined"),
         QStringLiteral(
             "SELECT u.Kind, u.ID, u.EntryDate, c.ContactName, u.Description, u.Amount FROM ("
             "SELECT 'TimeCard' AS Kind, t.TimeCardID AS ID, t.StartDate AS EntryDate, "
             "t.ContactID AS ContactID, t.Description AS Description, t.Value AS Amount "
             "FROM tblTimeCards t WHERE 1 = 1 "
             "{filter:t.UserId,t.StartDate,t.ContactID,t.InvoiceID} "
             "UNION ALL SELECT 'Expense', e.ExpenseID, e.StartDate, e.ContactID, e.Description, "
             "e.Amount FROM tblExpenses e WHERE 1 = 1 "
             "{filter:e.UserID,e.StartDate,e.ContactID,e.InvoiceID} "
             "UNION ALL SELECT 'Fixed Charge', f.ProductID, f.StartDate, f.ContactID, "
             "f.Description, f.Amount FROM tblFixedCharges f WHERE 1 = 1 "
             "{filter:f.UserID,f.StartDate,f.ContactID,f.InvoiceID}) u") +
             ContactJoin + QStringLiteral("u.ContactID ORDER BY u.EntryDate, u.Kind, u.ID"),
         {text("Kind"), number("ID"), date("Date"), text("Contact"), text("Description"),
          money("Amount")}});
    kinds.push_back(
        {QStringLiteral("reimbursement"),
         QStringLiteral("Expense Reimbursement"),
         QStringLiteral("SELECT x.ExpenseID, x.StartDate, x.EndDate, ec.ExpenseNumber, "
                        "x.Description, x.Purpose, x.Location, c.ContactName, x.Amount "
                        "FROM tblExpenses x LEFT JOIN tblExpenseCodes ec ON ec.ExpenseCodeID = "
                        "x.ExpenseCodeID") +
             ContactJoin +
             QStringLiteral("x.ContactID WHERE x.ReimbursementID IS NULL "
                            "{filter:x.UserID,x.StartDate} ORDER BY x.StartDate, x.ExpenseID"),
         {number("Expense"), date("Start Date"), date("End Date"), text("Code"),
          text("Description"), text("Purpose"), text("Location"), text("Contact"),
          money("Amount")}});
    kinds.push_back(
        {QStringLiteral("documents"),
         QStringLiteral("Documents"),
         QStringLiteral("SELECT d.DocumentID, d.TimeCardID, t.StartDate, c.ContactName, "
                        "d.FileName, d.FilePath FROM tblDocuments d LEFT JOIN tblTimeCards t "
                        "ON t.TimeCardID = d.TimeCardID") +
             ContactJoin +
             QStringLiteral("t.ContactID WHERE 1 = 1 "
                            "{filter:t.UserId,t.StartDate,t.ContactID,t.InvoiceID} "
                            "ORDER BY t.StartDate, d.TimeCardID, d.DocumentID"),
         {number("Document"), number("TimeCard"), date("TimeCard Date"), text("Contact"),
          text("File Name"), text("File Path")}});
    kinds.push_back({QStringLiteral("invoices"),
                     QStringLiteral("Invoices"),
                     QStringLiteral("SELECT u.InvoiceID, c.ContactName, SUM(u.TimeValue), "
                                    "SUM(u.ExpenseAmount), SUM(u.ChargeAmount), "
                                    "SUM(u.TimeValue + u.ExpenseAmount + u.ChargeAmount) FROM (") +
                         chargesUnion(true) + QStringLiteral(") u") + ContactJoin +
                         QStringLiteral("u.ContactID GROUP BY u.InvoiceID, c.ContactName "
                                        "ORDER BY u.InvoiceID, c.ContactName"),
                     {number("Invoice"), text("Contact"), money("Time"), money("Expenses"),
                      money("Fixed Charges"), money("Total")}});
    // The firm's own work (no client) is nobody's to pay and no client's work
    // in process: both summaries leave it out.
    kinds.push_back(
        {QStringLiteral("receivables"),
         QStringLiteral("Accounts Receivable"),
         QStringLiteral(
             "SELECT c.ContactName, SUM(u.Billed), SUM(u.Paid), SUM(u.Billed - u.Paid) FROM ("
             "SELECT b.ContactID AS ContactID, b.TimeValue + b.ExpenseAmount + b.ChargeAmount "
             "AS Billed, 0 AS Paid FROM (") +
             chargesUnion(true) +
             QStringLiteral(
                 // Payments on account are stored negative: what was paid is their opposite.
                 // The tax of each invoice still standing is billed beside its lines.
                 ") b UNION ALL SELECT i.ContactID, i.Tax, 0 FROM tblInvoices i WHERE "
                 "i.Voided = 0 {filter:i.IssuedBy,i.InvoiceDate} "
                 "UNION ALL SELECT p.ContactID, 0, -p.PaymentAmount FROM tblPayments p "
                 "WHERE COALESCE(p.FundContribution, 0) = 0 {filter:p.UserID,p.PaymentDate}) u") +
             ContactJoin +
             QStringLiteral(
                 "u.ContactID WHERE u.ContactID IS NOT NULL GROUP BY u.ContactID, c.ContactName "
                 "ORDER BY c.ContactName, u.ContactID"),
         {text("Contact"), money("Invoiced"), money("Paid"), money("Outstanding")}});
    kinds.push_back(
        {QStringLiteral("wip"),
         QStringLiteral("Work In Process"),
         QStringLiteral("SELECT c.ContactName, SUM(u.TimeCards), SUM(u.TimeValue), "
                        "SUM(u.ExpenseAmount), SUM(u.ChargeAmount), "
                        "SUM(u.TimeValue + u.ExpenseAmount + u.ChargeAmount) FROM (") +
             chargesUnion(false) + QStringLiteral(") u") + ContactJoin +
             QStringLiteral(
                 "u.ContactID WHERE u.ContactID IS NOT NULL GROUP BY u.ContactID, c.ContactName "
                 "ORDER BY c.ContactName, u.ContactID"),
         {text("Contact"), number("TimeCards", true), money("Time"), money("Expenses"),
          money("Fixed Charges"), money("Total")}});
    kinds.push_back(
        {QStringLiteral("client-funds"),
         QStringLiteral("Client Funds"),
         QStringLiteral("SELECT p.PaymentDate, c.ContactName, p.PaymentDescription, "
                        "m.PaymentMethod, p.PaymentAmount FROM tblPayments p "
                        "LEFT JOIN tblPaymentMethods m ON m.PaymentMethodID = p.PaymentMethodID") +
             ContactJoin +
             QStringLiteral("p.ContactID WHERE COALESCE(p.FundContribution, 0) <> 0 "
                            "{filter:p.UserID,p.PaymentDate,p.ContactID} "
                            "ORDER BY c.ContactName, p.PaymentDate, p.PaymentID"),
         {date("Date"), text("Contact"), text("Description"), text("Method"), money("Amount")}});
    return kinds;
}

} // namespace

const std::vector<ReportKind> &reportKinds()
{
    static const std::vector<ReportKind> kinds = buildKinds();
    return kinds;
}

const ReportKind *findReportKind(const QString &name)
{
    for (const ReportKind &kind : reportKinds())
        if (kind.name == name)
            return &kind;
    return nullptr;
}

QStringList reportKindNames()
{
    QStringList names;
    for (const ReportKind &kind : reportKinds())
        names << kind.name;
    return names;
}

} // namespace quorvale::admin
