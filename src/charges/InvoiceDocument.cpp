#include "charges/InvoiceDocument.h"

#include "charges/BillingOptions.h"
#include "charges/Invoicing.h"
#include "platform/core/QvError.h"
#include "platform/core/WholeFile.h"

#include <QAbstractTextDocumentLayout>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>

namespace quorvale {

namespace {

QString esc(const QString &text)
{
    return text.toHtmlEscaped();
}

QString lines(const QStringList &texts)
{
    QStringList out;
    for (const QString &t : texts)
        if (!t.trimmed().isEmpty())
            out << esc(t.trimmed());
    return out.join(QStringLiteral("<br>"));
}

QString day(const QDate &date)
{
    return date.isValid() ? date.toString(QStringLiteral("d MMM yyyy")) : QString();
}

QString periodText(const Invoice &invoice)
{
    if (invoice.periodFrom && invoice.periodTo)
        return QStringLiteral("%1 to %2").arg(day(*invoice.periodFrom), day(*invoice.periodTo));
    if (invoice.periodFrom)
        return QStringLiteral("from %1").arg(day(*invoice.periodFrom));
    if (invoice.periodTo)
        return QStringLiteral("up to %1").arg(day(*invoice.periodTo));
    return QStringLiteral("all open work");
}

struct Section {
    InvoiceLine::Kind kind;
    const char *title;
    const char *quantity;
};

constexpr Section Sections[] = {
    {InvoiceLine::Kind::TimeCard, "Time", "Time"},
    {InvoiceLine::Kind::Expense, "Expenses", "Quantity"},
    {InvoiceLine::Kind::FixedCharge, "Fixed charges", "Quantity"},
};

QString amountCell(const QString &text, bool strong = false)
{
    const QString inner = strong ? QStringLiteral("<b>%1</b>").arg(text) : text;
    return QStringLiteral("<td align=\"right\">%1</td>").arg(inner);
}

QString section(const Invoice &invoice, const Section &s)
{
    QString rows;
    Money subtotal;
    for (const InvoiceLine &line : invoice.lines) {
        if (line.kind != s.kind)
            continue;
        subtotal += line.amount;
        QString description = esc(line.description);
        if (!line.note.isEmpty())
            description += QStringLiteral("<br><i>%1</i>").arg(esc(line.note));
        rows += QStringLiteral("<tr><td>%1</td><td>%2</td><td>%3</td><td "
                               "align=\"right\">%4</td>%5%6</tr>")
                    .arg(day(line.date), esc(line.activity), description, esc(line.quantity),
                         amountCell(line.rate == Money() ? QString() : line.rate.toDisplayString()),
                         amountCell(line.amount.toDisplayString()));
    }
    if (rows.isEmpty())
        return {};
    return QStringLiteral("<h3>%1</h3><table width=\"100%\" cellspacing=\"0\" cellpadding=\"3\" "
                          "border=\"0\"><tr bgcolor=\"#e8e8e8\"><th align=\"left\">Date</th><th "
                          "align=\"left\">Activity</th><th align=\"left\">Description</th><th "
                          "align=\"right\">%2</th><th align=\"right\">Rate</th><th "
                          "align=\"right\">Amount</th></tr>%3<tr><td colspan=\"5\" "
                          "align=\"right\">Subtotal %4</td>%5</tr></table>")
        .arg(QLatin1String(s.title), QLatin1String(s.quantity), rows,
             QString::fromLatin1(s.title).toLower(), amountCell(subtotal.toDisplayString(), true));
}

} // namespace

QString invoiceHtml(const Invoice &invoice, const BillingOptions &options,
                    const InvoiceParty &client)
{
    QString html =
        QStringLiteral(
            "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Invoice %1</title></head>"
            "<body style=\"font-family: sans-serif; font-size: 10pt\">")
            .arg(invoice.number);
    html += QStringLiteral("<table width=\"100%\"><tr><td valign=\"top\"><span "
                           "style=\"font-size: 16pt\"><b>%1</b></span><br>%2%3</td>")
                .arg(esc(options.firmName), lines(options.firmAddress.split(QLatin1Char('\n'))),
                     invoice.taxNumber.isEmpty()
                         ? QString()
                         : QStringLiteral("<br>Tax number: %1").arg(esc(invoice.taxNumber)));
    html +=
        QStringLiteral(
            "<td valign=\"top\" align=\"right\"><span style=\"font-size: 16pt\"><b>Invoice "
            "%1</b></span><br>Date: %2<br>Due: %3<br>Period: %4%5</td></tr></table>")
            .arg(invoice.number)
            .arg(day(invoice.invoiceDate), day(invoice.dueDate), esc(periodText(invoice)),
                 invoice.voided ? QStringLiteral("<br><b>VOID</b>: %1").arg(esc(invoice.voidReason))
                                : QString());
    html += QStringLiteral("<p><b>Bill to</b><br>%1%2</p>")
                .arg(esc(client.name), client.addressLines.isEmpty()
                                           ? QString()
                                           : QStringLiteral("<br>") + lines(client.addressLines));
    for (const Section &s : Sections)
        html += section(invoice, s);
    const QString rate = invoice.taxRate.trimmed();
    html += QStringLiteral("<p></p><table align=\"right\" cellspacing=\"0\" cellpadding=\"3\">");
    const auto total = [&html](const QString &label, const Money &amount, bool strong = false) {
        html += QStringLiteral("<tr><td>%1</td>%2</tr>")
                    .arg(strong ? QStringLiteral("<b>%1</b>").arg(label) : label,
                         amountCell(amount.toDisplayString(), strong));
    };
    total(QStringLiteral("Subtotal"), invoice.subtotal());
    if (!rate.isEmpty() && invoice.tax != Money())
        total(QStringLiteral("Tax at %1 %").arg(esc(rate)), invoice.tax);
    total(QStringLiteral("Total"), invoice.total(), true);
    total(QStringLiteral("Payments received"), invoice.paid);
    total(QStringLiteral("Balance due"), invoice.balanceDue(), true);
    html += QStringLiteral("</table><br clear=\"all\">");
    if (!options.invoiceNote.trimmed().isEmpty())
        html +=
            QStringLiteral("<p>%1</p>").arg(lines(options.invoiceNote.split(QLatin1Char('\n'))));
    html += QStringLiteral("</body></html>\n");
    return html;
}

QByteArray pdfOfHtml(const QString &html, const QString &title)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("Quorvale"));
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                         QMarginsF(15, 15, 15, 15), QPageLayout::Millimeter));
        // Laid out on the writer itself, so that full-width tables and the
        // right-hand totals share the page's text width.
        QTextDocument document;
        document.documentLayout()->setPaintDevice(&writer);
        document.setPageSize(writer.pageLayout().paintRectPixels(writer.resolution()).size());
        document.setHtml(html);
        document.print(&writer);
    }
    return buffer.data();
}

