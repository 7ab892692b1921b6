// The payment window offscreen on a demo database: a contact from the real
// picker, amounts and card details typed from the keyboard, the rows that
// saving leaves in tblPayments, and the main window's command that opens it.

#include "ui/frmPayments.h"

#include "DemoProgramFixture.h"
#include "charges/BillingOptions.h"
#include "charges/Invoicing.h"
#include "outlook/ContactCards.h"
#include "platform/core/Money.h"
#include "platform/registry/Registry.h"
#include "qvadmin/InitCommand.h"
#include "settings/StartUp.h"
#include "support/ErrorHandler.h"
#include "support/ErrorReport.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/ScriptedPrompts.h"
#include "testsupport/TempDir.h"
#include "timecards/Clock.h"
#include "timecards/CommandTable.h"
#include "timecards/RateChoices.h"
#include "ui/ContactMaintenanceDialog.h"
#include "ui/ContactPickerDialog.h"
#include "ui/MainWindowHost.h"
#include "ui/PaymentCommands.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSqlQuery>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <gtest/gtest.h>
#include <memory>

using namespace quorvale;

namespace {

// The demo database behind a started program, as the main window has it.
struct PaymentsWindow : public test::DemoProgramFixture {
    void SetUp() override
    {
        makeDemo();
        ASSERT_NO_FATAL_FAILURE(start());
        cnn().execute("INSERT INTO tblContacts (ContactName, Active) VALUES ('Zephyr Quill', -1)");
        for (int id : {6, 7})
            cnn().execute("INSERT INTO tblPaymentMethods (PaymentMethodID, PaymentMethod) "
                          "VALUES (?, ?)",
                          {id, QString("Internal %1").arg(id)});
    }

