// The README's first tour, step by step, on the real main window over the demo
// database: keys and menus as a person uses them, and afterwards what that
// person would look at: the row in the database file, the item file on disk,
// the window's fields.

#include "MainWindowFixture.h"
#include "outlook/OutlookSession.h"
#include "platform/core/Money.h"
#include "platform/pim/Folder.h"
#include "platform/pim/Item.h"
#include "platform/pim/Namespace.h"
#include "timecards/CommandTable.h"
#include "timecards/TimeCalcs.h"
#include "timecards/TimeCardEditor.h"
#include "ui/AbbreviationCommands.h"
#include "ui/AbbreviationList.h"
#include "ui/ContactPickerDialog.h"
#include "ui/ItemEditorDialog.h"
#include "ui/LinksPanel.h"
#include "ui/TimeCardListDialog.h"
#include "ui/frmAbbreviations.h"
#include "ui/frmExpenses.h"
#include "ui/frmFilter.h"
#include "ui/frmInterruptTimer.h"
#include "ui/frmMassEdit.h"
#include "ui/frmNewItem.h"
#include "ui/frmPayments.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTableView>
#include <QToolButton>

using namespace quorvale;

namespace {

class TourTest : public test::ShownDemoWindow {
protected:
    db::Connection &link() { return startUp->store().cnnLink(); }
    qint32 userId() { return startUp->settings().userId; }

    // The TimeCard's journal entry as the file the row points at.
    std::optional<test::IcsItem> journalEntry(const QVariant &id)
    {
        const auto item = startUp->outlook().nameSpace().itemFromId(
            stored(id, "JournalEntryID").toString(),
            startUp->outlook().folder(FolderSlot::Journal)->storeId());
        if (!item)
            return std::nullopt;
        return test::readIcs(item->filePath());
    }

    // Moves away and back, as a person does to have the TimeCard stored.
    void storeByMoving()
    {
        const QVariant id = current();
        const bool last = !tool("mnuGoToNext")->isEnabled();
        press(last ? Qt::Key_F6 : Qt::Key_F7);
        ASSERT_NE(current(), id) << "nothing to move to";
        press(last ? Qt::Key_F7 : Qt::Key_F6);
        ASSERT_EQ(current(), id);
    }

    // Opens a menu of the menu bar by its access key and picks an entry by its own.
    void fromMenu(Qt::Key menuKey, Qt::Key entryKey)
    {
        press(menuKey, Qt::AltModifier);
        QWidget *menu = QApplication::activePopupWidget();
        ASSERT_NE(menu, nullptr) << "no menu opened";
        QTest::keyClick(menu, entryKey);
    }

    static void typeInto(QWidget *field, const QString &text)
    {
        field->setFocus();
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(field, text);
    }
    // The contact picker takes the first contact its search finds.
    static std::function<void(ContactPickerDialog &)> pickContact(const QString &search)
    {
        return [search](ContactPickerDialog &picker) {
            QTest::keyClicks(picker.searchField(), search);
            QTest::keyClick(picker.searchField(), Qt::Key_Return);
        };
    }
    // The new-item dialog as offered: linked to the current TimeCard.
    static void linkToTimeCard(frmNewItem &dialog)
    {
        EXPECT_TRUE(dialog.modeButton(LinkMode::TimeCard)->isChecked());
        QTest::keyClick(dialog.modeButton(LinkMode::TimeCard), Qt::Key_Return);
    }

    // A demo contact no other contact's name contains.
    struct Contact {
        qint32 id = 0;
        QString name;
        QString account;
    };
    Contact distinctContact()
    {
        QSqlQuery q(link().database());
        EXPECT_TRUE(q.exec("SELECT a.ContactID, a.ContactName, a.ContactAccount FROM tblContacts "
                           "a WHERE a.Active <> 0 AND NOT EXISTS (SELECT 1 FROM tblContacts b "
                           "WHERE b.ContactID <> a.ContactID AND instr(lower(b.ContactName), "
                           "lower(a.ContactName)) > 0) ORDER BY a.ContactID LIMIT 1") &&
                    q.next());
        return {q.value(0).toInt(), q.value(1).toString(), q.value(2).toString()};
    }

