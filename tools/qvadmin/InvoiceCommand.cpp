#include "qvadmin/InvoiceCommand.h"

#include "platform/core/OutgoingText.h"
#include "qvadmin/Arguments.h"
#include "qvadmin/InvoiceRun.h"
#include "qvadmin/ProgramDatabase.h"
#include "qvadmin/TextTable.h"

#include <QTextStream>
#include <climits>

namespace quorvale::admin {

namespace {

const QString Usage = QStringLiteral(
    "invoice --contact ID [--user ID] [--from YYYY-MM-DD] [--to YYYY-MM-DD] [--invoice N]");

QString kindText(InvoiceLine::Kind kind)
{
    switch (kind) {
    case InvoiceLine::Kind::TimeCard:
        return QStringLiteral("TimeCard");
    case InvoiceLine::Kind::Expense:
        return QStringLiteral("Expense");
    case InvoiceLine::Kind::FixedCharge:
        return QStringLiteral("Fixed charge");
    }
    return {};
}

// Stored text reaches a terminal: shown, never obeyed.
QString shown(const QString &text)
{
    return outgoingText(text, ControlCharacters::Escape);
}

QString periodText(const InvoiceRequest &request)
{
    const auto iso = [](const QDate &d) { return d.toString(Qt::ISODate); };
    if (request.from && request.to)
        return QStringLiteral("%1 to %2").arg(iso(*request.from), iso(*request.to));
    if (request.from)
        return QStringLiteral("from %1").arg(iso(*request.from));
    if (request.to)
        return QStringLiteral("up to %1").arg(iso(*request.to));
    return QStringLiteral("all dates");
}

} // namespace

void printInvoice(const Invoice &invoice, QTextStream &out)
{
    TextTable table({QStringLiteral("Date"), QStringLiteral("Kind"), QStringLiteral("ID>"),
                     QStringLiteral("Description"), QStringLiteral("Time/Units>"),
                     QStringLiteral("Amount>"), QStringLiteral("Note")});
    for (const InvoiceLine &line : invoice.lines)
        table.addRow({line.date.toString(Qt::ISODate), kindText(line.kind),
                      QString::number(line.id), shown(line.description), line.quantity,
                      line.amount.toDisplayString(), shown(line.note)});
    table.print(out);
    const auto counted = [&invoice](InvoiceLine::Kind kind, const char *one, const char *many) {
        const int n = invoice.count(kind);
        return QStringLiteral("%1 %2").arg(n).arg(QLatin1String(n == 1 ? one : many));
    };
    out << "Total: " << invoice.total().toDisplayString() << " ("
        << counted(InvoiceLine::Kind::TimeCard, "TimeCard", "TimeCards") << ", "
        << counted(InvoiceLine::Kind::Expense, "expense", "expenses") << ", "
        << counted(InvoiceLine::Kind::FixedCharge, "fixed charge", "fixed charges") << ")\n";
}

int runInvoice(const QStringList &args, const GlobalOptions &globals, QTextStream &out,
               QTextStream &err)
{
    const Arguments a(args,
                      {QStringLiteral("contact"), QStringLiteral("user"), QStringLiteral("from"),
                       QStringLiteral("to"), QStringLiteral("invoice")},
                      {});
    a.requireWords(0, 0, Usage);
    InvoiceRequest request;
    const auto contact = a.number(QStringLiteral("contact"), 1, INT_MAX);
    // One invoice goes to one client: work of several clients is never mixed.
    if (!contact)
        usageError(QStringLiteral("An invoice is made for one client: give its --contact ID "
                                  "(\"qvadmin contact list\" shows them). Usage: qvadmin ") +
                   Usage);
    request.contactId = int(*contact);
    if (const auto user = a.number(QStringLiteral("user"), 1, INT_MAX))
        request.userId = int(*user);
    if (const auto number = a.number(QStringLiteral("invoice"), 1, INT_MAX))
        request.invoiceId = int(*number);
    const Arguments::Period period = a.period(QStringLiteral("invoice"));
    request.from = period.from;
    request.to = period.to;

    ProgramDatabase program(globals);
    const Invoice invoice = invoiceContact(program.connection(), request);
    const QString client =
        QStringLiteral("%1 (contact %2)").arg(shown(invoice.contactName)).arg(request.contactId);
    if (invoice.number == 0) {
        out << "Nothing to invoice for " << client << ", " << periodText(request)
            << ": no open work of this client is billable there. No invoice number was used.\n";
        return 0;
    }
    out << "Invoice " << invoice.number << " for " << client << ", " << periodText(request)
        << "\n\n";
    printInvoice(invoice, out);
    for (const QString &warning : invoice.warnings)
        err << "qvadmin: warning: " << warning << '\n';
    return 0;
}

} // namespace quorvale::admin
