// Expenses and fixed charges against a real program database: the type list,
// the rules a charge must meet, the rows a new charge writes and the
// manage-all rows of one user.

#include "charges/ChargeCodes.h"
#include "charges/ChargeRecord.h"
#include "charges/ChargeSave.h"
#include "charges/ChargeStore.h"
#include "charges/ChargeValidation.h"
#include "data/DataStore.h"
#include "support/ErrorHandler.h"
#include "support/ErrorReport.h"
#include "testsupport/DemoStore.h"
#include "testsupport/ScriptedPrompts.h"
#include "testsupport/TempDir.h"

#include <QSqlQuery>
#include <QSqlRecord>
#include <gtest/gtest.h>
#include <memory>

using namespace quorvale;

namespace {

const QLocale us(QLocale::English, QLocale::UnitedStates);

struct Charges : ::testing::Test {
    test::EngineDatabase engine;
    test::TempDir tmp;
    test::ScriptedPrompts prompts;
    ErrorReport report{prompts, tmp.filePath("reports")};
    ErrorHandler errors{report};
    std::unique_ptr<DataStore> store;
    qint32 userId = 0;
    const QDate today{2026, 3, 14};

    void SetUp() override
    {
        errors.terminate = [](int) {};
        userId = test::openDemoStore(tmp, engine, prompts, errors, store);
        ASSERT_TRUE(store);
        // The demo's own rows would only get in the way of counting ours.
        cnn().execute("DELETE FROM tblExpenses");
        cnn().execute("DELETE FROM tblFixedCharges");
    }