    // Ctrl+T with the subject typed into the task's editor and saved with Ctrl+S.
    void newTask(const QString &subject)
    {
        test::ModalScript script;
        script.then<frmNewItem>(linkToTimeCard)
            .then<ItemEditorDialog>([&](ItemEditorDialog &editor) {
                QWidget *field = editor.control(QStringLiteral("Subject"))->input();
                typeInto(field, subject);
                QTest::keyClick(field, Qt::Key_S, Qt::ControlModifier);
            });
        press(Qt::Key_T, Qt::ControlModifier);
    }
};

} // namespace

// F11 itself (row defaults, one more journal entry) is MainWindowTest's
// F11AddsATimeCardWithItsDefaultsAndF12DeletesItWithItsJournalEntry.
TEST_F(TourTest, F11ShowsTheNewTimeCardAndItsJournalEntryNamesIt)
{
    const int count = startUp->workingSet().timeCards().recordCount();
    const auto before = test::itemFiles(folder(FolderSlot::Journal));
    press(Qt::Key_F11);
    const QVariant id = current();
    EXPECT_EQ(window().positionText(), QStringLiteral("%1 of %1").arg(count + 1));
    EXPECT_EQ(field<QLabel>("txtTimeCardID")->text(), id.toString());
    EXPECT_TRUE(field<QPlainTextEdit>("txtDescription")->toPlainText().isEmpty());
    EXPECT_EQ(field<QLineEdit>("txtTimeSpent")->text(), QStringLiteral("000:00:00"));
    // The entry is the one file that appeared, a journal entry made now.
    const QString file = test::newItemFile(folder(FolderSlot::Journal), before);
    const auto entry = test::readIcs(file);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->kind, ICAL_VJOURNAL_COMPONENT);
    EXPECT_EQ(entry->start, clock.now().addMSecs(-clock.now().time().msec()));
    EXPECT_EQ(entry->text("X-QUORVALE-QUORVALE-STAFF"), QStringLiteral("Ann O'Hara"));

    // Once left it mirrors the TimeCard it belongs to.
    QTest::keyClicks(field<QPlainTextEdit>("txtDescription"), QStringLiteral("Lease review"));
    ASSERT_NO_FATAL_FAILURE(storeByMoving());
    EXPECT_EQ(stored(id, "Description").toString(), QStringLiteral("Lease review"));
    const auto mirrored = test::readIcs(file);
    ASSERT_TRUE(mirrored);
    EXPECT_EQ(mirrored->text("X-QUORVALE-TIMECARDID"), id.toString());
    EXPECT_EQ(mirrored->text("X-QUORVALE-TIME-SPENT"), QStringLiteral("000:00:00"));
}

TEST_F(TourTest, SelectContactFromTheTimeCardsMenuSetsTheClient)
{
    press(Qt::Key_F11);
    const QVariant id = current();
    const Contact client = distinctContact();
    const QString &name = client.name;
    test::ModalScript script;
    script.then<ContactPickerDialog>(pickContact(name));
    ASSERT_NO_FATAL_FAILURE(fromMenu(Qt::Key_C, Qt::Key_N)); // TimeCards › Select Contact
    EXPECT_EQ(script.seen(), QStringList{QStringLiteral("Select Client")});
    EXPECT_EQ(field<QLineEdit>("txtContact")->text(), name);

    ASSERT_NO_FATAL_FAILURE(storeByMoving());
    EXPECT_EQ(stored(id, "ContactID").toInt(), client.id);
    EXPECT_EQ(field<QLineEdit>("txtContact")->text(), name);
    // The demo's contacts have no address-book card: the entry carries the account.
    const auto entry = journalEntry(id);
    ASSERT_TRUE(entry);
    ASSERT_FALSE(client.account.isEmpty());
    EXPECT_EQ(entry->text("X-QUORVALE-BILLINGINFORMATION"), client.account);
}

