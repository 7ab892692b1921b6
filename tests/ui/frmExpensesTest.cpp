// The expense window offscreen on a demo database: a new expense typed from
// the keyboard and saved twice, and the manage-all window the main window's
// command opens.

#include "ui/frmExpenses.h"

#include "DemoProgramFixture.h"
#include "platform/core/Money.h"
#include "platform/core/QvError.h"
#include "platform/registry/Registry.h"
#include "qvadmin/InitCommand.h"
#include "settings/StartUp.h"
#include "support/ErrorHandler.h"
#include "support/ErrorReport.h"
#include "support/Trace.h"
#include "testsupport/ScriptedPrompts.h"
#include "testsupport/TempDir.h"
#include "timecards/Clock.h"
#include "timecards/CommandTable.h"
#include "timecards/RateChoices.h"
#include "timecards/TimeCardEditor.h"
#include "ui/ChargeCommands.h"
#include "ui/MainWindowHost.h"
#include "ui/ReimbursementDialog.h"
#include "ui/frmTimeCard.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <gtest/gtest.h>
#include <memory>

using namespace quorvale;

namespace {

const QLocale us(QLocale::English, QLocale::UnitedStates);

struct ExpensesWindow : public test::DemoProgramFixture {
    void SetUp() override
    {
        makeDemo();
        ASSERT_NO_FATAL_FAILURE(startProgram());
        meals = static_cast<qint32>(cnn().insertReturningKey(
            "INSERT INTO tblExpenseCodes (ExpenseNumber, ExpenseAbbreviation, "
            "ExpenseDescription, ExpenseRate, ExpenseClass, Active) "
            "VALUES ('M-9', 'Lunch', 'Client lunch', ?, 'Meals', -1)",
            {QVariant::fromValue(Money::fromWhole(25))}, "ExpenseCodeID"));
    }

    qint32 userId() { return startUp->settings().userId; }
    ChargeWindowContext context()
    {
        ChargeWindowContext c;
        c.scope = {userId(), false, "Ann O'Hara", std::nullopt};
        c.rules.terms = startUp->options().terms;
        c.locale = us;
        return c;
    }
    void type(QLineEdit *field, const QString &text)
    {
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, text);
        QTest::keyClick(field, Qt::Key_Tab);
    }

    qint32 meals = 0;
};

} // namespace

