// Recording payments against a real program database: which methods are
// offered, the rules an entry must meet before it can be saved, and the row
// that saving leaves in tblPayments.

#include "charges/PaymentEntry.h"
#include "charges/PaymentMethods.h"
#include "charges/PaymentRecorder.h"
#include "data/DataStore.h"
#include "platform/core/QvError.h"
#include "platform/registry/Registry.h"
#include "qvadmin/InitCommand.h"
#include "support/ErrorHandler.h"
#include "support/ErrorReport.h"
#include "testsupport/DemoStore.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/ScriptedPrompts.h"
#include "testsupport/TempDir.h"

#include <QSqlQuery>
#include <gtest/gtest.h>
#include <memory>

using namespace quorvale;

namespace {

// The demonstration database (methods 1 to 4, 3 being the card that needs an
// authorization) with methods 6 and 7 added.
struct Payments : ::testing::Test {
    test::EngineDatabase engine;
    test::TempDir tmp;
    test::ScriptedPrompts prompts;
    ErrorReport report{prompts, tmp.filePath("reports")};
    ErrorHandler errors{report};
    std::unique_ptr<DataStore> store;
    qint32 userId = 0;
    qint32 contactId = 0;
    const QDate today{2026, 3, 14};

    void SetUp() override
    {
        errors.terminate = [](int) {};
        userId = test::openDemoStore(tmp, engine, prompts, errors, store);
        ASSERT_TRUE(store);
        for (int id : {6, 7})
            cnn().execute("INSERT INTO tblPaymentMethods (PaymentMethodID, PaymentMethod, "
                          "PaymentDescription, RequiresAuthorization, CreditCardPayment) "
                          "VALUES (?, ?, ?, 0, 0)",
                          {id, QString("Method %1").arg(id), QString("Paid by method %1").arg(id)});
        contactId = static_cast<qint32>(cnn().insertReturningKey(
            "INSERT INTO tblContacts (ContactName, Active) VALUES ('Brannock & Sons', -1)", {},
            "ContactID"));
    }

    db::Connection &cnn() { return store->cnnLink(); }
    PaymentEntry entry() { return PaymentEntry(PaymentMethods::load(cnn()), today); }
    // An entry that can be saved with the cheque (method 2).
    PaymentEntry complete(const QString &amount)
    {
        PaymentEntry e = entry();
        e.setContact(PickedContact{contactId, "Brannock & Sons"});
        e.chooseMethod(2);
        e.setAmountText(amount);
        return e;
    }
    int paymentCount() { return cnn().scalar("SELECT COUNT(*) FROM tblPayments").toInt(); }
    QSqlQuery stored(qint64 id)
    {
        QSqlQuery q(cnn().database());
        q.prepare("SELECT UserID, ContactID, PaymentAmount, PaymentDate, PaymentDescription, "
                  "CreditCardNumber, CardholdersName, CCExpirationDate, AuthorizationCode, "
                  "PaymentMethodID, FundContribution FROM tblPayments WHERE PaymentID = ?");
        q.addBindValue(id);
        EXPECT_TRUE(q.exec() && q.next());
        return q;
    }
};

} // namespace

TEST_F(Payments, MethodsSixAndSevenAreNeverOffered)
{
    std::vector<qint32> ids;
    for (const PaymentMethod &m : PaymentMethods::load(cnn()).offered())
        ids.push_back(m.ID);
    EXPECT_EQ(ids, (std::vector<qint32>{1, 2, 3, 4}));
    // Choosing one of them anyway leaves no method, and nothing to save.
    PaymentEntry e = complete("10");
    e.chooseMethod(7);
    EXPECT_EQ(e.problem(), PaymentProblem::NoMethod);
}