TEST_F(TourTest, AltDigitsReachTheActivityListsAndTheArrowChoosesFromThem)
{
    press(Qt::Key_F11);
    const QVariant id = current();
    auto *service = field<QComboBox>("cbActivity1");
    auto *project = field<QComboBox>("cbActivity2");
    press(Qt::Key_1, Qt::AltModifier);
    ASSERT_EQ(QApplication::focusWidget(), service);
    press(Qt::Key_Down);
    press(Qt::Key_2, Qt::AltModifier);
    ASSERT_EQ(QApplication::focusWidget(), project);
    press(Qt::Key_Down);
    const int serviceId = service->currentData().toInt();
    const int projectId = project->currentData().toInt();
    ASSERT_NE(serviceId, 0);
    ASSERT_NE(projectId, 0);
    const QString serviceShown = service->currentText();
    const QString projectShown = project->currentText();

    ASSERT_NO_FATAL_FAILURE(storeByMoving());
    EXPECT_EQ(stored(id, "Activity1ID").toInt(), serviceId);
    EXPECT_EQ(stored(id, "Activity2ID").toInt(), projectId);
    EXPECT_EQ(service->currentText(), serviceShown);
    EXPECT_EQ(project->currentText(), projectShown);
    // The journal entry names them as the activity lists of the database do.
    const auto entry = journalEntry(id);
    ASSERT_TRUE(entry);
    EXPECT_EQ(
        entry->text("X-QUORVALE-SERVICE"),
        link()
            .scalar("SELECT ActivityName FROM tblMainActivities WHERE ActivityID = ?", {serviceId})
            .toString());
    EXPECT_EQ(
        entry->text("X-QUORVALE-PROJECT"),
        link()
            .scalar("SELECT ActivityName FROM tblSubActivities WHERE ActivityID = ?", {projectId})
            .toString());
}

// The run counted and Ctrl+F3 are MainWindowTest's
// F3TimesTheTimeCardAndRecordsTheRunCtrlF3DiscardsIt; here, the appointment itself.
TEST_F(TourTest, F3RunBecomesATimeDetailAppointmentWithTheSegmentNote)
{
    press(Qt::Key_F11);
    const QVariant id = current();
    const QString calendar = folder(FolderSlot::TimeCardAppointments);
    const auto before = test::itemFiles(calendar);
    const QDateTime started = clock.now();
    press(Qt::Key_F3);
    press(Qt::Key_G, Qt::AltModifier); // Time Segment
    ASSERT_EQ(QApplication::focusWidget(), field<QPlainTextEdit>("txtTimeSegment"));
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Called the registrar"));
    clock.advance(25 * 60 + 7);
    press(Qt::Key_F3);
    EXPECT_EQ(field<QLineEdit>("txtTimeSpent")->text(), QStringLiteral("000:25:07"));

    const QString file = test::newItemFile(calendar, before);
    const auto appointment = test::readIcs(file);
    ASSERT_TRUE(appointment);
    EXPECT_EQ(appointment->kind, ICAL_VEVENT_COMPONENT);
    EXPECT_EQ(appointment->text("SUMMARY"), QStringLiteral("Called the registrar"));
    EXPECT_EQ(appointment->text("X-QUORVALE-TIMECARDID"), id.toString());
    EXPECT_EQ(appointment->start.secsTo(appointment->end), 25 * 60 + 7);
    EXPECT_EQ(appointment->start.toSecsSinceEpoch(), started.toSecsSinceEpoch());
    // The Time Detail link names that file's item.
    const QString entryId =
        link()
            .scalar("SELECT EntryID FROM tblTimedAppointments WHERE TimeCardID = ?", {id})
            .toString();
    const auto linked = startUp->outlook().nameSpace().itemFromId(entryId, {});
    ASSERT_NE(linked, nullptr);
    EXPECT_EQ(QFileInfo(linked->filePath()), QFileInfo(file));

    ASSERT_NO_FATAL_FAILURE(storeByMoving());
    EXPECT_EQ(stored(id, "Quantity").toString(), QStringLiteral("0002507"));
}

