#include "ui/BillingCommands.h"

#include "charges/BillingOptions.h"
#include "charges/InvoiceDocument.h"
#include "charges/Invoicing.h"
#include "outlook/ContactCards.h"
#include "platform/core/QvError.h"
#include "settings/AdminSettings.h"
#include "settings/RegSettings.h"
#include "settings/WindowLifecycle.h"
#include "support/Prompts.h"
#include "timecards/CommandTable.h"
#include "timecards/ContactList.h"
#include "timecards/TimeCardEditor.h"
#include "ui/PointerScope.h"
#include "ui/frmInvoice.h"
#include "ui/frmTimeCard.h"

#include <QDesktopServices>
#include <QDir>
#include <QStatusBar>
#include <QUrl>

namespace quorvale {

namespace {

const QString Title = QStringLiteral("Invoices");

} // namespace

BillingCommands::BillingCommands(frmTimeCard &window, db::Connection &cnnLink,
                                 OutlookSession &outlook, const AdminOptions &options,
                                 const RegSettings &settings, const WindowLifecycle &lifecycle,
                                 TimeCardEditor &editor, Prompts &prompts)
    : m_window(window), m_cnn(cnnLink), m_outlook(outlook), m_options(options),
      m_settings(settings), m_lifecycle(lifecycle), m_editor(editor), m_prompts(prompts)
{
}

bool BillingCommands::handles(int toolId) const
{
    return toolId == ToolId::Invoices;
}

void BillingCommands::run(int)
{
    const BillingOptions options = readBillingOptions(m_cnn);
    // An invoice without the firm's name and address is no invoice.
    if (const QString missing = options.missingForInvoice(); !missing.isEmpty()) {
        m_prompts.messageBox(Title, missing, PromptButtons::Ok, PromptIcon::Information);
        return;
    }
    frmInvoice dialog(
        m_cnn, options, m_options.terms.contact, m_prompts,
        [this, &options](const InvoiceRequest &request) { return issue(request, options); },
        &m_window);
    const qint32 current = m_editor.currentContactId();
    if (current > 0)
        dialog.setClient(current, ContactList(m_cnn).nameOf(current));
    dialog.exec();
    m_window.statusBar()->showMessage(QStringLiteral("Review"));
}

bool BillingCommands::issue(const InvoiceRequest &wanted, const BillingOptions &options)
{
    InvoiceRequest request = wanted;
    request.issuedBy = m_settings.userId;
    m_window.statusBar()->showMessage(QStringLiteral("Creating invoice..."));
    QString pdf;
    int number = 0;
    try {
        const PointerScope busy(Qt::WaitCursor);
        InvoiceDocumentFiles files(
            QDir(m_lifecycle.programDir()).filePath(QStringLiteral("Invoices")));
        const std::unique_ptr<ContactCards> cards = contactCardsOf(m_outlook, m_cnn);
        const Invoice invoice = invoiceContact(m_cnn, request, options, [&](const Invoice &issued) {
            const ContactCardFields fields =
                cards ? cards->read(issued.contactId).fields : ContactCardFields{};
            const QStringList block = addressBlock(issued.contactName, fields);
            files.write(issued, options, InvoiceParty{block.front(), block.mid(1)});
        });
        number = invoice.number;
        if (number != 0) {
            files.keep();
            pdf = files.pdfPath();
        }
    } catch (const QvError &error) {
        m_window.statusBar()->showMessage(QStringLiteral("Review"));
        m_prompts.messageBox(Title,
                             QStringLiteral("No invoice was created; the work stays open.\n\n%1")
                                 .arg(error.description()),
                             PromptButtons::Ok, PromptIcon::Warning);
        return false;
    }
    m_window.statusBar()->showMessage(QStringLiteral("Review"));
    if (number == 0) {
        m_prompts.messageBox(
            Title,
            QStringLiteral(
                "Nothing of this client is billable in the period; no invoice number was used."),
            PromptButtons::Ok, PromptIcon::Information);
        return false;
    }
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(pdf)))
        m_prompts.messageBox(Title,
                             QStringLiteral("Invoice %1 is ready in\n%2")
                                 .arg(number)
                                 .arg(QDir::toNativeSeparators(pdf)),
                             PromptButtons::Ok, PromptIcon::Information);
    return true;
}

} // namespace quorvale