    db::Connection &cnn() { return store->cnnLink(); }
    qint32 addExpenseCode(const QVariant &number, const QString &abbreviation, qint64 rateUnits,
                          const QString &cls)
    {
        return static_cast<qint32>(cnn().insertReturningKey(
            "INSERT INTO tblExpenseCodes (ExpenseNumber, ExpenseAbbreviation, ExpenseDescription, "
            "ExpenseRate, ExpenseClass, Active) VALUES (?, ?, ?, ?, ?, -1)",
            {number, abbreviation, abbreviation + " for the client",
             QVariant::fromValue(Money::fromUnits(rateUnits)), cls},
            "ExpenseCodeID"));
    }
    QSqlRecord row(const QString &sql, const QVariantList &params = {})
    {
        QSqlQuery q = cnn().prepare(sql);
        cnn().run(q, params);
        EXPECT_TRUE(q.next());
        return q.record();
    }
    static SqlFragment byContact(qint32 id)
    {
        SqlFragment f;
        f.add("tblExpenses.ContactID = ?", {id});
        return f;
    }
    ChargeInsert expense(qint32 code)
    {
        ChargeInsert r;
        r.codeId = code;
        r.userId = userId;
        r.description = "Taxi";
        r.quantity = 1;
        r.startDate = r.endDate = today;
        r.rate = r.amount = Money::fromWhole(20);
        r.billStatus = "Billable";
        return r;
    }
};

TEST_F(Charges, TypeListOffersActiveCodesWithRatesShownToTheirDecimals)
{
    const qint32 empty = addExpenseCode(QVariant(), "Tolls", 123450, "Travel");
    cnn().execute("INSERT INTO tblExpenseCodes (ExpenseNumber, ExpenseAbbreviation, Active) "
                  "VALUES ('E-99', 'Retired', 0)");
    const ChargeCodes codes = ChargeCodes::load(cnn(), ChargeKind::Expense);
    const std::vector<PickEntry> entries = codes.entries();
    ASSERT_GE(entries.size(), 3u);
    EXPECT_EQ(entries.front(), (PickEntry{NoChargeCode, QString()}));
    // A code without a number sorts first and is listed by its abbreviation.
    EXPECT_EQ(entries[1], (PickEntry{empty, "Tolls"}));
    EXPECT_EQ(entries[2].text, "E-01 - Mileage");
    for (const PickEntry &e : entries)
        EXPECT_NE(e.text, "E-99 - Retired");

    ChargeRecord r = newChargeRecord(today, us);
    chooseChargeCode(r, codes, empty, true, "Ann", us);
    EXPECT_EQ(r.rateText, "12.345");
    EXPECT_EQ(r.amountText, "$12.35");
    EXPECT_EQ(r.description, "Tolls for the client");
    EXPECT_EQ(chargeRateText(Money::fromUnits(125000), us), "$12.50");

    // A rate already shown as the code's is not replaced; the empty entry clears.
    r.quantityText = "2";
    chooseChargeCode(r, codes, empty, true, "Ann", us);
    EXPECT_EQ(r.amountText, "$24.69");
    chooseChargeCode(r, codes, NoChargeCode, true, "Ann", us);
    EXPECT_EQ(r.rateText, "$0.00");
    EXPECT_TRUE(r.description.isEmpty());
}

TEST_F(Charges, ClassesOpenAndCloseTheExpenseFields)
{
    const qint32 gifts = addExpenseCode("G-1", "Gift", 50000, "Gifts");
    const qint32 meals = addExpenseCode("M-1", "Lunch", 25000, "Meals");
    const ChargeCodes codes = ChargeCodes::load(cnn(), ChargeKind::Expense);

    ChargeRecord r = newChargeRecord(today, us);
    chooseChargeCode(r, codes, meals, true, "Ann O'Hara", us);
    EXPECT_EQ(r.fields, (ClassFields{true, true, true}));
    EXPECT_EQ(r.participants, "Ann O'Hara; ");

    r.location = "Harbour Inn";
    r.participants = "Ann O'Hara; Bob; ";
    chooseChargeCode(r, codes, gifts, true, "Ann O'Hara", us);
    EXPECT_EQ(r.fields, (ClassFields{true, false, true}));
    EXPECT_TRUE(r.location.isEmpty());
    // Participants both classes take stay as they were typed.
    EXPECT_EQ(r.participants, "Ann O'Hara; Bob; ");
    EXPECT_EQ(expenseClassFields("Office"), ClassFields{});
    EXPECT_EQ(expenseClassFields("meals"), ClassFields{});
}

TEST_F(Charges, ValidationNamesTheFirstFieldThatFails)
{
    const qint32 meals = addExpenseCode("M-1", "Lunch", 25000, "Meals");
    const ChargeCodes codes = ChargeCodes::load(cnn(), ChargeKind::Expense);
    ChargeRules rules;
    rules.contactInUse = rules.contactRequired = true;
    rules.jobOrderTerm = "Matter";
    rules.jobOrderRequired = true;

    ChargeRecord r = newChargeRecord(today, us);
    EXPECT_EQ(ValidateRecord(r, ChargeKind::Expense, rules, true, us), ChargeError::Contact);
    // A linked row takes its contact and job order from the TimeCard.
    EXPECT_EQ(ValidateRecord(r, ChargeKind::Expense, rules, false, us), ChargeError::Type);
    chooseChargeCode(r, codes, meals, true, "Ann", us);
    r.purpose = "Kick-off";
    r.location = "Harbour Inn";
    EXPECT_EQ(ValidateRecord(r, ChargeKind::Expense, rules, false, us), ChargeError::None);

    r.quantityText = "0";
    EXPECT_EQ(ValidateRecord(r, ChargeKind::Expense, rules, false, us), ChargeError::Quantity);
    r.quantityText = "99999999999"; // past what the whole-number column holds
    EXPECT_EQ(ValidateRecord(r, ChargeKind::Expense, rules, false, us), ChargeError::Quantity);
    r.quantityText = "1";
    r.rateText = "$0.00";
    EXPECT_EQ(ValidateRecord(r, ChargeKind::Expense, rules, false, us), ChargeError::Rate);
    r.rateText = "25";
    r.participants.clear();
    EXPECT_EQ(ValidateRecord(r, ChargeKind::Expense, rules, false, us), ChargeError::Participants);
    // A fixed charge has no participants to miss.
    EXPECT_EQ(ValidateRecord(r, ChargeKind::FixedCharge, rules, false, us), ChargeError::None);

    EXPECT_EQ(GetErrorItem(ChargeError::JobOrder, ChargeKind::Expense, rules), "Matter");
    EXPECT_EQ(GetErrorItem(ChargeError::Type, ChargeKind::FixedCharge, rules), "fixed charge type");
    EXPECT_TRUE(invalidEntryText(ChargeError::Rate, ChargeKind::Expense, rules)
                    .startsWith("A valid entry for the rate is required before proceeding.\r\n"));
}

TEST_F(Charges, NewRowsWriteOnlyTheColumnsTheyCarry)
{
    const qint32 code = addExpenseCode("T-1", "Taxi", 200000, "Transportation");
    ChargeInsert standalone = expense(code);
    standalone.activity1Id = 4;
    standalone.activity2Id = 9;
    standalone.description = R"(Cab "airport" to O'Hare; 'late')";
    standalone.quantity = wholeQuantity(*chargeNumber("2.5", us));
    const qint64 id = ProcessSave(cnn(), standalone);
    QSqlRecord r = row("SELECT * FROM tblExpenses WHERE ExpenseID = ?", {id});
    EXPECT_EQ(chargeColumnPattern(0, 4, 9), "011");
    EXPECT_TRUE(r.value("ContactID").isNull());
    EXPECT_TRUE(r.value("TimeCardID").isNull());
    EXPECT_EQ(r.value("Activity1ID").toInt(), 4);
    EXPECT_EQ(r.value("Activity2ID").toInt(), 9);
    EXPECT_EQ(r.value("Description").toString(), standalone.description);
    EXPECT_EQ(r.value("Quantity").toInt(), 2);
    EXPECT_EQ(r.value("EndDate").toDate(), today);
    EXPECT_EQ(Money::fromStored(r.value("Rate")), Money::fromWhole(20));

    const qint64 timeCard = cnn().scalar("SELECT MIN(TimeCardID) FROM tblTimeCards").toLongLong();
    ChargeInsert linked = expense(0);
    linked.kind = ChargeKind::FixedCharge;
    linked.codeId = cnn().scalar("SELECT MIN(ProductCodeID) FROM tblFixedChargeCodes").toInt();
    linked.timeCardId = timeCard;
    linked.contactId = 3;
    linked.quantity = wholeQuantity(*chargeNumber("3.5", us));
    linked.realization = Realization::fromPercent(90);
    const qint64 product = ProcessSave(cnn(), linked);
    r = row("SELECT * FROM tblFixedCharges WHERE ProductID = ?", {product});
    EXPECT_EQ(r.value("TimeCardID").toLongLong(), timeCard);
    EXPECT_EQ(r.value("ContactID").toInt(), 3);
    EXPECT_TRUE(r.value("Activity1ID").isNull());
    EXPECT_EQ(r.value("Quantity").toInt(), 4);
    EXPECT_DOUBLE_EQ(r.value("Realization").toDouble(), 0.9);
    EXPECT_EQ(r.indexOf("EndDate"), -1);
    EXPECT_EQ(r.indexOf("Purpose"), -1);

    // An activity 2 without activity 1 under a contact is not lost.
    EXPECT_EQ(chargeColumnPattern(3, 0, 9), "111");
    EXPECT_EQ(chargeColumnPattern(3, 0, 0), "100");
    EXPECT_EQ(chargeColumnPattern(3, 4, 0), "110");
}

TEST_F(Charges, ManageAllShowsTheUsersOpenRowsAndKeepsOneToEdit)
{
    const qint32 code = addExpenseCode("T-1", "Taxi", 200000, "Transportation");
    ChargeInsert reimbursed = expense(code);
    const qint64 reimbursedId = ProcessSave(cnn(), reimbursed);
    cnn().execute("UPDATE tblExpenses SET ReimbursementID = 7 WHERE ExpenseID = ?", {reimbursedId});
    const qint64 invoicedId = ProcessSave(cnn(), expense(code));
    cnn().execute("UPDATE tblExpenses SET InvoiceID = 3 WHERE ExpenseID = ?", {invoicedId});
    ChargeInsert other = expense(code);
    other.userId = userId + 1000;
    ProcessSave(cnn(), other);

    ChargeStore rows(cnn(), ChargeKind::Expense, {userId, false, "Ann", std::nullopt},
                     ChargeCodes::load(cnn(), ChargeKind::Expense), us);
    rows.open();
    ASSERT_EQ(rows.count(), 1);
    ChargeRecord shown = rows.current();
    EXPECT_TRUE(shown.reimbursed);
    EXPECT_TRUE(shown.readOnly(true));
    // A reimbursed row is not changed, whatever the window holds.
    shown.description = "Changed";
    rows.commit(shown);
    EXPECT_EQ(cnn()
                  .scalar("SELECT Description FROM tblExpenses WHERE ExpenseID = ?", {reimbursedId})
                  .toString(),
              "Taxi");

    // A new row is stored with the user's id and a quoted text intact.
    ChargeRecord fresh = newChargeRecord(today, us);
    rows.addNew(fresh);
    EXPECT_TRUE(rows.adding());
    fresh.codeId = code;
    fresh.description = R"(Lunch at "Joe's")";
    fresh.quantityText = "2.5";
    fresh.rateText = "12.345";
    fresh.amountText = "$30.86";
    rows.commit(fresh);
    EXPECT_FALSE(rows.adding());
    EXPECT_EQ(rows.count(), 2);
    const ChargeRecord stored = rows.current();
    EXPECT_EQ(stored.description, fresh.description);
    EXPECT_EQ(stored.quantityText, "2");
    EXPECT_EQ(stored.rateText, "12.345");
    EXPECT_FALSE(rows.pending(stored));

    // The reimbursed row cannot be deleted; deleting the others leaves a fresh
    // row waiting.
    const auto blank = [&] { return newChargeRecord(today, us); };
    rows.moveFirst();
    EXPECT_FALSE(rows.deleteCurrent(blank));
    EXPECT_EQ(rows.count(), 2);
    cnn().execute("UPDATE tblExpenses SET ReimbursementID = NULL WHERE ExpenseID = ?",
                  {reimbursedId});
    rows.moveNext();
    EXPECT_TRUE(rows.deleteCurrent(blank));
    EXPECT_EQ(rows.count(), 1);
    EXPECT_FALSE(rows.current().reimbursed);
    EXPECT_TRUE(rows.deleteCurrent(blank));
    EXPECT_TRUE(rows.adding());
    EXPECT_EQ(rows.count(), 0);
    EXPECT_EQ(cnn()
                  .scalar("SELECT COUNT(*) FROM tblExpenses WHERE UserID = ? AND InvoiceID IS "
                          "NULL",
                          {userId})
                  .toInt(),
              0);
    // Cancelling that fresh row too leaves another one.
    rows.deleteCurrent(blank);
    EXPECT_TRUE(rows.adding());
}

TEST_F(Charges, QuickFilterNarrowsToOneContactAndClearingKeepsTheRowShown)
{
    const qint32 code = addExpenseCode("T-1", "Taxi", 200000, "Transportation");
    ChargeInsert a = expense(code);
    a.contactId = 11;
    const qint64 first = ProcessSave(cnn(), a);
    a.contactId = 12;
    const qint64 second = ProcessSave(cnn(), a);
    ProcessSave(cnn(), a);

    ChargeStore rows(cnn(), ChargeKind::Expense, {userId, false, "Ann", std::nullopt},
                     ChargeCodes::load(cnn(), ChargeKind::Expense), us);
    rows.open();
    ASSERT_EQ(rows.count(), 3);
    EXPECT_FALSE(rows.applyFilter(byContact(99)));
    EXPECT_EQ(rows.count(), 3);
    EXPECT_FALSE(rows.filtered());

    ASSERT_TRUE(rows.applyFilter(byContact(12)));
    EXPECT_EQ(rows.count(), 2);
    EXPECT_EQ(rows.current().id, second);
    rows.clearFilter();
    EXPECT_EQ(rows.count(), 3);
    EXPECT_EQ(rows.current().id, second);
    EXPECT_EQ(rows.position(), 2);

    // A TimeCard's own window sees only what is linked to it.
    cnn().execute("UPDATE tblExpenses SET TimeCardID = 5 WHERE ExpenseID = ?", {first});
    ChargeStore linked(cnn(), ChargeKind::Expense, {userId, false, "Ann", 5},
                       ChargeCodes::load(cnn(), ChargeKind::Expense), us);
    linked.open();
    EXPECT_EQ(linked.count(), 1);
    EXPECT_TRUE(linked.current().linked());
}

} // namespace