// The paste's time in the editor is MainWindowTest's
// F4TimesAnInterruptionThatPastesToANewTimeCard, its note's next run
// ARunsNoteGoesToItsTimeDetailAndAnInterruptionsToTheTimeCardItIsPastedTo.
TEST_F(TourTest, F4InterruptionPastedToANewTimeCardIsStoredAndTheInterruptedRunKept)
{
    const QVariant interrupted = current();
    QString spent = stored(interrupted, "Quantity").toString();
    const qint64 spentBefore = ConvertTimeToSeconds(spent);
    const int count = startUp->workingSet().timeCards().recordCount();
    press(Qt::Key_F3);
    clock.advance(300);
    press(Qt::Key_F4); // pauses the run and times the interruption
    frmInterruptTimer &interrupt = host->interruptTimerWindow();
    ASSERT_TRUE(interrupt.isVisible());
    QTest::keyClicks(interrupt.note(), QStringLiteral("Courier at the door"));
    clock.advance(754);
    // TimeCards › Interrupt Timer › Paste to New TimeCard.
    ASSERT_NO_FATAL_FAILURE(fromMenu(Qt::Key_C, Qt::Key_I));
    QWidget *submenu = QApplication::activePopupWidget();
    ASSERT_NE(submenu, nullptr);
    auto *menu = qobject_cast<QMenu *>(submenu);
    ASSERT_NE(menu, nullptr);
    const QAction *paste = window().toolById(ToolId::PasteToNewTimeCard);
    for (qsizetype i = 0; i < menu->actions().size() && menu->activeAction() != paste; ++i)
        QTest::keyClick(menu, Qt::Key_Down);
    ASSERT_EQ(menu->activeAction(), paste);
    QTest::keyClick(menu, Qt::Key_Return);
    // The interrupt timer is back at rest, ready for the next one.
    EXPECT_EQ(interrupt.display()->text(), QStringLiteral(" 000:00:00"));
    EXPECT_TRUE(interrupt.note()->toPlainText().isEmpty());

    const QVariant pasted = current();
    ASSERT_NE(pasted, interrupted);
    EXPECT_EQ(startUp->workingSet().timeCards().recordCount(), count + 1);
    EXPECT_EQ(field<QLineEdit>("txtTimeSpent")->text(), QStringLiteral("000:12:34"));
    EXPECT_EQ(field<QPlainTextEdit>("txtTimeSegment")->toPlainText(),
              QStringLiteral("Courier at the door"));
    ASSERT_NO_FATAL_FAILURE(storeByMoving());
    EXPECT_EQ(stored(pasted, "Quantity").toString(), QStringLiteral("0001234"));
    EXPECT_EQ(stored(interrupted, "Quantity").toString(), ConvertSecondsToTime(spentBefore + 300));
}

// The list dialog's own narrowing is WindowCommandsTest's
// TimeCardListDialog.TypingNarrowsTheListAndEnterChoosesTheTimeCard.
TEST_F(TourTest, CtrlKListsTheTimeCardsAndEnterGoesToTheOneFound)
{
    // Two demo TimeCards, each found by the words of its description alone.
    struct Found {
        QVariant id;
        QString description;
        QString spent;
    };
    std::vector<Found> found;
    QSqlQuery q(link().database());
    q.prepare("SELECT t.TimeCardID, t.Description, t.Quantity FROM tblTimeCards t WHERE "
              "t.UserID = ? AND t.InvoiceID IS NULL AND t.Inactive = 0 AND length(t.Description) "
              "> 12 AND (SELECT COUNT(*) FROM tblTimeCards u WHERE instr(u.Description, "
              "t.Description) > 0) = 1 ORDER BY t.TimeCardID DESC LIMIT 2");
    q.addBindValue(userId());
    ASSERT_TRUE(q.exec());
    while (q.next())
        found.push_back({q.value(0), q.value(1).toString(), q.value(2).toString()});
    ASSERT_EQ(found.size(), 2u);
    const auto chooseByDescription = [this](const QString &description,
                                            QVariant *highlighted = nullptr) {
        test::ModalScript script;
        script.then<TimeCardListDialog>([&](TimeCardListDialog &list) {
            if (highlighted)
                *highlighted = list.table()->currentIndex().siblingAtColumn(0).data();
            QTest::keyClicks(list.findField(), description);
            EXPECT_EQ(list.table()->model()->rowCount(), 1);
            QTest::keyClick(list.findField(), Qt::Key_Return);
        });
        press(Qt::Key_K, Qt::ControlModifier);
    };

    chooseByDescription(found[0].description);
    const QVariant target = found[0].id;
    ASSERT_EQ(current().toLongLong(), target.toLongLong());
    EXPECT_EQ(field<QPlainTextEdit>("txtDescription")->toPlainText(), found[0].description);
    EXPECT_EQ(field<QLabel>("txtTimeCardID")->text(), target.toString());
    // Arriving wrote the TimeCard's journal entry, which the demo left out: it
    // mirrors this TimeCard.
    const auto entry = journalEntry(target);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->text("X-QUORVALE-TIMECARDID"), target.toString());
    EXPECT_NE(entry->text("SUMMARY"), QStringLiteral("New Quorvale TimeCard"));
    EXPECT_EQ(entry->text("X-QUORVALE-TIME-SPENT"),
              QString(found[0].spent).insert(3, ':').insert(6, ':'));

    // From a TimeCard just made, the list opens on it and goes to the one found.
    press(Qt::Key_F11);
    const QVariant made = current();
    QVariant highlighted;
    chooseByDescription(found[1].description, &highlighted);
    EXPECT_EQ(highlighted.toLongLong(), made.toLongLong());
    EXPECT_EQ(current().toLongLong(), found[1].id.toLongLong());
    EXPECT_EQ(field<QPlainTextEdit>("txtDescription")->toPlainText(), found[1].description);
}