TEST_F(ExpensesWindow, ANewExpenseIsTypedSavedAndTheFormClearedForTheNext)
{
    frmExpenses window(cnn(), context(), prompts, ChargeMode::Add, true, ChargeKind::Expense);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(window.windowTitle(), "Quorvale: Add New Expense");
    EXPECT_EQ(window.saveExitButton()->text(), "Save && Close");
    for (QLabel *label : window.findChildren<QLabel *>()) {
        if (label->isVisible()) {
            EXPECT_NE(label->buddy(), nullptr) << label->text().toStdString();
        }
    }
    EXPECT_FALSE(window.saveExitButton()->isEnabled());

    window.typeList()->setFocus();
    window.typeList()->setCurrentIndex(window.typeList()->findData(meals));
    EXPECT_EQ(window.rateField()->text(), "$25.00");
    EXPECT_EQ(window.amountField()->text(), "$25.00");
    EXPECT_EQ(window.descriptionField()->text(), "Client lunch");
    EXPECT_EQ(window.participantsField()->text(), "Ann O'Hara; ");
    EXPECT_TRUE(window.browseButton()->isEnabled());
    EXPECT_FALSE(window.saveAddButton()->isEnabled()) << "purpose and location missing";

    type(window.purposeField(), "Kick-off");
    type(window.locationField(), "Harbour \"Inn\"");
    EXPECT_EQ(window.locationField()->text(), "Harbour Inn");
    type(window.quantityField(), "0");
    EXPECT_FALSE(window.saveAddButton()->isEnabled());
    type(window.quantityField(), "2x");
    EXPECT_EQ(window.quantityField()->text(), "2");
    EXPECT_EQ(window.amountField()->text(), "$50.00");
    ASSERT_TRUE(window.saveAddButton()->isEnabled());

    QTest::mouseClick(window.saveAddButton(), Qt::LeftButton);
    QSqlQuery q(cnn().database());
    ASSERT_TRUE(q.exec("SELECT ExpenseCodeID, Quantity, Amount, Location, Participants, UserID, "
                       "ContactID, TimeCardID FROM tblExpenses ORDER BY ExpenseID DESC LIMIT 1") &&
                q.next());
    EXPECT_EQ(q.value(0).toInt(), meals);
    EXPECT_EQ(q.value(1).toInt(), 2);
    EXPECT_EQ(Money::fromStored(q.value(2)), Money::fromWhole(50));
    EXPECT_EQ(q.value(3).toString(), "Harbour Inn");
    EXPECT_EQ(q.value(4).toString(), "Ann O'Hara; ");
    EXPECT_EQ(q.value(5).toInt(), userId());
    EXPECT_TRUE(q.value(6).isNull());
    EXPECT_TRUE(q.value(7).isNull());

    // Ready for the next one, with the type to choose first.
    EXPECT_EQ(window.typeList()->currentIndex(), 0);
    EXPECT_TRUE(window.descriptionField()->text().isEmpty());
    EXPECT_TRUE(window.locationField()->text().isEmpty());
    EXPECT_EQ(window.quantityField()->text(), "1");
    EXPECT_EQ(window.startDateField()->date(), QDate::currentDate());
    EXPECT_FALSE(window.locationField()->isEnabled());
    EXPECT_FALSE(window.saveExitButton()->isEnabled());
    EXPECT_TRUE(window.typeList()->hasFocus());
}

TEST_F(ExpensesWindow, ManageAllOpensFromTheMenuAndRefusesAnInvalidRowBeforeMoving)
{
    ChargeCommands &commands = host->chargeCommands();
    ASSERT_TRUE(commands.handles(ToolId::AllExpenses));
    ASSERT_TRUE(commands.handles(ToolId::AllProductSales));
    EXPECT_FALSE(commands.handles(ToolId::NewExpense)) << "the new-item dialog's own";

    cnn().execute("DELETE FROM tblFixedCharges WHERE UserID = ?", {userId()});
    commands.run(ToolId::AllProductSales);
    ASSERT_FALSE(prompts.messages().isEmpty());
    EXPECT_EQ(prompts.messages().back().title, "No Current Records");
    EXPECT_EQ(prompts.messages().back().text, "There are no current fixed charge records.");

    const int open = cnn()
                         .scalar("SELECT COUNT(*) FROM tblExpenses WHERE UserID = ? AND "
                                 "InvoiceID IS NULL",
                                 {userId()})
                         .toInt();
    ASSERT_GE(open, 2) << "the demo gives its user today's expenses";
    prompts.answer(PromptResult::Cancel);
    QString title, position, tip, description;
    QTimer::singleShot(0, [&] {
        auto *shown = qobject_cast<frmExpenses *>(QApplication::activeModalWidget());
        if (!shown)
            return;
        title = shown->windowTitle();
        position = shown->positionPanel()->text();
        tip = shown->tool("tbFirst")->toolTip();
        description = shown->descriptionField()->text();
        // An emptied description is not carried to the next row: Cancel drops it.
        shown->descriptionField()->clear();
        QTest::keyClicks(shown->descriptionField(), "x");
        QTest::keyClick(shown->descriptionField(), Qt::Key_Backspace);
        shown->runTool("tbNext");
        position += "|" + shown->positionPanel()->text();
        shown->closeButton()->click();
    });
    commands.run(ToolId::AllExpenses);
    EXPECT_EQ(title, "Quorvale: Manage All Expenses");
    EXPECT_EQ(position, QString("Record 1 of %1|Record 2 of %1").arg(open));
    EXPECT_EQ(tip, "Go to first Expense record.");
    EXPECT_EQ(prompts.messages().back().title, "Invalid Entry");
    EXPECT_TRUE(prompts.messages().back().text.startsWith("A valid entry for the description"));
    EXPECT_EQ(cnn().scalar("SELECT COUNT(*) FROM tblExpenses WHERE Description = ''").toInt(), 0);
    EXPECT_FALSE(description.isEmpty());
    EXPECT_EQ(endedWith, 0);
}