    void start()
    {
        window.reset();
        commands.reset();
        ASSERT_NO_FATAL_FAILURE(startProgram());
        commands = std::make_unique<PaymentCommands>(
            host->window(), startUp->store(), startUp->outlook(), startUp->settings(),
            startUp->options(), startUp->permissions(), prompts);
    }
    void openWindow(bool contactManagement = false)
    {
        PaymentWindowContext context{userId(), Terms{}, contactManagement, {}};
        context.contactCards = [this] { return contactCardsOf(startUp->outlook(), cnn()); };
        window = std::make_unique<frmPayments>(cnn(), context, prompts);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    qint32 userId() { return startUp->settings().userId; }
    // The next contact picker to open takes the contact found by `search`.
    void pickerWillChoose(const QString &search)
    {
        QTimer::singleShot(0, [search] {
            auto *picker = qobject_cast<ContactPickerDialog *>(QApplication::activeModalWidget());
            ASSERT_NE(picker, nullptr);
            QTest::keyClicks(picker->searchField(), search);
            QTest::keyClick(picker->searchField(), Qt::Key_Return);
        });
    }
    int chooseMethod(const QString &name)
    {
        const int index = window->methodList()->findText(name);
        window->methodList()->setCurrentIndex(index);
        return index;
    }
    QSqlQuery lastPayment()
    {
        QSqlQuery q(cnn().database());
        EXPECT_TRUE(q.exec("SELECT c.ContactName, p.PaymentAmount, p.PaymentDescription, "
                           "p.CreditCardNumber, p.CCExpirationDate, p.CardholdersName, "
                           "p.AuthorizationCode, p.FundContribution, p.UserID, p.PaymentDate "
                           "FROM tblPayments p JOIN tblContacts c ON c.ContactID = p.ContactID "
                           "ORDER BY p.PaymentID DESC LIMIT 1") &&
                    q.next());
        return q;
    }

    std::unique_ptr<PaymentCommands> commands;
    std::unique_ptr<frmPayments> window;
};

} // namespace

TEST_F(PaymentsWindow, AFundPaymentThenACardPaymentAreTypedAndSaved)
{
    openWindow();
    EXPECT_EQ(window->windowTitle(), " Quorvale for Outlook:  New Payments");
    EXPECT_EQ(window->methodList()->count(), 4) << "never the methods 6 and 7";
    EXPECT_FALSE(window->saveAddButton()->isEnabled());
    EXPECT_EQ(window->selectContactButton()->accessibleName(), "Click to select contact.");
    for (QLabel *label : window->findChildren<QLabel *>())
        EXPECT_NE(label->buddy(), nullptr) << label->text().toStdString();

    pickerWillChoose("Zephyr");
    QTest::mouseClick(window->selectContactButton(), Qt::LeftButton);
    EXPECT_EQ(window->contactField()->text(), "Zephyr Quill");
    chooseMethod("Cheque");
    QTest::mouseClick(window->toFundsOption(), Qt::LeftButton);
    EXPECT_EQ(window->descriptionField()->text(), "Payment to fund.");
    window->amountField()->setFocus();
    window->amountField()->selectAll();
    QTest::keyClicks(window->amountField(), "1'0x0");
    EXPECT_EQ(window->amountField()->text(), "100");
    // Save & Add opens the picker for the next payment's contact.
    pickerWillChoose("Zephyr");
    QTest::mouseClick(window->saveAddButton(), Qt::LeftButton);
    QSqlQuery q = lastPayment();
    EXPECT_EQ(Money::fromStored(q.value(1)), Money::fromWhole(100));
    EXPECT_EQ(q.value(2).toString(), "Payment to fund.");
    EXPECT_EQ(q.value(7).toInt(), -1);
    EXPECT_EQ(window->entry().amountText(), "0");

    QTest::mouseClick(window->onAccountOption(), Qt::LeftButton);
    chooseMethod("Credit card");
    EXPECT_TRUE(window->cardPanel()->isVisible());
    EXPECT_EQ(window->descriptionField()->text(), "Card payment, authorised by phone");
    window->amountField()->setFocus();
    window->amountField()->selectAll();
    QTest::keyClicks(window->amountField(), "250.75");
    // Finished with the amount: it is shown in the currency format.
    QTest::keyClick(window->amountField(), Qt::Key_Return);
    EXPECT_EQ(window->amountField()->text(), currencyText(Money::fromUnits(2507500)));
    QTest::keyClicks(window->cardNumberField(), "4111-1111 1111 1111");
    EXPECT_EQ(window->cardNumberField()->text(), "4111111111111111");
    QTest::keyClicks(window->expirationField(), "926");
    QTest::keyClicks(window->cardholderField(), "Z. Quill");
    QTest::keyClicks(window->authorizationField(), "OK42");
    EXPECT_FALSE(window->saveExitButton()->isEnabled()) << "three digits are no expiration";
    QTest::keyClick(window->expirationField(), Qt::Key_Home);
    QTest::keyClicks(window->expirationField(), "0");
    ASSERT_TRUE(window->saveExitButton()->isEnabled());

    QTest::mouseClick(window->saveExitButton(), Qt::LeftButton);
    EXPECT_EQ(window->result(), QDialog::Accepted);
    q = lastPayment();
    EXPECT_EQ(q.value(0).toString(), "Zephyr Quill");
    EXPECT_EQ(Money::fromStored(q.value(1)), Money::fromUnits(-2507500));
    EXPECT_EQ(q.value(3).toString(), "4111111111111111");
    EXPECT_EQ(q.value(4).toString(), "0926");
    EXPECT_EQ(q.value(5).toString(), "Z. Quill");
    EXPECT_EQ(q.value(6).toString(), "OK42");
    EXPECT_EQ(q.value(8).toInt(), userId());
}

TEST_F(PaymentsWindow, TheCommandOpensTheWindowOnlyWhenPaymentsAreAllowed)
{
    ASSERT_TRUE(startUp->options().billingInUse);
    ASSERT_TRUE(startUp->permissions().payments);
    EXPECT_TRUE(commands->handles(ToolId::NewPayment));
    EXPECT_FALSE(commands->handles(ToolId::NewPayment + 1));
    QString opened;
    QTimer::singleShot(0, [&opened] {
        if (auto *shown = qobject_cast<frmPayments *>(QApplication::activeModalWidget())) {
            opened = shown->windowTitle();
            shown->exitButton()->click();
        }
    });
    commands->run(ToolId::NewPayment);
    EXPECT_EQ(opened, " Quorvale for Outlook:  New Payments");

    cnn().execute("UPDATE tblPermissions SET Payments = 0");
    start();
    EXPECT_FALSE(commands->handles(ToolId::NewPayment));
    EXPECT_EQ(endedWith, 0);
}

TEST_F(PaymentsWindow, ContactManagementOpensOnTheContactBeingPaidWithItsCard)
{
    openWindow(true);
    ASSERT_TRUE(window->contactManagementButton()->isVisible());
    pickerWillChoose("Zephyr");
    QTest::mouseClick(window->selectContactButton(), Qt::LeftButton);
    ASSERT_EQ(window->contactField()->text(), "Zephyr Quill");

    QString shownName, cardName;
    bool cardShownMissing = true;
    QTimer::singleShot(0, [&] {
        auto *dialog = qobject_cast<ContactMaintenanceDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        shownName = dialog->nameEdit()->text();
        // Added after the start, it has no card yet: empty fields, nothing gone.
        cardName = dialog->cardEdit("fullName")->text();
        cardShownMissing = dialog->cardNote()->isVisible();
        QTest::keyClicks(dialog->cardEdit("email"), "zq@quill.example");
        dialog->save();
        dialog->closeButton()->click();
    });
    QTest::mouseClick(window->contactManagementButton(), Qt::LeftButton);
    EXPECT_EQ(shownName, "Zephyr Quill");
    EXPECT_TRUE(cardName.isEmpty());
    EXPECT_FALSE(cardShownMissing);
    const qint32 id =
        cnn()
            .scalar("SELECT ContactID FROM tblContacts WHERE ContactName = 'Zephyr Quill'")
            .toInt();
    const ContactCards::Card card = contactCardsOf(startUp->outlook(), cnn())->read(id);
    EXPECT_EQ(card.state, ContactCards::State::Present);
    EXPECT_EQ(card.fields.fullName, "Zephyr Quill") << "named after the row";
    EXPECT_EQ(card.fields.email, "zq@quill.example");
}

TEST_F(PaymentsWindow, APaymentOnAccountSettlesTheInvoiceChosenForIt)
{
    const int zephyr =
        cnn()
            .scalar("SELECT ContactID FROM tblContacts WHERE ContactName = 'Zephyr Quill'")
            .toInt();
    cnn().execute("INSERT INTO tblTimeCards (ContactID, UserId, Quantity, StartDate, BillStatus, "
                  "Value, Inactive) VALUES (?, ?, '0010000', '2026-11-02', 'Billable', ?, 0)",
                  {zephyr, userId(), Money::fromWhole(300).toStored()});
    InvoiceRequest request;
    request.contactId = zephyr;
    const Invoice invoice = invoiceContact(cnn(), request, BillingOptions{});
    ASSERT_NE(invoice.number, 0);

    openWindow();
    EXPECT_FALSE(window->invoiceChoice()->isEnabled()) << "no contact, no invoice to choose";
    pickerWillChoose("Zephyr");
    QTest::mouseClick(window->selectContactButton(), Qt::LeftButton);
    ASSERT_EQ(window->invoiceChoice()->count(), 2);
    EXPECT_TRUE(window->invoiceChoice()->isEnabled());
    window->invoiceChoice()->setCurrentIndex(1);
    chooseMethod("Cheque");
    window->amountField()->setFocus();
    window->amountField()->selectAll();
    QTest::keyClicks(window->amountField(), "120.50");
    QTest::mouseClick(window->saveExitButton(), Qt::LeftButton);

    EXPECT_EQ(cnn().scalar("SELECT InvoiceID FROM tblPayments ORDER BY PaymentID DESC").toInt(),
              invoice.number);
    const Invoice after = readInvoice(cnn(), invoice.number);
    EXPECT_EQ(after.paid, *Money::parse("120.50"));
    EXPECT_EQ(after.balanceDue(), Money::fromWhole(300) - *Money::parse("120.50"));
}