namespace {

// The filter window's bill status set to `status`, applied with its button.
std::function<void(frmFilter &)> filterOnBillStatus(const QString &status)
{
    return [status](frmFilter &filter) {
        auto *bill = filter.findChild<QComboBox *>(QStringLiteral("cboBillStatus"));
        bill->setFocus();
        bill->setCurrentIndex(bill->findText(status));
        QTest::mouseClick(filter.applyButton(), Qt::LeftButton);
    };
}

} // namespace

// The filter's criteria and SQL are frmFilterTest's; here the key on the window.
TEST_F(TourTest, CtrlFNarrowsTheTimeCardsToTheFilterAndAgainShowsThemAll)
{
    const int all = startUp->workingSet().timeCards().recordCount();
    const int noCharge =
        link()
            .scalar("SELECT COUNT(*) FROM tblTimeCards WHERE UserID = ? AND InvoiceID IS NULL "
                    "AND Inactive = 0 AND BillStatus = 'No Charge'",
                    {userId()})
            .toInt();
    ASSERT_GT(noCharge, 1);
    ASSERT_LT(noCharge, all);
    {
        test::ModalScript script;
        script.then<frmFilter>(filterOnBillStatus(QStringLiteral("No Charge")));
        press(Qt::Key_F, Qt::ControlModifier);
    }
    EXPECT_EQ(window().positionText().section(QLatin1Char(' '), 2), QString::number(noCharge));
    EXPECT_EQ(field<QComboBox>("cbBillStatus")->currentText(), QStringLiteral("No Charge"));
    press(Qt::Key_F8);
    EXPECT_EQ(stored(current(), "BillStatus").toString(), QStringLiteral("No Charge"));
    EXPECT_EQ(tool("mnuFilter")->text(), QStringLiteral("Turn &Filter Off"));

    press(Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(window().positionText().section(QLatin1Char(' '), 2), QString::number(all));
}

// The mass edit window's fields and linked items are frmMassEditTest's; here
// the menu route and a filtered set.
TEST_F(TourTest, MassEditFromTheEditMenuChangesOnlyTheFilteredTimeCards)
{
    {
        test::ModalScript script;
        script.then<frmFilter>(filterOnBillStatus(QStringLiteral("No Charge")));
        press(Qt::Key_F, Qt::ControlModifier);
    }
    const int shown = startUp->workingSet().timeCards().recordCount();
    const QString category = QStringLiteral("Pro bono \"review\"");
    prompts.answer(PromptResult::Yes); // apply to that many
    test::ModalScript script;
    script.then<frmMassEdit>([&category](frmMassEdit &edit) {
        auto *field = edit.findChild<QLineEdit *>(QStringLiteral("txtCategory"));
        typeInto(field, category);
        QTest::mouseClick(edit.findChild<QPushButton *>(QStringLiteral("cmdApply")),
                          Qt::LeftButton);
    });
    // Ctrl+Z is Undo inside the text fields; the menu always reaches it.
    ASSERT_NO_FATAL_FAILURE(fromMenu(Qt::Key_E, Qt::Key_M)); // Edit › Mass Edit
    EXPECT_EQ(script.seen(), QStringList{QStringLiteral("Quorvale Mass Edit")});
    EXPECT_EQ(
        prompts.messages().last().text,
        QStringLiteral("Are you sure you want to apply this change to %1 records?").arg(shown));

    const auto count = [this](const char *where) {
        return link()
            .scalar(QStringLiteral("SELECT COUNT(*) FROM tblTimeCards WHERE UserID = ? AND "
                                   "InvoiceID IS NULL AND Inactive = 0 AND %1")
                        .arg(QLatin1String(where)),
                    {userId()})
            .toInt();
    };
    EXPECT_EQ(count("BillStatus = 'No Charge' AND Category = 'Pro bono \"review\"'"), shown);
    EXPECT_EQ(count("BillStatus <> 'No Charge' AND Category = 'Pro bono \"review\"'"), 0);
    EXPECT_EQ(field<QLineEdit>("txtCategory")->text(), category);
    const auto entry = journalEntry(current());
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->text("CATEGORIES"), category);
    EXPECT_EQ(prompts.unusedAnswers(), 0u);
}

