#include "qvadmin/InvoiceCommand.h"

#include "charges/BillingOptions.h"
#include "charges/InvoiceDocument.h"
#include "charges/Invoicing.h"
#include "platform/core/OutgoingText.h"
#include "qvadmin/Arguments.h"
#include "qvadmin/ContactCardsWriter.h"
#include "qvadmin/ProgramDatabase.h"
#include "qvadmin/TextTable.h"

#include <QDir>
#include <QTextStream>
#include <climits>

namespace quorvale::admin {

namespace {

const QString Usage = QStringLiteral(
    "invoice --contact ID [--user ID] [--from YYYY-MM-DD] [--to YYYY-MM-DD] [--invoice N] "
    "[--date YYYY-MM-DD] [--out DIR] [--preview] | invoice --void N --reason TEXT | invoice "
    "--show N");

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

InvoiceParty partyOf(const Invoice &invoice, const ContactCards::Card &card)
{
    const QStringList block = addressBlock(invoice.contactName, card.fields);
    return InvoiceParty{block.front(), block.mid(1)};
}

int showInvoice(db::Connection &cnn, int number, QTextStream &out)
{
    const Invoice invoice = readInvoice(cnn, number);
    out << "Invoice " << invoice.number << " for " << shown(invoice.contactName) << " (contact "
        << invoice.contactId << "), " << invoice.invoiceDate.toString(Qt::ISODate) << ", due "
        << invoice.dueDate.toString(Qt::ISODate) << '\n';
    if (invoice.voided) {
        out << "Void: " << shown(invoice.voidReason) << '\n';
        return 0;
    }
    out << '\n';
    printInvoice(invoice, out);
    return 0;
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
    out << "Subtotal: " << invoice.subtotal().toDisplayString() << " ("
        << counted(InvoiceLine::Kind::TimeCard, "TimeCard", "TimeCards") << ", "
        << counted(InvoiceLine::Kind::Expense, "expense", "expenses") << ", "
        << counted(InvoiceLine::Kind::FixedCharge, "fixed charge", "fixed charges") << ")\n";
    if (invoice.tax != Money())
        out << "Tax at " << invoice.taxRate << " %: " << invoice.tax.toDisplayString() << '\n';
    out << "Total: " << invoice.total().toDisplayString() << '\n';
    if (invoice.number != 0)
        out << "Paid: " << invoice.paid.toDisplayString()
            << ", balance due: " << invoice.balanceDue().toDisplayString() << '\n';
}

int runInvoice(const QStringList &args, const GlobalOptions &globals, QTextStream &out,
               QTextStream &err)
{
    const Arguments a(args,
                      {QStringLiteral("contact"), QStringLiteral("user"), QStringLiteral("from"),
                       QStringLiteral("to"), QStringLiteral("invoice"), QStringLiteral("date"),
                       QStringLiteral("out"), QStringLiteral("void"), QStringLiteral("reason"),
                       QStringLiteral("show")},
                      {QStringLiteral("preview")});
    a.requireWords(0, 0, Usage);
    if (const auto number = a.number(QStringLiteral("show"), 1, INT_MAX)) {
        ProgramDatabase program(globals);
        return showInvoice(program.connection(), int(*number), out);
    }
    if (const auto number = a.number(QStringLiteral("void"), 1, INT_MAX)) {
        const QString reason = a.value(QStringLiteral("reason"), QString()).trimmed();
        if (reason.isEmpty())
            usageError(QStringLiteral("A void keeps its reason: give it with --reason. Usage: "
                                      "qvadmin ") +
                       Usage);
        ProgramDatabase program(globals);
        voidInvoice(program.connection(), int(*number), reason,
                    a.date(QStringLiteral("date")).value_or(QDate::currentDate()));
        out << "Invoice " << *number << " is void; its work is open again.\n";
        return 0;
    }
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
    request.invoiceDate = a.date(QStringLiteral("date")).value_or(QDate::currentDate());

    ProgramDatabase program(globals);
    db::Connection &cnn = program.connection();
    const BillingOptions options = readBillingOptions(cnn);
    if (a.has(QStringLiteral("preview"))) {
        const Invoice preview = previewInvoice(cnn, request, options);
        out << "Preview for " << shown(preview.contactName) << ", " << periodText(request)
            << " (nothing was marked)\n\n";
        printInvoice(preview, out);
        return 0;
    }
    const std::optional<QString> outDir = a.value(QStringLiteral("out"));
    std::optional<InvoiceDocumentFiles> files;
    std::unique_ptr<ContactCardsWriter> cards;
    if (outDir) {
        // The document must name the firm: an empty header is no invoice.
        if (const QString missing = options.missingForInvoice(); !missing.isEmpty())
            usageError(missing + QStringLiteral(" Nothing was invoiced."));
        files.emplace(QDir(*outDir).absolutePath());
        const auto registry = openRegistry(globals);
        cards = std::make_unique<ContactCardsWriter>(program.location(), *registry, cnn);
    }
    const Invoice invoice = invoiceContact(cnn, request, options, [&](const Invoice &issued) {
        if (files)
            files->write(issued, options, partyOf(issued, cards->read(issued.contactId)));
    });
    const QString client =
        QStringLiteral("%1 (contact %2)").arg(shown(invoice.contactName)).arg(request.contactId);
    if (invoice.number == 0) {
        out << "Nothing to invoice for " << client << ", " << periodText(request)
            << ": no open work of this client is billable there. No invoice number was used.\n";
        return 0;
    }
    if (files)
        files->keep();
    out << "Invoice " << invoice.number << " for " << client << ", " << periodText(request)
        << "\n\n";
    printInvoice(invoice, out);
    if (files)
        out << "\nDocument: " << files->pdfPath() << "\n          " << files->htmlPath() << '\n';
    for (const QString &warning : invoice.warnings)
        err << "qvadmin: warning: " << warning << '\n';
    return 0;
}

int runFirm(const QStringList &args, const GlobalOptions &globals, QTextStream &out)
{
    const QString usage = QStringLiteral(
        "firm show | firm set [--name N] [--address TEXT] [--tax-number T] [--tax-rate PERCENT] "
        "[--terms-days D] [--note TEXT]");
    const Arguments a(args,
                      {QStringLiteral("name"), QStringLiteral("address"),
                       QStringLiteral("tax-number"), QStringLiteral("tax-rate"),
                       QStringLiteral("terms-days"), QStringLiteral("note")},
                      {});
    a.requireWords(1, 1, usage);
    const QString verb = a.words().front();
    if (verb != QStringLiteral("show") && verb != QStringLiteral("set"))
        usageError(QStringLiteral("Usage: qvadmin ") + usage);
    ProgramDatabase program(globals);
    BillingOptions options = readBillingOptions(program.connection());
    if (verb == QStringLiteral("set")) {
        // "\n" typed on a command line is a line break of the address.
        const auto text = [&a](const QString &name, const QString &was) {
            return a.value(name, was).replace(QStringLiteral("\\n"), QStringLiteral("\n"));
        };
        options.firmName = text(QStringLiteral("name"), options.firmName);
        options.firmAddress = text(QStringLiteral("address"), options.firmAddress);
        options.firmTaxNumber = text(QStringLiteral("tax-number"), options.firmTaxNumber);
        options.taxRate = text(QStringLiteral("tax-rate"), options.taxRate);
        options.invoiceNote = text(QStringLiteral("note"), options.invoiceNote);
        if (const auto days = a.number(QStringLiteral("terms-days"), 0, 3650))
            options.paymentTermsDays = int(*days);
        writeBillingOptions(program.connection(), options);
    }
    out << "Firm: " << shown(options.firmName) << '\n'
        << "Address: " << shown(QString(options.firmAddress).replace(u'\n', QStringLiteral(" / ")))
        << '\n'
        << "Tax number: " << shown(options.firmTaxNumber) << '\n'
        << "Tax rate: " << (options.taxRate.isEmpty() ? QStringLiteral("none") : options.taxRate)
        << '\n'
        << "Payment terms: " << options.paymentTermsDays << " days\n";
    return 0;
}

} // namespace quorvale::admin
