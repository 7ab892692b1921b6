// Billing › Invoices on a demo database, offscreen: without the firm's name the
// window says so; with it, a client's open work is previewed, invoiced, its
// document opened, and the invoice voided again from the same window.

#include "ui/frmInvoice.h"

#include "DemoProgramFixture.h"
#include "charges/BillingOptions.h"
#include "timecards/CommandTable.h"
#include "ui/MainWindowHost.h"
#include "ui/frmTimeCard.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDesktopServices>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QUrl>
#include <gtest/gtest.h>

using namespace quorvale;

namespace {

// Stands in for the desktop's PDF viewer: notes what it was asked to open.
class DesktopStandIn : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public Q_SLOTS:
    void open(const QUrl &url) { opened << url; }
};

struct InvoiceWindow : public test::DemoProgramFixture {
    void SetUp() override
    {
        makeDemo();
        ASSERT_NO_FATAL_FAILURE(startProgram());
        QDesktopServices::setUrlHandler(QStringLiteral("file"), &desktop, "open");
    }
    void TearDown() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }

    void invoices() { host->window().toolById(ToolId::Invoices)->trigger(); }
    int count(const char *sql) { return cnn().scalar(QString::fromLatin1(sql)).toInt(); }

    DesktopStandIn desktop;
};

} // namespace

TEST_F(InvoiceWindow, WithoutTheFirmsNameTheWindowSaysWhatIsMissing)
{
    // The demo names its firm; a firm's own database starts without.
    writeBillingOptions(cnn(), BillingOptions{});
    invoices();
    ASSERT_EQ(prompts.messages().size(), 1);
    EXPECT_TRUE(prompts.messages()[0].text.contains(QStringLiteral("firm's name")))
        << prompts.messages()[0].text.toStdString();
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblInvoices"), 0);
}

TEST_F(InvoiceWindow, AClientsWorkIsPreviewedInvoicedOpenedAndVoidedAgain)
{
    BillingOptions options;
    options.firmName = QStringLiteral("Morgan & Pike");
    options.firmAddress = QStringLiteral("12 Quay Street\nBristol");
    options.taxRate = QStringLiteral("20");
    writeBillingOptions(cnn(), options);
    const int client = cnn()
                           .scalar(QStringLiteral("SELECT ContactID FROM tblTimeCards WHERE "
                                                  "InvoiceID IS NULL AND BillStatus = 'Billable' "
                                                  "ORDER BY ContactID"))
                           .toInt();
    ASSERT_GT(client, 0);
    const int open = cnn()
                         .scalar(QStringLiteral("SELECT COUNT(*) FROM tblTimeCards WHERE "
                                                "InvoiceID IS NULL AND ContactID = ?"),
                                 {client})
                         .toInt();

    const int invoicedBefore =
        count("SELECT COUNT(*) FROM tblTimeCards WHERE InvoiceID IS NOT NULL");
    std::size_t previewed = 0;
    int invoicedWhileOpen = 0;
    int otherClients = 0;
    prompts.answer(PromptResult::Yes); // "Void invoice ...?"
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<frmInvoice *>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        dialog->setClient(client, QStringLiteral("the client"));
        dialog->periodChoice()->setCurrentIndex(4); // all open work
        previewed = dialog->preview().lines.size();
        EXPECT_EQ(dialog->lines()->rowCount(), int(previewed));
        ASSERT_TRUE(dialog->createButton()->isEnabled());
        dialog->createButton()->click();
        invoicedWhileOpen = count("SELECT COUNT(*) FROM tblTimeCards WHERE InvoiceID IS NOT NULL");
        otherClients = cnn()
                           .scalar(QStringLiteral("SELECT COUNT(*) FROM tblTimeCards WHERE "
                                                  "InvoiceID = (SELECT MAX(InvoiceID) FROM "
                                                  "tblInvoices) AND ContactID <> ?"),
                                   {client})
                           .toInt();
        // Nothing is left to invoice; the invoice is offered for voiding.
        EXPECT_FALSE(dialog->createButton()->isEnabled());
        ASSERT_EQ(dialog->earlierInvoices()->count(), 1);
        EXPECT_FALSE(dialog->voidButton()->isEnabled()) << "a void needs its reason";
        dialog->voidReason()->setText(QStringLiteral("Sent to the wrong address"));
        dialog->voidButton()->click();
        EXPECT_EQ(dialog->earlierInvoices()->count(), 0);
        dialog->reject();
    });
    invoices();

    ASSERT_GT(previewed, 0u);
    EXPECT_GT(invoicedWhileOpen - invoicedBefore, 0);
    EXPECT_LE(invoicedWhileOpen - invoicedBefore, open);
    EXPECT_EQ(otherClients, 0);
    ASSERT_EQ(desktop.opened.size(), 1);
    const QString pdf = desktop.opened.front().toLocalFile();
    EXPECT_TRUE(pdf.endsWith(QStringLiteral(".pdf"))) << pdf.toStdString();
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.read(4) == "%PDF");
    // Voided: the work is open again, the reason kept.
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblTimeCards WHERE InvoiceID IS NOT NULL"),
              invoicedBefore);
    EXPECT_EQ(cnn().scalar(QStringLiteral("SELECT VoidReason FROM tblInvoices")).toString(),
              QStringLiteral("Sent to the wrong address"));
}

#include "frmInvoiceTest.moc"