// The dialog's editing and the insert at the caret are frmAbbreviationsTest's;
// here the keys of the main window.
TEST_F(TourTest, CtrlWAddsAnAbbreviationAndCtrlUInsertsItIntoTheDescription)
{
    press(Qt::Key_F11);
    const QVariant id = current();
    press(Qt::Key_R, Qt::AltModifier); // Description
    auto *description = field<QPlainTextEdit>("txtDescription");
    ASSERT_EQ(QApplication::focusWidget(), description);
    QTest::keyClicks(description, QStringLiteral("Phoned: "));

    test::ModalScript script;
    script.then<frmAbbreviations>([](frmAbbreviations &dialog) {
        const auto click = [&dialog](const char *text) {
            for (QPushButton *button : dialog.findChildren<QPushButton *>())
                if (button->text() == QLatin1String(text))
                    QTest::mouseClick(button, Qt::LeftButton);
        };
        QTest::keyClicks(dialog.nameField(), QStringLiteral("lm"));
        click("A&dd"); // offers the text field for its text
        QTest::keyClicks(dialog.textField(), QStringLiteral("left a message"));
        click("OK");
    });
    press(Qt::Key_W, Qt::ControlModifier);
    EXPECT_EQ(startUp->store()
                  .cnnLocal()
                  .scalar("SELECT Text FROM tblAbbreviations WHERE Abbreviation = 'lm'")
                  .toString(),
              QStringLiteral("left a message"));

    // Alt+V goes to the list, typing chooses, Ctrl+U inserts at the caret.
    AbbreviationList &list = host->abbreviationCommands().list();
    press(Qt::Key_V, Qt::AltModifier);
    EXPECT_EQ(QApplication::focusWidget(), &list)
        << "Alt+V went to " << QApplication::focusWidget()->objectName().toStdString();
    QTest::keyClicks(&list, QStringLiteral("lm"));
    ASSERT_EQ(list.currentText(), QStringLiteral("lm"));
    press(Qt::Key_U, Qt::ControlModifier);
    EXPECT_EQ(description->toPlainText(), QStringLiteral("Phoned: left a message"));
    ASSERT_NO_FATAL_FAILURE(storeByMoving());
    EXPECT_EQ(stored(id, "Description").toString(), QStringLiteral("Phoned: left a message"));
}