TEST_F(ExpensesWindow, ANewLinkedFixedChargeTakesTheCurrentTimeCard)
{
    const std::optional<qint64> timeCard = host->editor().currentTimeCardId();
    ASSERT_TRUE(timeCard);
    const QVariant contact = host->editor().timeCards().value("ContactID");
    QString title;
    bool visibleContact = true;
    QTimer::singleShot(0, [&] {
        auto *shown = qobject_cast<frmExpenses *>(QApplication::activeModalWidget());
        if (!shown)
            return;
        title = shown->windowTitle();
        visibleContact = shown->contactField()->isVisible();
        shown->typeList()->setCurrentIndex(1);
        shown->saveExitButton()->click();
    });
    host->chargeCommands().addLinked(false);
    EXPECT_EQ(title, "Quorvale: Add New Linked Fixed Charge");
    EXPECT_FALSE(visibleContact) << "a linked charge has the TimeCard's contact";
    QSqlQuery q(cnn().database());
    ASSERT_TRUE(q.exec("SELECT TimeCardID, ContactID, UserID FROM tblFixedCharges "
                       "ORDER BY ProductID DESC LIMIT 1") &&
                q.next());
    EXPECT_EQ(q.value(0).toLongLong(), *timeCard);
    EXPECT_EQ(q.value(1).toLongLong(), contact.toLongLong());
    EXPECT_EQ(q.value(2).toInt(), userId());
}

