// The payment window offscreen on a demo database: a contact from the real
// picker, amounts and card details typed from the keyboard, and the rows that
// saving leaves in tblPayments.

#include "ui/frmPayments.h"

#include "data/DataStore.h"
#include "platform/core/Money.h"
#include "platform/registry/Registry.h"
#include "qvadmin/InitCommand.h"
#include "support/ErrorHandler.h"
#include "support/ErrorReport.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/ScriptedPrompts.h"
#include "testsupport/TempDir.h"
#include "timecards/RateChoices.h"
#include "ui/ContactPickerDialog.h"

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

struct PaymentsWindow : ::testing::Test {
    test::TempDir tmp;
    test::ScriptedPrompts prompts;
    ErrorReport report{prompts, tmp.filePath("reports")};
    ErrorHandler errors{report};
    std::unique_ptr<DataStore> store;
    std::unique_ptr<frmPayments> window;
    qint32 userId = 0;

    void SetUp() override
    {
        errors.terminate = [](int) {};
        admin::InitOptions init;
        init.location.programDir = tmp.filePath("program");
        init.location.dataDir = tmp.filePath("data");
        init.userName = "Ann O'Hara";
        init.demo = true;
        Registry setup(tmp.filePath("setup.ini"));
        userId = admin::initialise(init, setup).userId;
        store = std::make_unique<DataStore>(DatabaseSettings::read(setup.openSubKey("Database")),
                                            init.location.programDir, prompts, errors);
        ASSERT_TRUE(store->OpenDB());
        cnn().execute("INSERT INTO tblContacts (ContactName, Active) VALUES ('Zephyr Quill', -1)");
        for (int id : {6, 7})
            cnn().execute("INSERT INTO tblPaymentMethods (PaymentMethodID, PaymentMethod) "
                          "VALUES (?, ?)",
                          {id, QString("Internal %1").arg(id)});
        window = std::make_unique<frmPayments>(cnn(), PaymentWindowContext{userId, Terms{}, false},
                                               prompts);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    db::Connection &cnn() { return store->cnnLink(); }
    // The next contact picker to open takes the contact found by `search`, or
    // none when search is empty.
    void pickerWillChoose(const QString &search)
    {
        QTimer::singleShot(0, [search] {
            auto *picker = qobject_cast<ContactPickerDialog *>(QApplication::activeModalWidget());
            ASSERT_NE(picker, nullptr);
            if (search.isEmpty()) {
                picker->reject();
                return;
            }
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
};

} // namespace

TEST_F(PaymentsWindow, ACardPaymentOnAccountIsTypedAndSaved)
{
    EXPECT_EQ(window->windowTitle(), " Quorvale for Outlook:  New Payments");
    QStringList methods;
    for (int i = 0; i < window->methodList()->count(); ++i)
        methods << window->methodList()->itemText(i);
    EXPECT_EQ(methods, QStringList({"Bank transfer", "Cheque", "Credit card", "Cash"}));
    EXPECT_FALSE(window->saveExitButton()->isEnabled());
    EXPECT_FALSE(window->cardPanel()->isVisible());
    EXPECT_EQ(window->selectContactButton()->accessibleName(), "Click to select contact.");
    for (QLabel *label : window->findChildren<QLabel *>())
        EXPECT_NE(label->buddy(), nullptr) << label->text().toStdString();

    pickerWillChoose("Zephyr");
    QTest::mouseClick(window->selectContactButton(), Qt::LeftButton);
    EXPECT_EQ(window->contactField()->text(), "Zephyr Quill");

    ASSERT_GE(chooseMethod("Credit card"), 0);
    EXPECT_TRUE(window->cardPanel()->isVisible());
    EXPECT_TRUE(window->authorizationField()->isEnabled());
    EXPECT_EQ(window->descriptionField()->text(), "Card payment, authorised by phone");

    window->amountField()->setFocus();
    window->amountField()->selectAll();
    QTest::keyClicks(window->amountField(), "2'5x0.75");
    EXPECT_EQ(window->amountField()->text(), "250.75");
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
    QSqlQuery q = lastPayment();
    EXPECT_EQ(q.value(0).toString(), "Zephyr Quill");
    EXPECT_EQ(Money::fromStored(q.value(1)), Money::fromUnits(-2507500));
    EXPECT_EQ(q.value(2).toString(), "Card payment, authorised by phone");
    EXPECT_EQ(q.value(3).toString(), "4111111111111111");
    EXPECT_EQ(q.value(4).toString(), "0926");
    EXPECT_EQ(q.value(5).toString(), "Z. Quill");
    EXPECT_EQ(q.value(6).toString(), "OK42");
    EXPECT_EQ(q.value(7).toInt(), 0);
    EXPECT_EQ(q.value(8).toInt(), userId);
    EXPECT_EQ(q.value(9).toDate(), QDate::currentDate());
}

TEST_F(PaymentsWindow, SaveAndAddRecordsAFundPaymentAndStartsTheNext)
{
    pickerWillChoose("Zephyr");
    QTest::mouseClick(window->selectContactButton(), Qt::LeftButton);
    chooseMethod("Cheque");
    QTest::mouseClick(window->toFundsOption(), Qt::LeftButton);
    EXPECT_EQ(window->descriptionField()->text(), "Payment to fund.");
    window->amountField()->setFocus();
    window->amountField()->selectAll();
    QTest::keyClicks(window->amountField(), "100");
    ASSERT_TRUE(window->saveAddButton()->isEnabled());

    // The picker opens again for the next payment; it is closed without a choice.
    pickerWillChoose(QString());
    QTest::mouseClick(window->saveAddButton(), Qt::LeftButton);
    QSqlQuery q = lastPayment();
    EXPECT_EQ(Money::fromStored(q.value(1)), Money::fromWhole(100));
    EXPECT_EQ(q.value(2).toString(), "Payment to fund.");
    EXPECT_EQ(q.value(7).toInt(), -1);

    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->contactField()->text(), "");
    EXPECT_EQ(window->entry().amountText(), "0");
    EXPECT_FALSE(window->saveAddButton()->isEnabled());
    EXPECT_TRUE(window->toFundsOption()->isChecked());
}
