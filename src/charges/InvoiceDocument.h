#pragma once

#include <QString>
#include <QStringList>

namespace quorvale {

struct BillingOptions;
struct Invoice;

// Whom an invoice is addressed to, as the client's card names it.
struct InvoiceParty {
    QString name;
    QStringList addressLines;
};

// The invoice as a page: the firm, the client, the number and dates, one line
// per TimeCard, expense and fixed charge, subtotals, tax, payments and the
// balance due. Every stored text is escaped: it is shown, never obeyed.
QString invoiceHtml(const Invoice &invoice, const BillingOptions &options,
                    const InvoiceParty &client);

// The files of one invoice document, "Invoice <number>.html" and its PDF, in a
// folder. Each file is written whole or not at all; the files are removed
// again when this goes out of scope without keep(), so an invoice whose
// recording failed leaves no document behind.
class InvoiceDocumentFiles {
public:
    explicit InvoiceDocumentFiles(QString folder);
    ~InvoiceDocumentFiles();
    InvoiceDocumentFiles(const InvoiceDocumentFiles &) = delete;
    InvoiceDocumentFiles &operator=(const InvoiceDocumentFiles &) = delete;

    // Writes both files; throws QvError (saying what was kept) when a write
    // fails, with neither file left.
    void write(const Invoice &invoice, const BillingOptions &options, const InvoiceParty &client);
    void keep() { m_kept = true; }

    QString htmlPath() const { return m_html; }
    QString pdfPath() const { return m_pdf; }

private:
    void discard();

    QString m_folder;
    QString m_html;
    QString m_pdf;
    bool m_kept = false;
};

// The PDF of an HTML page, A4 with 15 mm margins. Needs a QGuiApplication.
QByteArray pdfOfHtml(const QString &html, const QString &title);

} // namespace quorvale