TEST_F(ExpensesWindow, RunTimeErrorsReachTheCommonHandlerWithTheWindowsProcedure)
{
    const auto reportText = [this] {
        QDir dir(tmp.filePath("reports"));
        const QStringList files = dir.entryList(QDir::Files);
        if (files.isEmpty())
            return QString();
        QFile file(dir.filePath(files.back()));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    };

    // A row the database refuses while moving on: the window closes and the
    // main window's command hands the error on, no message box of its own.
    cnn().execute("CREATE TEMP TRIGGER refuse BEFORE UPDATE ON link0.tblExpenses "
                  "BEGIN SELECT RAISE(ABORT, 'refused'); END");
    bool closed = false;
    QTimer::singleShot(0, [&] {
        auto *shown = qobject_cast<frmExpenses *>(QApplication::activeModalWidget());
        if (!shown)
            return;
        shown->descriptionField()->setFocus();
        QTest::keyClicks(shown->descriptionField(), "x");
        shown->runTool("tbNext");
        closed = !shown->isVisible();
    });
    host->window().abMainMenu_ToolClick(ToolId::AllExpenses);
    EXPECT_TRUE(closed);
    EXPECT_EQ(endedWith, ErrorHandler::ExitAfterReport);
    for (const auto &message : prompts.messages())
        EXPECT_NE(message.title, "Quorvale: Manage All Expenses");
    EXPECT_TRUE(reportText().contains("frmExpenses: ActiveBar54_ToolClick"))
        << reportText().toStdString();

    // A window whose codes cannot be read does not open; its caller gets the error.
    cnn().execute("ALTER TABLE tblFixedChargeCodes RENAME TO tblGone");
    const int told = static_cast<int>(prompts.messages().size());
    EXPECT_THROW(
        frmExpenses::ItemDialog(cnn(), context(), prompts, ChargeMode::Add, true, false, 0),
        QvError);
    EXPECT_TRUE(Trace::text().contains("frmExpenses: Form_Load"));
    EXPECT_EQ(prompts.messages().size(), told);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(ExpensesWindow, AltSIsSaveAndExitAndNoAccessKeyStandsForTwoControls)
{
    const auto first = [this](const char *table, const char *key) {
        return cnn()
            .scalar(QString("SELECT MIN(%1) FROM %2 WHERE UserID = ? AND InvoiceID IS NULL")
                        .arg(key, table),
                    {userId()})
            .toLongLong();
    };
    const std::pair<ChargeKind, qint64> charges[] = {
        {ChargeKind::Expense, first("tblExpenses", "ExpenseID")},
        {ChargeKind::FixedCharge, first("tblFixedCharges", "ProductID")}};
    for (const auto &[kind, id] : charges) {
        SCOPED_TRACE(static_cast<int>(kind));
        ASSERT_GT(id, 0);
        frmExpenses window(cnn(), context(), prompts, ChargeMode::EditOne, true, kind, id);
        window.show();
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        QHash<QString, QStringList> owners;
        for (QWidget *w : window.findChildren<QWidget *>()) {
            if (!w->isVisible())
                continue;
            QString text;
            if (auto *label = qobject_cast<QLabel *>(w); label && label->buddy())
                text = label->text();
            else if (auto *button = qobject_cast<QAbstractButton *>(w))
                text = button->text();
            const QKeySequence key = QKeySequence::mnemonic(text);
            if (!key.isEmpty())
                owners[key.toString()] << text;
        }
        ASSERT_TRUE(owners.contains("Alt+S"));
        for (auto it = owners.cbegin(); it != owners.cend(); ++it)
            EXPECT_EQ(it.value().size(), 1)
                << it.key().toStdString() << ": " << it.value().join(" | ").toStdString();

        // Typed into a field, the change is saved by Alt+S and the window closes.
        QLineEdit *description = window.descriptionField();
        description->setFocus();
        description->selectAll();
        QTest::keyClicks(description, "Reviewed");
        ASSERT_TRUE(window.saveExitButton()->isEnabled());
        QTest::keyClick(description, Qt::Key_S, Qt::AltModifier);
        EXPECT_NE(window.focusWidget(), window.startDateField());
        // An access key clicks its button in an animation, from the event loop.
        EXPECT_TRUE(QTest::qWaitFor([&window] { return !window.isVisible(); }));
        const bool expense = kind == ChargeKind::Expense;
        EXPECT_EQ(cnn()
                      .scalar(QString("SELECT Description FROM %1 WHERE %2 = ?")
                                  .arg(expense ? "tblExpenses" : "tblFixedCharges",
                                       expense ? "ExpenseID" : "ProductID"),
                              {id})
                      .toString(),
                  "Reviewed");
    }
}

namespace {

TEST_F(ExpensesWindow, EachBillStatusSaysWhatTheNextInvoiceDoesWithIt)
{
    frmExpenses window(cnn(), context(), prompts, ChargeMode::Add, true, ChargeKind::Expense);
    auto *status = window.findChild<QComboBox *>(QStringLiteral("cboBillStatus"));
    ASSERT_NE(status, nullptr);
    for (int i = 0; i < status->count(); ++i)
        EXPECT_FALSE(status->itemData(i, Qt::ToolTipRole).toString().isEmpty())
            << status->itemText(i).toStdString();
    status->setCurrentText(QStringLiteral("Do not bill"));
    EXPECT_TRUE(status->accessibleDescription().contains("never invoiced"))
        << status->accessibleDescription().toStdString();
    status->setCurrentText(QStringLiteral("Hold"));
    EXPECT_TRUE(status->toolTip().contains("work in process")) << status->toolTip().toStdString();
}

} // namespace

namespace {

TEST_F(ExpensesWindow, TheActivityQuickFilterNarrowsTheListAndShowsWhatIsInForce)
{
    const int open =
        cnn()
            .scalar("SELECT COUNT(*) FROM tblExpenses WHERE UserID = ? AND InvoiceID IS NULL",
                    {userId()})
            .toInt();
    ASSERT_GE(open, 2);
    const QVariant meetings = cnn().scalar(
        "SELECT MIN(ActivityID) FROM tblMainActivities WHERE Active <> 0 AND ActivityID IN "
        "(SELECT ActivityID FROM tblMainActivities)");
    ASSERT_FALSE(meetings.isNull());
    cnn().execute("UPDATE tblExpenses SET Activity1ID = ? WHERE ExpenseID = (SELECT MIN(ExpenseID) "
                  "FROM tblExpenses WHERE UserID = ? AND InvoiceID IS NULL)",
                  {meetings, userId()});
    startUp->settings().settings.quickFilterType = 1;

    QStringList positions;
    QString filterShown;
    QTimer::singleShot(0, [&] {
        auto *shown = qobject_cast<frmExpenses *>(QApplication::activeModalWidget());
        if (!shown || !shown->filterList())
            return;
        QComboBox *filter = shown->filterList();
        // As a person chooses: the list reacts to a choice, not to any change.
        const auto choose = [filter](const QVariant &id) {
            const int at = id.isValid() ? filter->findData(id) : 0;
            filter->setCurrentIndex(at);
            Q_EMIT filter->activated(at);
        };
        choose(meetings);
        positions << shown->positionPanel()->text();
        filterShown = filter->currentText();
        QVariant other;
        for (int i = 1; i < filter->count() && !other.isValid(); ++i)
            if (filter->itemData(i) != meetings)
                other = filter->itemData(i);
        // Nothing of the other activity: said so, and the list and the
        // control stay as they were.
        prompts.answer(PromptResult::Ok);
        choose(other);
        positions << shown->positionPanel()->text() + " / " + filter->currentText();
        choose(meetings);
        choose(QVariant());
        positions << shown->positionPanel()->text();
        shown->closeButton()->click();
    });
    host->chargeCommands().run(ToolId::AllExpenses);
    ASSERT_EQ(positions.size(), 3) << "the manage-all window has the activity filter";
    EXPECT_EQ(positions[0], "Record 1 of 1");
    EXPECT_FALSE(filterShown.isEmpty());
    ASSERT_FALSE(prompts.messages().isEmpty());
    EXPECT_EQ(prompts.messages().back().title, " No Matching Records");
    EXPECT_EQ(positions[1], "Record 1 of 1 / " + filterShown);
    EXPECT_EQ(positions[2], QString("Record 1 of %1").arg(open));
}

} // namespace

namespace {

TEST_F(ExpensesWindow, RecordReimbursementPaysBackWhatIsOwedAndLeavesTheRowsReadOnly)
{
    const auto owedCount = [this] {
        return cnn()
            .scalar("SELECT COUNT(*) FROM tblExpenses WHERE UserID = ? AND ReimbursementID IS NULL",
                    {userId()})
            .toInt();
    };
    const int owed = owedCount();
    ASSERT_GE(owed, 2);
    Money sum;
    {
        QSqlQuery q = cnn().prepare("SELECT Amount FROM tblExpenses WHERE UserID = ? AND "
                                    "ReimbursementID IS NULL");
        cnn().run(q, {userId()});
        while (q.next())
            sum += Money::fromStored(q.value(0));
    }
    const QString total = currencyText(sum, us);
    const auto reimbursements = [this] {
        return cnn().scalar("SELECT COUNT(*) FROM tblReimbursements").toInt();
    };

    frmExpenses window(cnn(), context(), prompts, ChargeMode::ManageAll, true, ChargeKind::Expense);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    EXPECT_EQ(window.reimbursementPanel()->text(), "Not Reimbursed");
    EXPECT_TRUE(window.descriptionField()->isEnabled());

    // Answers the dialog the command opens: the reference typed and Record, or Cancel.
    QString summary;
    int listed = 0;
    const auto whenAsked = [&](bool record) {
        QTimer::singleShot(0, [&, record] {
            auto *dialog = qobject_cast<ReimbursementDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            summary = dialog->summary()->text();
            listed = dialog->expenseTable()->rowCount();
            QTest::keyClicks(dialog->referenceField(), "Cheque 1042");
            dialog->dateField()->setDate(QDate(2026, 12, 7));
            if (record)
                dialog->recordButton()->click();
            else
                dialog->reject();
        });
    };
    // Ctrl+R with the dialog answered: Record (true), Cancel (false).
    const auto pressCtrlR = [&](bool record) {
        // The dialog just closed may leave no window active; the key goes to ours.
        window.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
        whenAsked(record);
        QTest::keyClick(&window, Qt::Key_R, Qt::ControlModifier);
    };

    // Cancelled in the dialog, then declined when asked: nothing is written.
    pressCtrlR(false);
    EXPECT_EQ(listed, owed);
    EXPECT_EQ(summary,
              QString("%1 expenses are not yet reimbursed, %2 in all.").arg(owed).arg(total));
    prompts.answer(PromptResult::No);
    pressCtrlR(true);
    ASSERT_FALSE(prompts.messages().isEmpty());
    EXPECT_EQ(prompts.messages().back().buttons, PromptButtons::YesNo);
    EXPECT_TRUE(prompts.messages().back().text.startsWith(
        QString("Record that %1 expenses totalling %2 were reimbursed on 12/7/26?")
            .arg(owed)
            .arg(total)))
        << prompts.messages().back().text.toStdString();
    EXPECT_EQ(reimbursements(), 0);
    EXPECT_EQ(owedCount(), owed);

    prompts.answer(PromptResult::Yes);
    pressCtrlR(true);
    ASSERT_EQ(reimbursements(), 1);
    QSqlQuery q = cnn().prepare("SELECT ReimbursementID, UserID, Amount, Reference, "
                                "ReimbursementDate FROM tblReimbursements");
    cnn().run(q, {});
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(1).toInt(), userId());
    EXPECT_EQ(Money::fromStored(q.value(2)), sum);
    EXPECT_EQ(q.value(3).toString(), "Cheque 1042");
    EXPECT_EQ(q.value(4).toDate(), QDate(2026, 12, 7));
    EXPECT_EQ(owedCount(), 0);
    EXPECT_EQ(
        cnn()
            .scalar("SELECT COUNT(*) FROM tblExpenses WHERE UserID = ? AND ReimbursementID = ?",
                    {userId(), q.value(0)})
            .toInt(),
        owed);
    EXPECT_EQ(prompts.messages().back().text, QString("Reimbursement %1 recorded: %2 expenses, %3.")
                                                  .arg(q.value(0).toLongLong())
                                                  .arg(owed)
                                                  .arg(total));

    // The rows shown are read again: reimbursed, and no longer to be changed.
    EXPECT_EQ(window.reimbursementPanel()->text(), "Reimbursed");
    for (QWidget *field : std::initializer_list<QWidget *>{
             window.descriptionField(), window.amountField(), window.rateField(),
             window.quantityField(), window.typeList(), window.startDateField()})
        EXPECT_FALSE(field->isEnabled()) << field->objectName().toStdString();
    EXPECT_FALSE(window.tool("tbDelete")->isEnabled());
    window.runTool("tbNext");
    EXPECT_EQ(window.reimbursementPanel()->text(), "Reimbursed");

    // Nothing left to pay back: said so, without the dialog.
    listed = -1;
    pressCtrlR(true);
    QApplication::processEvents();
    EXPECT_EQ(listed, -1);
    EXPECT_EQ(prompts.messages().back().text, "No expense is waiting to be reimbursed.");
    EXPECT_EQ(reimbursements(), 1);
    EXPECT_EQ(prompts.unusedAnswers(), 0u);
}

} // namespace