TEST_F(Payments, EachRuleKeepsTheEntryFromBeingSavedUntilMet)
{
    PaymentEntry e = entry();
    EXPECT_EQ(e.method()->ID, 1) << "the first method is chosen on opening";
    EXPECT_EQ(e.description(), "Payment into the business account");
    EXPECT_EQ(e.problem(), PaymentProblem::NoContact);
    e.setContact(PickedContact{contactId, "Brannock & Sons"});
    EXPECT_EQ(e.problem(), PaymentProblem::NoAmount) << "the amount starts at 0";
    e.setAmountText("125.50");
    e.setDate(QDate());
    EXPECT_EQ(e.problem(), PaymentProblem::NoDate);
    e.setDate(today);
    e.setDescription("  ");
    EXPECT_EQ(e.problem(), PaymentProblem::NoDescription);
    e.setDescription("Cheque 118");
    EXPECT_TRUE(e.canSave());

    // The card: number, four-digit expiration and cardholder, then the code.
    e.chooseMethod(3);
    EXPECT_EQ(e.problem(), PaymentProblem::CardIncomplete);
    e.setCardNumber("4111 1111-1111-1111");
    EXPECT_EQ(e.cardNumber(), "4111111111111111");
    e.setCardholder("R. Brannock");
    e.setExpiration("926");
    EXPECT_EQ(e.problem(), PaymentProblem::CardIncomplete) << "three digits are no MMYY";
    e.setExpiration("0926");
    EXPECT_EQ(e.problem(), PaymentProblem::NoAuthorization);
    e.setAuthorizationCode("A7731");
    ASSERT_TRUE(e.canSave());

    // A method without authorization: the code typed for the card stays out.
    e.chooseMethod(4);
    QSqlQuery q = stored(ProcessPayment(cnn(), e.row(userId)));
    EXPECT_EQ(q.value(8).toString(), "");
    EXPECT_EQ(q.value(9).toInt(), 4);
}

TEST_F(Payments, SwitchingFromACardToCashClearsTheCardFields)
{
    PaymentEntry e = complete("40");
    e.chooseMethod(3);
    e.setCardNumber("4111111111111111");
    e.setExpiration("0926");
    e.setCardholder("R. Brannock");
    e.chooseMethod(4);
    EXPECT_EQ(e.cardNumber() + e.expiration() + e.cardholder(), "");
    EXPECT_EQ(e.description(), "Cash at the office");
}

TEST_F(Payments, SavedAmountsAreExactAndSignedByKind)
{
    PaymentEntry onAccount = complete("100");
    onAccount.setDescription("Brannock's cheque, \"March\"");
    const qint64 a = ProcessPayment(cnn(), onAccount.row(userId));
    QSqlQuery q = stored(a);
    EXPECT_EQ(q.value(0).toInt(), userId);
    EXPECT_EQ(q.value(1).toInt(), contactId);
    EXPECT_EQ(Money::fromStored(q.value(2)), Money::fromWhole(-100));
    EXPECT_EQ(q.value(3).toDate(), today);
    EXPECT_EQ(q.value(4).toString(), "Brannock's cheque, \"March\"");
    for (int unused = 5; unused <= 8; ++unused) {
        EXPECT_FALSE(q.value(unused).isNull()) << unused;
        EXPECT_EQ(q.value(unused).toString(), "") << unused;
    }
    EXPECT_EQ(q.value(9).toInt(), 2);
    EXPECT_EQ(q.value(10).toInt(), 0);

    PaymentEntry funds = complete("1234.5678");
    funds.chooseKind(PaymentKind::ToFunds);
    funds.setDescription("typed over");
    q = stored(ProcessPayment(cnn(), funds.row(userId)));
    EXPECT_EQ(Money::fromStored(q.value(2)), Money::fromUnits(12345678));
    EXPECT_EQ(q.value(4).toString(), "Payment to fund.");
    EXPECT_EQ(q.value(10).toInt(), -1);
}

TEST_F(Payments, AmountsThatAreNotPlainNumbersNeverReachTheTable)
{
    const int before = paymentCount();
    for (const char *typed : {"", ".", "0", "0.00001", "-5", "12a", "1e3", "1.2.3", "$100",
                              "100'); DELETE FROM tblPayments; --", "100' OR '1'='1"}) {
        PaymentEntry e = complete(typed);
        EXPECT_EQ(e.problem(), PaymentProblem::NoAmount) << typed;
        EXPECT_THROW(e.row(userId), QvError) << typed;
    }
    EXPECT_EQ(paymentCount(), before);

    // What the key filter lets through of a paste.
    EXPECT_EQ(keepOnly("1'0a0.5\"", PaymentTexts::AmountCharacters), "100.5");
    EXPECT_EQ(parseTypedAmount(typedAmountText(Money::fromUnits(1234567))),
              Money::fromUnits(1234567));
}