// The expense window's own fields are frmExpensesTest's; here Ctrl+E through
// the new-item dialog to the row linked to the TimeCard.
TEST_F(TourTest, CtrlERecordsAnExpenseLinkedToTheTimeCard)
{
    const QVariant id = current();
    QSqlQuery q(link().database());
    ASSERT_TRUE(q.exec("SELECT ExpenseCodeID, ExpenseRate FROM tblExpenseCodes WHERE Active <> 0 "
                       "AND ExpenseRate > 0 ORDER BY ExpenseCodeID LIMIT 1") &&
                q.next());
    const int code = q.value(0).toInt();
    const Money rate = Money::fromStored(q.value(1));
    const int before =
        link().scalar("SELECT COUNT(*) FROM tblExpenses WHERE TimeCardID = ?", {id}).toInt();
    test::ModalScript script;
    script.then<frmNewItem>(linkToTimeCard).then<frmExpenses>([code](frmExpenses &expense) {
        expense.typeList()->setFocus();
        expense.typeList()->setCurrentIndex(expense.typeList()->findData(code));
        typeInto(expense.purposeField(), QStringLiteral("Site visit"));
        typeInto(expense.locationField(), QStringLiteral("Harbour Inn"));
        typeInto(expense.quantityField(), QStringLiteral("3"));
        QTest::keyClick(expense.quantityField(), Qt::Key_Tab);
        ASSERT_TRUE(expense.saveExitButton()->isEnabled());
        QTest::mouseClick(expense.saveExitButton(), Qt::LeftButton);
    });
    press(Qt::Key_E, Qt::ControlModifier);
    EXPECT_EQ(script.seen(), (QStringList{QStringLiteral(" New Expense"),
                                          QStringLiteral("Quorvale: Add New Linked Expense")}));

    ASSERT_TRUE(q.exec(QStringLiteral("SELECT ExpenseCodeID, Quantity, Amount, ContactID, UserID "
                                      "FROM tblExpenses WHERE TimeCardID = %1 ORDER BY ExpenseID "
                                      "DESC")
                           .arg(id.toLongLong())) &&
                q.next());
    EXPECT_EQ(link().scalar("SELECT COUNT(*) FROM tblExpenses WHERE TimeCardID = ?", {id}).toInt(),
              before + 1);
    EXPECT_EQ(q.value(0).toInt(), code);
    EXPECT_EQ(q.value(1).toInt(), 3);
    EXPECT_EQ(Money::fromStored(q.value(2)), rate + rate + rate);
    EXPECT_EQ(q.value(3), stored(id, "ContactID"));
    EXPECT_EQ(q.value(4).toInt(), userId());
}

// The payment window's own fields are frmPaymentsTest's; here Ctrl+P on the window.
TEST_F(TourTest, CtrlPRecordsAPaymentFromTheChosenClient)
{
    const Contact client = distinctContact();
    const qint32 contactId = client.id;
    const QString &name = client.name;
    const int before =
        link().scalar("SELECT COUNT(*) FROM tblPayments WHERE ContactID = ?", {contactId}).toInt();
    bool onAccount = false;
    test::ModalScript script;
    script
        .then<frmPayments>([&](frmPayments &payment) {
            QTest::mouseClick(payment.selectContactButton(), Qt::LeftButton);
            EXPECT_EQ(payment.contactField()->text(), name);
            payment.methodList()->setFocus();
            payment.methodList()->setCurrentIndex(payment.methodList()->findText("Cheque"));
            onAccount = payment.onAccountOption()->isChecked();
            typeInto(payment.amountField(), QStringLiteral("125"));
            ASSERT_TRUE(payment.saveExitButton()->isEnabled());
            QTest::mouseClick(payment.saveExitButton(), Qt::LeftButton);
        })
        .then<ContactPickerDialog>(pickContact(name));
    press(Qt::Key_P, Qt::ControlModifier);

    EXPECT_EQ(
        link().scalar("SELECT COUNT(*) FROM tblPayments WHERE ContactID = ?", {contactId}).toInt(),
        before + 1);
    QSqlQuery q(link().database());
    ASSERT_TRUE(q.exec(QStringLiteral("SELECT PaymentAmount, UserID FROM tblPayments WHERE "
                                      "ContactID = %1 ORDER BY PaymentID DESC")
                           .arg(contactId)) &&
                q.next());
    // On account a payment is a credit: it lowers what the client owes.
    ASSERT_TRUE(onAccount);
    EXPECT_EQ(Money::fromStored(q.value(0)), Money::fromWhole(-125));
    EXPECT_EQ(q.value(1).toInt(), userId());
}