InvoiceDocumentFiles::InvoiceDocumentFiles(QString folder) : m_folder(std::move(folder)) {}

InvoiceDocumentFiles::~InvoiceDocumentFiles()
{
    if (!m_kept)
        discard();
}

void InvoiceDocumentFiles::discard()
{
    for (const QString &path : {m_html, m_pdf})
        if (!path.isEmpty())
            QFile::remove(path);
    m_html.clear();
    m_pdf.clear();
}

void InvoiceDocumentFiles::write(const Invoice &invoice, const BillingOptions &options,
                                 const InvoiceParty &client)
{
    if (!QDir().mkpath(m_folder))
        throw QvError(ErrorNumber::PathFileAccess,
                      QStringLiteral("The folder %1 could not be made; no invoice was recorded.")
                          .arg(QDir::toNativeSeparators(m_folder)),
                      QStringLiteral("Invoice document"));
    const QString html = invoiceHtml(invoice, options, client);
    const QString base = QDir(m_folder).filePath(QStringLiteral("Invoice %1").arg(invoice.number));
    const QByteArray pdf = pdfOfHtml(html, QStringLiteral("Invoice %1").arg(invoice.number));
    if (pdf.isEmpty())
        throw QvError(ErrorNumber::Generic,
                      QStringLiteral("The PDF of invoice %1 could not be made; no invoice was "
                                     "recorded.")
                          .arg(invoice.number),
                      QStringLiteral("Invoice document"));
    try {
        writeWholeFile(base + QStringLiteral(".html"), html.toUtf8());
        m_html = base + QStringLiteral(".html");
        writeWholeFile(base + QStringLiteral(".pdf"), pdf);
        m_pdf = base + QStringLiteral(".pdf");
    } catch (const QvError &error) {
        discard();
        throw QvError(error.number(),
                      error.description() + QStringLiteral(" No invoice was recorded."),
                      error.source());
    }
}

} // namespace quorvale