// Other new items through the menu are NewItemCommandsTest's; here Ctrl+T and
// the task file.
TEST_F(TourTest, CtrlTMakesATaskLinkedToTheTimeCard)
{
    const QVariant id = current();
    const QString tasks = folder(FolderSlot::Tasks);
    const auto before = test::itemFiles(tasks);
    ASSERT_NO_FATAL_FAILURE(newTask(QStringLiteral("Send the engagement letter")));

    const QString file = test::newItemFile(tasks, before);
    const auto task = test::readIcs(file);
    ASSERT_TRUE(task);
    EXPECT_EQ(task->kind, ICAL_VTODO_COMPONENT);
    EXPECT_EQ(task->text("SUMMARY"), QStringLiteral("Send the engagement letter"));
    EXPECT_EQ(task->text("X-QUORVALE-TIMECARDID"), id.toString());
    const QString entryId =
        link().scalar("SELECT EntryID FROM tblTasks WHERE TimeCardID = ?", {id}).toString();
    const auto linked = startUp->outlook().nameSpace().itemFromId(entryId, {});
    ASSERT_NE(linked, nullptr);
    EXPECT_EQ(QFileInfo(linked->filePath()), QFileInfo(file));
}

// Linking existing tasks is LinksPanelTest's
// LinksOnMainWindow.ChosenExistingTasksAreLinkedOnceAndTheListFollowsTheTimeCard.
TEST_F(TourTest, TheLinksTabListsTheNewTaskUnderPersonalTasks)
{
    ASSERT_NO_FATAL_FAILURE(newTask(QStringLiteral("Book the venue")));
    press(Qt::Key_K, Qt::AltModifier); // Lin&ks
    auto *panel = window().findChild<LinksPanel *>(QStringLiteral("LinksPanel"));
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(window().fields().currentWidget(), panel);
    press(Qt::Key_S, Qt::AltModifier); // Select items to view
    ASSERT_EQ(QApplication::focusWidget(), panel->selector());
    QTest::keyClicks(panel->selector(), QStringLiteral("Personal"));
    EXPECT_EQ(panel->selector()->currentText(), QStringLiteral("Personal Tasks"));
    ASSERT_EQ(panel->grid()->model()->rowCount(), 1);
    EXPECT_EQ(panel->grid()->model()->index(0, 1).data().toString(),
              QStringLiteral("Book the venue"));
}

// Closing and starting again on the same directory: the TimeCard comes back
// current, with what was typed and timed. The sort and window size kept are
// MainWindowTest's MovesSortsAndSavesWhatItLeavesBehind.
TEST_F(TourTest, AfterQuitAndRestartTheTimeCardAndItsTimeAreThere)
{
    press(Qt::Key_F11);
    const QVariant id = current();
    press(Qt::Key_R, Qt::AltModifier);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("Annual return"));
    press(Qt::Key_P, Qt::AltModifier); // Time Spent
    ASSERT_EQ(QApplication::focusWidget(), field<QLineEdit>("txtTimeSpent"));
    // The access key selects the whole time: typing replaces it.
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("1:30:00"));
    press(Qt::Key_Tab);
    QCoreApplication::processEvents();
    press(Qt::Key_F3);
    clock.advance(600);
    press(Qt::Key_F3);
    prompts.answer(PromptResult::Yes);     // "Save Changes": keep what was typed
    press(Qt::Key_Q, Qt::ControlModifier); // File › Exit
    EXPECT_EQ(prompts.messages().last().title, QStringLiteral("Save Changes"));
    EXPECT_FALSE(window().isVisible());
    host.reset();
    startUp.reset();
    EXPECT_EQ(endedWith, 0);

    ASSERT_NO_FATAL_FAILURE(open());
    EXPECT_EQ(current(), id);
    EXPECT_EQ(field<QPlainTextEdit>("txtDescription")->toPlainText(),
              QStringLiteral("Annual return"));
    EXPECT_EQ(field<QLineEdit>("txtTimeSpent")->text(), QStringLiteral("001:40:00"));
    EXPECT_EQ(stored(id, "Quantity").toString(), QStringLiteral("0014000"));
    const auto entry = journalEntry(id);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->text("X-QUORVALE-TIME-SPENT"), QStringLiteral("001:40:00"));
}
