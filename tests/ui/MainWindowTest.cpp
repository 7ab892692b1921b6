// The real main window, offscreen, on a demo database: moving, sorting, showing
// hidden TimeCards from the keyboard and the menus, and what closing saves.

#include "MainWindowFixture.h"
#include "data/WorkingSet.h"
#include "platform/core/Money.h"
#include "platform/pim/ContactItem.h"
#include "platform/pim/Item.h"
#include "platform/pim/Items.h"
#include "platform/pim/Namespace.h"
#include "platform/pim/TaskItem.h"
#include "platform/registry/Registry.h"
#include "platform/registry/RegistryKey.h"
#include "qvadmin/InitCommand.h"
#include "session/TimerBinding.h"
#include "settings/StartUp.h"
#include "support/ErrorHandler.h"
#include "support/ErrorReport.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/ScriptedPrompts.h"
#include "testsupport/TempDir.h"
#include "timecards/Clock.h"
#include "timecards/CommandTable.h"
#include "timecards/TimeAdjust.h"
#include "timecards/TimeCalcs.h"
#include "timecards/TimeCardDelete.h"
#include "timecards/TimeCardEditor.h"
#include "timecards/TimeCardList.h"
#include "ui/ItemEditorDialog.h"
#include "ui/MainWindowHost.h"
#include "ui/TimeCardListDialog.h"
#include "ui/TimerTray.h"
#include "ui/ViewCommands.h"
#include "ui/frmInterruptTimer.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSet>
#include <QSqlQuery>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimeEdit>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>

using namespace quorvale;

namespace {

class MainWindowTest : public test::MainWindowFixture {
protected:
    void SetUp() override { makeDemo(QStringLiteral("Dana O'Neil")); }
};

} // namespace

TEST_F(MainWindowTest, MovesSortsAndSavesWhatItLeavesBehind)
{
    open();
    EXPECT_EQ(window().windowTitle(), QStringLiteral(" Quorvale:  Dana O'Neil"));
    const int count = startUp->workingSet().timeCards().recordCount();
    ASSERT_GT(count, 3);
    EXPECT_EQ(window().positionText(), QStringLiteral("1 of %1").arg(count));

    // F7 is Next, F8 Last, F6 Previous: the shortcuts live on the window.
    QTest::keyClick(&window(), Qt::Key_F7);
    EXPECT_EQ(window().positionText(), QStringLiteral("2 of %1").arg(count));
    QTest::keyClick(&window(), Qt::Key_F8);
    QTest::keyClick(&window(), Qt::Key_F6);
    EXPECT_EQ(window().positionText(), QStringLiteral("%1 of %2").arg(count - 1).arg(count));
    const QVariant before = current();

    // A sort from the menu keeps the same TimeCard and checks its tool alone.
    tool("mnuStartDateDESC")->trigger();
    EXPECT_EQ(current(), before);
    EXPECT_TRUE(tool("mnuStartDateDESC")->isChecked());
    EXPECT_FALSE(tool("mnuDateCreatedASC")->isChecked());
    const QLabel *id = window().findChild<QLabel *>(QStringLiteral("txtTimeCardID"));
    ASSERT_NE(id, nullptr);
    EXPECT_EQ(id->text(), before.toString());

    // The administrator's terms name the term-bearing sort tools.
    EXPECT_EQ(tool("mnuContactASC")->text(), QStringLiteral("Client ID"));
    EXPECT_EQ(tool("mnuActivity1DESC")->text(), QStringLiteral("Service ID"));

    // Hidden TimeCards join the set and leave it again.
    QTest::keyClick(&window(), Qt::Key_F12, Qt::ControlModifier);
    EXPECT_TRUE(tool("mnuViewActiveTimeCards")->isChecked());
    const int withHidden = startUp->workingSet().timeCards().recordCount();
    EXPECT_GT(withHidden, count);
    EXPECT_EQ(current(), before);

    window().resize(700, 500);
    close();
    Registry saved(settingsFile);
    RegistryKey settings = saved.openSubKey(QStringLiteral("Settings"));
    EXPECT_EQ(settings.readText(QStringLiteral("Default Sort")),
              QStringLiteral(" ORDER BY tblTimeCards.StartDate DESC"));
    EXPECT_EQ(settings.readInt(QStringLiteral("Show Hidden TimeCards"), 0), 1);
    EXPECT_EQ(settings.readText(QStringLiteral("Last Record")), before.toString());
    EXPECT_EQ(settings.readInt(QStringLiteral("Form Width"), 0), pixelsToTwips(700, 96));
    EXPECT_EQ(endedWith, 0);

    // The next start finds the window, the sort and the TimeCard as they were left.
    open();
    EXPECT_EQ(window().size(), QSize(700, 500));
    EXPECT_TRUE(tool("mnuStartDateDESC")->isChecked());
    EXPECT_EQ(current(), before);
    EXPECT_EQ(startUp->workingSet().timeCards().recordCount(), withHidden);
    close();
}

TEST_F(MainWindowTest, EveryFieldHasALabelAndEveryToolAnIdOfTheCommandTable)
{
    open();
    int fields = 0;
    const auto *tabs = window().findChild<QTabWidget *>(QStringLiteral("TimeCardFields"));
    ASSERT_NE(tabs, nullptr);
    ASSERT_EQ(tabs->count(), 5); // the four pages of fields and the links
    for (const char *name : {"pageWork", "pageDetails", "pageDates", "pageBilling"}) {
        const auto *page = tabs->findChild<QWidget *>(QLatin1String(name));
        ASSERT_NE(page, nullptr) << name;
        QList<QWidget *> widgets =
            page->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
        for (qsizetype i = 0; i < widgets.size(); ++i) {
            QWidget *w = widgets[i];
            if (qobject_cast<QLabel *>(w) && !w->objectName().startsWith(QLatin1String("txt")))
                continue;
            if (w->metaObject() == &QWidget::staticMetaObject) { // a row of several fields
                widgets << w->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly);
                continue;
            }
            ++fields;
            EXPECT_TRUE(!w->accessibleName().isEmpty() || qobject_cast<QCheckBox *>(w))
                << w->objectName().toStdString();
            EXPECT_NE(w->focusPolicy(), Qt::NoFocus) << w->objectName().toStdString();
        }
    }
    for (int i = 0; i < tabs->count(); ++i)
        EXPECT_TRUE(tabs->tabText(i).contains(QLatin1Char('&'))) << i;
    EXPECT_EQ(fields, 26); // with the billed time and value

    // A TimeCard without an end date shows none, not the one shown before.
    const QVariant first = current();
    QTest::keyClick(&window(), Qt::Key_F7);
    QSqlQuery(startUp->store().cnnLink().database())
        .exec(QStringLiteral("UPDATE tblTimeCards SET EndDate = NULL WHERE TimeCardID = %1")
                  .arg(first.toLongLong()));
    QTest::keyClick(&window(), Qt::Key_F6);
    EXPECT_EQ(field<QDateEdit>("dtEndDate")->text(), QStringLiteral(" "));
    for (QAction *action : window().menuBar()->actions())
        EXPECT_TRUE(action->text().contains(QLatin1Char('&'))) << action->text().toStdString();
    for (const ToolInfo &info : CommandTable::tools()) {
        QAction *action = window().toolById(info.id);
        ASSERT_NE(action, nullptr) << info.name;
        EXPECT_EQ(action->objectName(), QLatin1String(info.name));
    }
    close();
}

TEST_F(MainWindowTest, ACommandReconnectsAnItemStoreThatWentAway)
{
    open();
    const QString items = tmp.filePath(QStringLiteral("items"));
    ASSERT_TRUE(QDir(items).removeRecursively());
    QTest::keyClick(&window(), Qt::Key_F7);
    // The command ran after the store was made again.
    EXPECT_TRUE(QDir(items).exists());
    EXPECT_TRUE(window().positionText().startsWith(QStringLiteral("2 of ")));
    EXPECT_EQ(endedWith, 0);
    close();
}

TEST_F(MainWindowTest, AnEditIsStoredOnLeavingAndAnInvalidOneHoldsTheTimeCard)
{
    Registry(settingsFile)
        .openSubKey(QStringLiteral("Settings\\Validation"))
        .writeInt(QStringLiteral("End Before Start"), 1);
    open();
    const QVariant first = current();
    field<QPlainTextEdit>("txtDescription")->setPlainText(QStringLiteral("Drafted the lease"));
    EXPECT_NE(stored(first, "Description").toString(), QStringLiteral("Drafted the lease"));
    QTest::keyClick(&window(), Qt::Key_F7);
    EXPECT_TRUE(window().positionText().startsWith(QStringLiteral("2 of ")));
    EXPECT_EQ(stored(first, "Description").toString(), QStringLiteral("Drafted the lease"));
    // The row points at the TimeCard's journal entry, rewritten with the edit.
    const QString entryId = stored(first, "JournalEntryID").toString();
    const auto item = startUp->outlook().nameSpace().itemFromId(
        entryId, startUp->outlook().folder(FolderSlot::Journal)->storeId());
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->userProperties().value(QStringLiteral("TimeCardID")).toString(),
              first.toString());
    QTest::keyClick(&window(), Qt::Key_F6);
    field<QPlainTextEdit>("txtDescription")->setPlainText(QStringLiteral("Lease signed"));
    prompts.answer(PromptResult::Yes); // "Save Changes"
    EXPECT_TRUE(window().close());
    EXPECT_EQ(stored(first, "Description").toString(), QStringLiteral("Lease signed"));
    host.reset();
    startUp.reset();
    open();
    QTest::keyClick(&window(), Qt::Key_F5);
    QTest::keyClick(&window(), Qt::Key_F7);

    const QVariant second = current();
    // Arriving at a TimeCard whose journal entry is gone writes it anew.
    EXPECT_NE(startUp->outlook().nameSpace().itemFromId(
                  stored(second, "JournalEntryID").toString(),
                  startUp->outlook().folder(FolderSlot::Journal)->storeId()),
              nullptr);
    const QVariant endDate = stored(second, "EndDate");
    QDateEdit *end = field<QDateEdit>("dtEndDate");
    end->setDate(field<QDateEdit>("dtStartDate")->date().addDays(-1));
    const auto asked = prompts.messages().size();
    QTest::keyClick(&window(), Qt::Key_F7);
    EXPECT_EQ(current(), second);
    ASSERT_EQ(prompts.messages().size(), asked + 1);
    EXPECT_EQ(prompts.messages().last().title, QStringLiteral(" Validation Error"));
    EXPECT_TRUE(prompts.messages().last().text.contains(
        QStringLiteral("Problem:\nEnd time before the start time.\n")));
    EXPECT_EQ(window().focusWidget(), field<QDateEdit>("dtStartDate"));
    EXPECT_EQ(stored(second, "EndDate"), endDate);
    // Closing and not saving drops the invalid edit; the stored TimeCard stays.
    prompts.answer(PromptResult::No); // "Save Changes"
    EXPECT_TRUE(window().close());
    EXPECT_EQ(prompts.messages().last().title, QStringLiteral("Save Changes"));
    EXPECT_EQ(stored(second, "EndDate"), endDate);
    EXPECT_TRUE(stored(second, "TimeCardID").isValid());
    host.reset();
    startUp.reset();
}

TEST_F(MainWindowTest, F11AddsATimeCardWithItsDefaultsAndF12DeletesItWithItsJournalEntry)
{
    open();
    const int count = startUp->workingSet().timeCards().recordCount();
    const QDir journal(tmp.filePath(QStringLiteral("items/Journal")));
    const auto entries = [&journal] { return journal.entryList(QDir::Files).size(); };
    const auto entriesBefore = entries();

    QTest::keyClick(&window(), Qt::Key_F11);
    EXPECT_EQ(startUp->workingSet().timeCards().recordCount(), count + 1);
    const QVariant id = current();
    ASSERT_TRUE(id.isValid());
    EXPECT_EQ(window().findChild<QLabel *>(QStringLiteral("txtTimeCardID"))->text(), id.toString());
    EXPECT_EQ(stored(id, "EntryType").toString(), QStringLiteral("Task"));
    EXPECT_EQ(stored(id, "Quantity").toString(), QStringLiteral("0000000"));
    EXPECT_EQ(stored(id, "StartDate").toDate(), QDate::currentDate());
    const QString journalEntry = stored(id, "JournalEntryID").toString();
    EXPECT_FALSE(journalEntry.isEmpty());
    EXPECT_EQ(entries(), entriesBefore + 1);

    prompts.answerDialog(true, {{QLatin1String(DeleteDialogKey::DeleteJournal), true}});
    QTest::keyClick(&window(), Qt::Key_F12);
    EXPECT_EQ(prompts.dialogs().last().name, QStringLiteral("frmDeleteTimeCard"));
    EXPECT_EQ(startUp->workingSet().timeCards().recordCount(), count);
    EXPECT_FALSE(stored(id, "TimeCardID").isValid());
    EXPECT_NE(current(), id);
    EXPECT_EQ(startUp->outlook().nameSpace().itemFromId(
                  journalEntry, startUp->outlook().folder(FolderSlot::Journal)->storeId()),
              nullptr);
    EXPECT_EQ(prompts.unusedAnswers(), 0u);
    close();
}

TEST_F(MainWindowTest, F3TimesTheTimeCardAndRecordsTheRunCtrlF3DiscardsIt)
{
    open();
    const QVariant id = current();
    QString before = stored(id, "Quantity").toString();
    const QString expected = ConvertSecondsToTime(ConvertTimeToSeconds(before) + 12307);
    const auto runs = [&] {
        QSqlQuery q(startUp->store().cnnLink().database());
        q.prepare(QStringLiteral("SELECT COUNT(*) FROM tblTimedAppointments WHERE TimeCardID = ?"));
        q.addBindValue(id);
        return q.exec() && q.next() ? q.value(0).toInt() : -1;
    };
    const int runsBefore = runs();

    QTest::keyClick(&window(), Qt::Key_F3);
    EXPECT_EQ(tool("mnuStartTimer")->text(), QStringLiteral("&Pause Timer"));
    EXPECT_TRUE(tool("mnuCancelTimer")->isEnabled());
    clock.advance(3 * 3600 + 25 * 60 + 7);
    QTest::keyClick(&window(), Qt::Key_F3);
    EXPECT_EQ(tool("mnuStartTimer")->text(), QStringLiteral("&Start Timer"));
    EXPECT_EQ(runs(), runsBefore + 1);
    QTest::keyClick(&window(), Qt::Key_F7);
    EXPECT_EQ(stored(id, "Quantity").toString(), expected);

    QTest::keyClick(&window(), Qt::Key_F6);
    QTest::keyClick(&window(), Qt::Key_F3);
    clock.advance(600);
    QTest::keyClick(&window(), Qt::Key_F3, Qt::ControlModifier);
    EXPECT_EQ(tool("mnuStartTimer")->text(), QStringLiteral("&Start Timer"));
    QTest::keyClick(&window(), Qt::Key_F7);
    EXPECT_EQ(stored(id, "Quantity").toString(), expected);
    EXPECT_EQ(runs(), runsBefore + 1);
    close();
}

TEST_F(MainWindowTest, ARunCutShortByACrashIsCountedAsChosenAtTheNextStart)
{
    open();
    const QVariant id = current();
    QString before = stored(id, "Quantity").toString();
    QTest::keyClick(&window(), Qt::Key_F3);
    clock.advance(3600);
    host.reset(); // killed: the window never closed
    startUp.reset();
    clock.advance(7200);
    prompts.answer(PromptResult::Yes); // up to now
    open();
    EXPECT_EQ(stored(id, "Quantity").toString(),
              ConvertSecondsToTime(ConvertTimeToSeconds(before) + 10800));
    EXPECT_EQ(prompts.unusedAnswers(), 0u);
    close();
    open(); // settled once only
    EXPECT_EQ(prompts.unusedAnswers(), 0u);
    close();
}

TEST_F(MainWindowTest, F9ReturnsToTheTimeCardWhoseTimerRuns)
{
    open();
    const QVariant id = current();
    QTest::keyClick(&window(), Qt::Key_F3);
    QTest::keyClick(&window(), Qt::Key_F7);
    ASSERT_NE(current(), id);
    QTest::keyClick(&window(), Qt::Key_F9);
    EXPECT_EQ(current(), id);
    close();
}

TEST_F(MainWindowTest, WithAutostartTimerANewTimeCardIsTimedAtOnce)
{
    Registry(settingsFile)
        .openSubKey(QStringLiteral("Settings"))
        .writeInt(QStringLiteral("Autostart Timer"), 1);
    open();
    QTest::keyClick(&window(), Qt::Key_F11);
    EXPECT_EQ(tool("mnuStartTimer")->text(), QStringLiteral("&Pause Timer"));
    close();
}

TEST_F(MainWindowTest, AddAndSubtractTimeWriteTheDialogsResultToTheFieldInUse)
{
    open();
    const QVariant id = current();
    prompts.answerDialog(true, {{QLatin1String(AdjustTimeResultKey), QStringLiteral("0012000")}});
    tool("mnuAddTime")->trigger();
    field<QLineEdit>("txtTimeEstimated")->setFocus();
    prompts.answerDialog(true, {{QLatin1String(AdjustTimeResultKey), QStringLiteral("0003000")}});
    tool("mnuSubtractTime")->trigger();
    ASSERT_EQ(prompts.dialogs().size(), 2u);
    EXPECT_EQ(prompts.dialogs()[1].valuesIn.value(QStringLiteral("Target")).toInt(), 0);
    QTest::keyClick(&window(), Qt::Key_F7);
    EXPECT_EQ(stored(id, "Quantity").toString(), QStringLiteral("0012000"));
    EXPECT_EQ(stored(id, "TimeEstimated").toString(), QStringLiteral("0003000"));
    close();
}

TEST_F(MainWindowTest, CtrlDigitsStampTheDescriptionAtTheCaret)
{
    open();
    auto *description = field<QPlainTextEdit>("txtDescription");
    description->setPlainText(QStringLiteral("x"));
    description->moveCursor(QTextCursor::Start);
    QTest::keyClick(description, Qt::Key_1, Qt::ControlModifier);
    EXPECT_EQ(description->toPlainText(),
              QLatin1Char('[') + QLocale().toString(clock.now().date(), QLocale::ShortFormat) +
                  QStringLiteral("] x"));
    close();
}

TEST_F(MainWindowTest, F4TimesAnInterruptionThatPastesToANewTimeCard)
{
    open();
    const QVariant id = current();
    QTest::keyClick(&window(), Qt::Key_F4); // shows the interrupt timer, counting
    frmInterruptTimer &interrupt = host->interruptTimerWindow();
    ASSERT_TRUE(interrupt.isVisible());
    clock.advance(754);
    interrupt.pasteToNewTool()->trigger();
    EXPECT_NE(current(), id);
    EXPECT_EQ(host->editor().timeCards().value(QStringLiteral("Quantity")).toString(),
              QStringLiteral("0001234"));
    EXPECT_EQ(tool("mnuStartTimer")->text(), QStringLiteral("&Start Timer"));
    close();
}

TEST_F(MainWindowTest, CtrlJDropsTheInterruptionAndResumesTheTimeCardItEnded)
{
    open();
    QTest::keyClick(&window(), Qt::Key_F3);
    QTest::keyClick(&window(), Qt::Key_F4);
    EXPECT_EQ(tool("mnuStartTimer")->text(), QStringLiteral("&Start Timer"));
    QTest::keyClick(&window(), Qt::Key_J, Qt::ControlModifier);
    EXPECT_EQ(tool("mnuStartTimer")->text(), QStringLiteral("&Pause Timer"));
    close();
}

namespace {

// Whether any item file under dir holds the text (iCalendar folds long lines, so
// the text is kept short).
bool anyItemHolds(const QString &dir, const QString &text)
{
    QDirIterator files(dir, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        QFile file(files.next());
        if (file.open(QIODevice::ReadOnly) && QString::fromUtf8(file.readAll()).contains(text))
            return true;
    }
    return false;
}

} // namespace

TEST_F(MainWindowTest, ContactAndActivitiesShowAndAChosenActivityIsStoredWithItsRate)
{
    open();
    const QVariant id = current();
    QSqlQuery q(startUp->store().cnnLink().database());
    ASSERT_TRUE(q.exec(QStringLiteral("SELECT c.ContactName FROM tblTimeCards t JOIN tblContacts c "
                                      "ON c.ContactID = t.ContactID WHERE t.TimeCardID = %1")
                           .arg(id.toLongLong())) &&
                q.next());
    EXPECT_EQ(field<QLineEdit>("txtContact")->text(), q.value(0).toString());
    auto *activity1 = field<QComboBox>("cbActivity1");
    EXPECT_EQ(activity1->currentData().toInt(), stored(id, "Activity1ID").toInt());
    EXPECT_EQ(activity1->itemData(0).toInt(), 0); // the empty entry, no choice

    // With the rate taken from Activity 1's rates, choosing another looks it up again.
    host->editor().writeField(QStringLiteral("RateSource"), QStringLiteral("Service Rates"));
    host->editor().writeField(QStringLiteral("RateLevel"), QStringLiteral("Level 2"));
    const int other = activity1->findData(3);
    ASSERT_GT(other, 0);
    activity1->setCurrentIndex(other);
    Q_EMIT activity1->activated(other);
    ASSERT_TRUE(
        q.exec(QStringLiteral("SELECT Rate2 FROM tblMainActivities WHERE ActivityID = 3")) &&
        q.next());
    const Money activityRate = Money::fromStored(q.value(0));
    QTest::keyClick(&window(), Qt::Key_F7);
    EXPECT_EQ(stored(id, "Activity1ID").toInt(), 3);
    EXPECT_EQ(Money::fromStored(stored(id, "Rate")), activityRate);

    QTest::keyClick(&window(), Qt::Key_F6);
    Q_EMIT activity1->activated(0);
    QTest::keyClick(&window(), Qt::Key_F7);
    EXPECT_TRUE(stored(id, "Activity1ID").isNull());
    close();
}

TEST_F(MainWindowTest, ARunsNoteGoesToItsTimeDetailAndAnInterruptionsToTheTimeCardItIsPastedTo)
{
    open();
    auto *segment = field<QPlainTextEdit>("txtTimeSegment");
    EXPECT_FALSE(segment->isEnabled());
    QTest::keyClick(&window(), Qt::Key_F3);
    ASSERT_TRUE(segment->isEnabled());
    // Typing goes on undisturbed across a tick.
    window().activateWindow();
    segment->setFocus();
    QTest::keyClicks(segment, QStringLiteral("Registrar"));
    host->interruption().timerInterfaceChanged();
    ASSERT_EQ(QApplication::focusWidget(), segment);
    QTest::keyClicks(segment, QStringLiteral(" call"));
    EXPECT_EQ(segment->toPlainText(), QStringLiteral("Registrar call"));
    clock.advance(300);
    QTest::keyClick(&window(), Qt::Key_F3);
    EXPECT_TRUE(segment->toPlainText().isEmpty());
    EXPECT_FALSE(segment->isEnabled());
    EXPECT_TRUE(
        anyItemHolds(tmp.filePath(QStringLiteral("items")), QStringLiteral("Registrar call")));

    QTest::keyClick(&window(), Qt::Key_F4);
    frmInterruptTimer &interrupt = host->interruptTimerWindow();
    interrupt.note()->setPlainText(QStringLiteral("Tax office"));
    clock.advance(120);
    // The menu's paste acts as the interrupt window's own.
    ASSERT_TRUE(window().toolById(ToolId::PasteToNewTimeCard)->isEnabled());
    window().toolById(ToolId::PasteToNewTimeCard)->trigger();
    EXPECT_FALSE(window().toolById(ToolId::PasteToNewTimeCard)->isEnabled());
    const QVariant pasted = current();
    EXPECT_EQ(segment->toPlainText(), QStringLiteral("Tax office"));
    // The note waits on its TimeCard while another is shown, and its next run takes it.
    QTest::keyClick(&window(), Qt::Key_F5);
    EXPECT_TRUE(segment->toPlainText().isEmpty());
    QTest::keyClick(&window(), Qt::Key_F8);
    ASSERT_EQ(current(), pasted);
    EXPECT_EQ(segment->toPlainText(), QStringLiteral("Tax office"));
    QTest::keyClick(&window(), Qt::Key_F3);
    clock.advance(60);
    QTest::keyClick(&window(), Qt::Key_F3);
    EXPECT_TRUE(anyItemHolds(tmp.filePath(QStringLiteral("items")), QStringLiteral("Tax office")));
    close();
}

TEST_F(MainWindowTest, TimeToolsOfThePopUpAndTheFormatsAndTheCaptionWhileMinimized)
{
    open();
    const QVariant id = current();
    prompts.answerDialog(true, {{QLatin1String(AdjustTimeResultKey), QStringLiteral("0020000")}});
    window().toolById(ToolId::PopUpAddTime)->trigger();
    ASSERT_EQ(prompts.dialogs().size(), 1u);
    EXPECT_EQ(host->editor().timeCards().value(QStringLiteral("Quantity")).toString(),
              QStringLiteral("0020000"));

    window().toolById(ToolId::TimeFormat3)->trigger();
    EXPECT_EQ(field<QTimeEdit>("dtStartTime")->displayFormat(), QStringLiteral("hh:mm:ss"));
    EXPECT_TRUE(window().toolById(ToolId::TimeFormat3)->isChecked());
    EXPECT_FALSE(window().toolById(ToolId::TimeFormat1)->isChecked());
    EXPECT_EQ(Registry(settingsFile)
                  .openSubKey(QStringLiteral("Settings"))
                  .readInt(QStringLiteral("Time Format"), 0),
              3);

    const QString caption = window().windowTitle();
    QTest::keyClick(&window(), Qt::Key_F3);
    clock.advance(65);
    window().setWindowState(Qt::WindowMinimized);
    EXPECT_EQ(window().windowTitle(), QStringLiteral(" 002:01:05  Quorvale"));
    window().setWindowState(Qt::WindowNoState);
    // Restored, the run stays in sight: its time and client before the caption.
    EXPECT_TRUE(window().windowTitle().startsWith(QStringLiteral(" 002:01:05  ")))
        << window().windowTitle().toStdString();
    EXPECT_TRUE(window().windowTitle().endsWith(QStringLiteral("-") + caption))
        << window().windowTitle().toStdString();
    auto *note = window().findChild<QLabel *>(QStringLiteral("lblTimerNote"));
    ASSERT_NE(note, nullptr);
    EXPECT_FALSE(note->isVisibleTo(&window())) << "the timed TimeCard is the one shown";

    // Another TimeCard shown: the status bar names the timed one.
    QTest::keyClick(&window(), Qt::Key_F7);
    ASSERT_NE(current(), id);
    clock.advance(1);
    host->timer().secondTick();
    EXPECT_TRUE(note->isVisibleTo(&window()));
    EXPECT_TRUE(note->text().startsWith(QStringLiteral("Timing TimeCard %1").arg(id.toLongLong())))
        << note->text().toStdString();
    EXPECT_TRUE(note->text().endsWith(QStringLiteral(": 002:01:06 - F9 goes to it")))
        << note->text().toStdString();
    EXPECT_TRUE(window().windowTitle().startsWith(QStringLiteral(" 002:01:06  ")));

    QTest::keyClick(&window(), Qt::Key_F9);
    EXPECT_EQ(current(), id);
    EXPECT_FALSE(note->isVisibleTo(&window()));
    QTest::keyClick(&window(), Qt::Key_F3);
    EXPECT_EQ(host->editor().timeCards().value(QStringLiteral("Quantity")).toString(),
              QStringLiteral("0020106"));
    EXPECT_EQ(window().windowTitle(), caption) << "no run, the caption alone";
    close();
}

TEST_F(MainWindowTest, AtItsDefaultSizeEveryToolAndEveryFieldIsInSight)
{
    open();
    const int dpi = window().logicalDpiX();
    window().resize(twipsToPixels(DefaultWindowTwips.width(), dpi),
                    twipsToPixels(DefaultWindowTwips.height(), dpi));
    ASSERT_LE(window().height(), 768 - 40) << "a 1366 x 768 screen holds it with its title bar";
    QApplication::processEvents();

    int tools = 0;
    for (QToolBar *bar : window().findChildren<QToolBar *>()) {
        if (!bar->isVisible())
            continue;
        for (QAction *action : bar->actions()) {
            if (action->isSeparator() || !action->isVisible())
                continue;
            QWidget *button = bar->widgetForAction(action);
            ASSERT_NE(button, nullptr);
            EXPECT_TRUE(button->isVisible())
                << bar->objectName().toStdString() << ": \"" << action->text().toStdString()
                << "\" is behind the tool bar's chevron";
            if (auto *tool = qobject_cast<QToolButton *>(button)) {
                EXPECT_FALSE(tool->text().isEmpty())
                    << bar->objectName().toStdString() << ": \"" << action->text().toStdString()
                    << "\" shows a blank button";
            }
            ++tools;
        }
    }
    EXPECT_GT(tools, 10);

    const auto *page = window().fields().widget(TimeCardFields::WorkPage);
    const auto *scroll = qobject_cast<const QScrollArea *>(page);
    ASSERT_NE(scroll, nullptr);
    EXPECT_FALSE(scroll->verticalScrollBar()->isVisible()) << "the TimeCard page scrolls";
    EXPECT_FALSE(scroll->horizontalScrollBar()->isVisible());

    window().fields().setCurrentWidget(window().findChild<QWidget *>(QStringLiteral("LinksPanel")));
    QApplication::processEvents();
    auto *selector = field<QComboBox>("cbSelectLink");
    ASSERT_NE(selector, nullptr);
    EXPECT_TRUE(selector->isVisible());
    const QRect shown(selector->mapTo(&window(), QPoint(0, 0)), selector->size());
    EXPECT_TRUE(window().rect().contains(shown)) << "the Links page's kind selector is cut off";
    close();
}

TEST_F(MainWindowTest, TheTrayPausesResumesAndSwitchesTheTimerWhereverTheWindowIs)
{
    open();
    TimerTray &tray = host->tray();
    const auto active = [this] { return host->timer().activeTimeCardId(); };
    const qint64 first = current().toLongLong();
    EXPECT_FALSE(tray.pauseAction()->isEnabled());
    EXPECT_FALSE(tray.resumeAction()->isEnabled()) << "nothing was timed yet";

    QAction *timerTool = window().toolById(ToolId::StartTimer);
    ASSERT_FALSE(timerTool->icon().isNull()) << "the theme's icon, or the style's";
    const qint64 idleIcon = timerTool->icon().cacheKey();
    QTest::keyClick(&window(), Qt::Key_F3);
    ASSERT_EQ(active(), first);
    EXPECT_TRUE(tray.pauseAction()->isEnabled());
    EXPECT_NE(timerTool->icon().cacheKey(), idleIcon) << "the tool's icon says a run is on";
    clock.advance(60);
    QTest::keyClick(&window(), Qt::Key_F7);
    ASSERT_NE(current().toLongLong(), first);

    // Paused from the tray while another TimeCard is shown.
    tray.pauseAction()->trigger();
    EXPECT_FALSE(active().has_value());
    EXPECT_EQ(current().toLongLong(), first) << "paused on its own row, whose rate it follows";
    EXPECT_TRUE(tray.resumeAction()->isEnabled());
    EXPECT_TRUE(tray.resumeAction()->text().contains(QStringLiteral("TimeCard %1").arg(first)))
        << tray.resumeAction()->text().toStdString();

    // A second TimeCard timed: the first is offered to switch to.
    QTest::keyClick(&window(), Qt::Key_F7);
    const qint64 second = current().toLongLong();
    QTest::keyClick(&window(), Qt::Key_F3);
    ASSERT_EQ(active(), second);
    const QList<QAction *> offered = tray.switchMenu()->actions();
    ASSERT_EQ(offered.size(), 1);
    EXPECT_TRUE(offered.front()->text().startsWith(QStringLiteral("TimeCard %1").arg(first)));
    offered.front()->trigger();
    EXPECT_EQ(active(), first) << "switched: the first TimeCard is timed";
    EXPECT_EQ(current().toLongLong(), first);
    ASSERT_EQ(tray.switchMenu()->actions().size(), 1);
    EXPECT_TRUE(tray.switchMenu()->actions().front()->text().startsWith(
        QStringLiteral("TimeCard %1").arg(second)));

    tray.pauseAction()->trigger();
    EXPECT_FALSE(active().has_value());
    tray.resumeAction()->trigger();
    EXPECT_EQ(active(), first) << "resumed on the TimeCard timed last";
    tray.pauseAction()->trigger();
    close();
}

TEST_F(MainWindowTest, TheQuickFilterComboNarrowsTheSetAndShowsItIsNarrowed)
{
    Registry(settingsFile)
        .openSubKey(QStringLiteral("Settings"))
        .writeInt(QStringLiteral("Quick Filter Type"), 1);
    open();
    EXPECT_EQ(window().findChild<QLineEdit *>(QStringLiteral("txtContactQuickFilter")), nullptr)
        << "a window shows one of the two controls";
    auto *list = field<QComboBox>("cboFilter");
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(list->isVisible());
    EXPECT_EQ(list->currentIndex(), 0);
    db::Recordset &rs = startUp->workingSet().timeCards();
    const int all = rs.recordCount();
    const int activity = rs.value(QStringLiteral("Activity1ID")).toInt();
    ASSERT_NE(activity, 0);
    const int expected =
        cnn()
            .scalar(QStringLiteral("SELECT COUNT(*) FROM (") +
                        startUp->workingSet().sql().timeCardBase +
                        QStringLiteral(" AND tblTimeCards.Activity1ID = ?) AS narrowed"),
                    {activity})
            .toInt();
    ASSERT_LT(expected, all) << "the demo has TimeCards of other activities";

    const int at = list->findData(activity);
    ASSERT_GT(at, 0);
    list->setCurrentIndex(at);
    Q_EMIT list->activated(at);
    EXPECT_EQ(rs.recordCount(), expected);
    EXPECT_EQ(list->currentIndex(), at) << "the control shows the filter in force";
    EXPECT_EQ(window().toolById(ToolId::Filter)->text(), QStringLiteral("Turn &Filter Off"));

    list->setCurrentIndex(0);
    Q_EMIT list->activated(0);
    EXPECT_EQ(rs.recordCount(), all);
    EXPECT_EQ(window().toolById(ToolId::Filter)->text(), QStringLiteral("Apply &Filter"));
    close();
}

TEST_F(MainWindowTest, EscapeDiscardsANewTimeCardOnlyWhileItIsEmpty)
{
    Registry(settingsFile)
        .openSubKey(QStringLiteral("Settings\\Validation"))
        .writeInt(QStringLiteral("No Time Spent"), 1);
    open();
    const int count = startUp->workingSet().timeCards().recordCount();
    QTest::keyClick(&window(), Qt::Key_F11);
    const QVariant made = current();
    const QString entryId = stored(made, "JournalEntryID").toString();
    // Validation would hold it ("No time spent."); discarding does not ask.
    const auto asked = prompts.messages().size();
    QTest::keyClick(&window(), Qt::Key_Escape);
    EXPECT_EQ(prompts.messages().size(), asked);
    EXPECT_EQ(startUp->workingSet().timeCards().recordCount(), count);
    EXPECT_FALSE(stored(made, "TimeCardID").isValid());
    EXPECT_EQ(startUp->outlook().nameSpace().itemFromId(
                  entryId, startUp->outlook().folder(FolderSlot::Journal)->storeId()),
              nullptr);

    QTest::keyClick(&window(), Qt::Key_F11);
    const QVariant kept = current();
    field<QPlainTextEdit>("txtDescription")->setPlainText(QStringLiteral("Call back"));
    QTest::keyClick(&window(), Qt::Key_Escape);
    EXPECT_EQ(current(), kept);
    EXPECT_EQ(startUp->workingSet().timeCards().recordCount(), count + 1);

    // Closing on it asks to complete it: Cancel and Yes stay, No deletes it.
    const auto titlesSince = [this](qsizetype from) {
        QStringList titles;
        for (qsizetype i = from; i < prompts.messages().size(); ++i)
            titles << prompts.messages().at(i).title;
        return titles;
    };
    qsizetype from = prompts.messages().size();
    prompts.answer(PromptResult::Cancel); // "Save Changes"
    EXPECT_FALSE(window().close());
    EXPECT_EQ(titlesSince(from), QStringList{QStringLiteral("Save Changes")});
    from = prompts.messages().size();
    prompts.answer(PromptResult::Yes); // "Save Changes"
    prompts.answer(PromptResult::Yes); // " Incomplete TimeCard": complete it now
    EXPECT_FALSE(window().close());
    // Then what is missing is said, and the field that lacks it has the keyboard.
    EXPECT_EQ(titlesSince(from),
              (QStringList{QStringLiteral("Save Changes"), QStringLiteral(" Incomplete TimeCard"),
                           QStringLiteral(" Validation Error")}));
    EXPECT_EQ(window().focusWidget(), field<QLineEdit>("txtTimeSpent"));
    EXPECT_EQ(current(), kept);
    const QString keptEntry = stored(kept, "JournalEntryID").toString();
    prompts.answer(PromptResult::Yes); // "Save Changes"
    prompts.answer(PromptResult::No);  // " Incomplete TimeCard": delete it and exit
    // Nothing of it was stored but the new row, so it goes without the delete dialog.
    EXPECT_TRUE(window().close());
    EXPECT_TRUE(prompts.dialogs().isEmpty());
    EXPECT_FALSE(stored(kept, "TimeCardID").isValid());
    EXPECT_EQ(startUp->outlook().nameSpace().itemFromId(
                  keptEntry, startUp->outlook().folder(FolderSlot::Journal)->storeId()),
              nullptr);
    host.reset();
    startUp.reset();
}

TEST_F(MainWindowTest, ARunSurvivesTheProcessBeingKilled)
{
    open();
    const QVariant id = current();
    QString before = stored(id, "Quantity").toString();
    close();
    // The child shares this test's files and clock. It never shows the window:
    // painting needs threads a forked child does not have.
    GTEST_FLAG_SET(death_test_style, "fast");
    EXPECT_EXIT(
        {
            registry = std::make_unique<Registry>(settingsFile);
            startUp = std::make_unique<StartUp>(
                *registry, prompts, errors,
                StartUpEnvironment{programDir, tmp.filePath(QStringLiteral("items")),
                                   QStringLiteral("HH:mm:ss"), 1, QString()});
            if (startUp->Form_Load()) {
                host = std::make_unique<MainWindowHost>(programParts(*startUp), *startUp, *registry,
                                                        prompts, errors, &clock);
                host->window().abMainMenu_ToolClick(ToolId::StartTimer);
                if (host->timer().activeTimeCardId())
                    std::raise(SIGKILL);
            }
            std::exit(1);
        },
        ::testing::KilledBySignal(SIGKILL), "");
    clock.advance(1800);
    prompts.answer(PromptResult::Yes); // up to now
    open();
    EXPECT_EQ(prompts.unusedAnswers(), 0u);
    EXPECT_EQ(stored(id, "Quantity").toString(),
              ConvertSecondsToTime(ConvertTimeToSeconds(before) + 1800));
    close();
}

TEST_F(MainWindowTest, CtrlKChoosesFromTheListAndTheViewTogglesAreKept)
{
    open();
    QTest::keyClick(&window(), Qt::Key_F8);
    const QVariant last = current();
    QTest::keyClick(&window(), Qt::Key_F5);
    qint64 offered = 0;
    host->viewCommands().setChooser([&](qint64 shown) {
        offered = shown;
        return std::optional<qint64>(last.toLongLong());
    });
    QTest::keyClick(&window(), Qt::Key_K, Qt::ControlModifier);
    EXPECT_NE(offered, 0);
    EXPECT_EQ(current(), last);

    // The list of a filtered set is that set, its values bound.
    WorkingSet &set = startUp->workingSet();
    ASSERT_TRUE(set.setFilter(
        SqlFragment{QStringLiteral(" AND tblTimeCards.TimeCardID <= ?"), {last.toLongLong() - 3}}));
    const std::vector<TimeCardListRow> rows =
        loadTimeCardList(startUp->store().cnnLink(), set.timeCards().source(), set.filter().params);
    EXPECT_EQ(static_cast<int>(rows.size()), set.timeCards().recordCount());
    EXPECT_LE(rows.back().timeCardId, last.toLongLong() - 3);
    ASSERT_TRUE(set.setFilter(SqlFragment{}));

    auto *segment = field<QPlainTextEdit>("txtTimeSegment");
    ASSERT_FALSE(segment->isHidden());
    window().toolById(ToolId::ViewTimeDetail)->trigger();
    EXPECT_TRUE(segment->isHidden());
    EXPECT_FALSE(window().toolById(ToolId::ViewTimeDetail)->isChecked());
    close();
    EXPECT_EQ(Registry(settingsFile)
                  .openSubKey(QStringLiteral("Settings"))
                  .readInt(QStringLiteral("View Time Detail"), 1),
              0);
    open();
    EXPECT_TRUE(field<QPlainTextEdit>("txtTimeSegment")->isHidden());
    // Every command of the table is behind a tool that works: the only tools
    // not offered are those waiting for a state (a run, an interruption, a
    // second TimeCard), never one without a command.
    // Reports and billing wait for the administrator tool, which this program
    // directory lacks.
    QSet<int> waiting;
    for (const BandEntry &entry : CommandTable::layout())
        if (entry.band == QLatin1String(Band::ReportsMenu) ||
            entry.band == QLatin1String(Band::BillingMenu))
            waiting.insert(entry.toolId);
    QStringList notOffered;
    for (const ToolInfo &info : CommandTable::tools()) {
        const QAction *action = window().toolById(info.id);
        if (info.id >= 1000 && !action->menu() && !action->isEnabled() &&
            !waiting.contains(info.id))
            notOffered << QString::fromLatin1(info.name);
    }
    EXPECT_EQ(notOffered.join(QLatin1Char(' ')),
              QStringLiteral("mnuCancelTimer mnuPasteToNewTimeCard mnuPasteToCurrentTimeCard "
                             "mnuCancelTempTimer mnuResume"));
    close();
}

namespace {

// Closes each modal window as it opens and remembers its title, so that a
// command that opens one can be run from a test and seen to have opened it.
class ModalWatcher {
public:
    ModalWatcher()
    {
        m_timer.setInterval(20);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                m_titles << modal->windowTitle();
                if (auto *dialog = qobject_cast<QDialog *>(modal))
                    dialog->reject();
                else
                    modal->close();
            }
        });
        m_timer.start();
    }
    QString takeLast()
    {
        const QString last = m_titles.isEmpty() ? QString() : m_titles.last();
        m_titles.clear();
        return last;
    }

private:
    QTimer m_timer;
    QStringList m_titles;
};

} // namespace

TEST_F(MainWindowTest, EachToolReachesItsCommandAndEachShortcutItsTool)
{
    open();
    // The keyboard table: each key stands for its tool, whichever band shows it.
    const std::pair<const char *, int> keys[] = {
        {"F3", ToolId::StartTimer},
        {"Ctrl+F3", ToolId::CancelTimer},
        {"F4", ToolId::StartTempTimer},
        {"F5", ToolId::GoToFirst},
        {"F6", ToolId::GoToPrevious},
        {"F7", ToolId::GoToNext},
        {"F8", ToolId::GoToLast},
        {"F9", ToolId::GoToActive},
        {"F11", ToolId::AddTimeCard},
        {"F12", ToolId::DeleteTimeCard},
        {"F2", ToolId::About},
        {"Ctrl+F5", ToolId::AllExpenses},
        {"Ctrl+F6", ToolId::AllProductSales},
        {"Ctrl+F7", ToolId::Contacts},
        {"Ctrl+F8", ToolId::SupportMessage},
        {"Ctrl+F9", ToolId::Comments},
        {"Ctrl+F11", ToolId::ManualAppointment},
        {"Ctrl+F12", ToolId::ShowHiddenTimeCards},
        {"Ctrl+X", ToolId::Cut},
        {"Ctrl+C", ToolId::Copy},
        {"Ctrl+V", ToolId::Paste},
        {"Ctrl+Z", ToolId::MassEdit},
        {"Ctrl+F", ToolId::Filter},
        {"Ctrl+L", ToolId::AutoFill},
        {"Ctrl+G", ToolId::AutoTasks},
        {"Ctrl+O", ToolId::UserOptions},
        {"Ctrl+Q", ToolId::Exit},
        {"Ctrl+K", ToolId::TimeCardList},
        {"Ctrl+J", ToolId::Resume},
        {"Ctrl+U", ToolId::InsertAbbreviation},
        {"Ctrl+W", ToolId::EditAbbreviations},
        {"Ctrl+T", ToolId::NewPersonalTask},
        {"Ctrl+R", ToolId::NewTaskRequest},
        {"Ctrl+A", ToolId::NewScheduledAppointment},
        {"Ctrl+N", ToolId::NewNote},
        {"Ctrl+M", ToolId::NewMessage},
        {"Ctrl+D", ToolId::NewDocument},
        {"Ctrl+E", ToolId::NewExpense},
        {"Ctrl+S", ToolId::NewProductSale},
        {"Ctrl+P", ToolId::NewPayment},
    };
    for (const auto &[key, id] : keys)
        EXPECT_EQ(window().toolById(id)->shortcut(), QKeySequence(QLatin1String(key))) << key;

    // Each command that opens a window opens its own.
    ModalWatcher watcher;
    const std::pair<int, QString> windows[] = {
        {ToolId::TimeCardList, QStringLiteral(" TimeCard List")},
        {ToolId::UserOptions, QStringLiteral(" User Options")},
        {ToolId::Contacts, QStringLiteral("Client List")},
        {ToolId::EditActivity1List, QStringLiteral("Service List")},
        {ToolId::EditActivity2List, QStringLiteral("Project List")},
        {ToolId::AutoFill, QStringLiteral(" AutoFill")},
        {ToolId::EditAbbreviations, QStringLiteral(" Abbreviations")},
        {ToolId::SelectContact, QStringLiteral("Select Client")},
        {ToolId::About, QStringLiteral("About Quorvale")},
    };
    for (const auto &[id, title] : windows) {
        window().abMainMenu_ToolClick(id);
        EXPECT_EQ(watcher.takeLast(), title) << id;
        EXPECT_EQ(window().statusBar()->currentMessage(), QStringLiteral("Review")) << id;
    }
    window().abMainMenu_ToolClick(ToolId::ViewLinks);
    EXPECT_TRUE(watcher.takeLast().startsWith(QStringLiteral(" Links of TimeCard "))) << "links";

    // Those that ask through the program's own prompts ask what they should.
    const auto messages = prompts.messages().size();
    window().abMainMenu_ToolClick(ToolId::ViewJournalItems); // no view files in this directory
    ASSERT_EQ(prompts.messages().size(), messages + 1);
    EXPECT_EQ(prompts.messages().last().title, QStringLiteral(" View Not Available"));
    prompts.answerDialog(false);
    window().abMainMenu_ToolClick(ToolId::DeleteTimeCard);
    EXPECT_EQ(prompts.dialogs().last().name, QStringLiteral("frmDeleteTimeCard"));
    window().abMainMenu_ToolClick(ToolId::InsertAbbreviation); // nothing chosen yet
    EXPECT_EQ(prompts.messages().last().title, QStringLiteral(" Abbreviations"));
    // Without the administrator tool the reports cannot run and are not offered.
    EXPECT_FALSE(window().toolById(ToolId::ReportTime)->isEnabled());
    close();
}

namespace {

// Acts once on the first modal window to open, from inside its own event loop.
class OnModal {
public:
    explicit OnModal(std::function<void(QWidget *)> act) : m_act(std::move(act))
    {
        m_timer.setInterval(10);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (QWidget *modal = QApplication::activeModalWidget()) {
                m_timer.stop();
                m_act(modal);
            }
        });
        m_timer.start();
    }

private:
    QTimer m_timer;
    std::function<void(QWidget *)> m_act;
};

} // namespace

TEST_F(MainWindowTest, TheTimeCardListOpensTheHighlightedTimeCardAfterANewOne)
{
    open();
    window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    WorkingSet &set = startUp->workingSet();
    const QVariant firstOfSet = [&] {
        QTest::keyClick(&window(), Qt::Key_F5);
        return current();
    }();
    enum class Choice { EnterInFind, OkAfterMovingDown, DoubleClickOnLast };
    for (Choice how : {Choice::EnterInFind, Choice::OkAfterMovingDown, Choice::DoubleClickOnLast}) {
        SCOPED_TRACE(static_cast<int>(how));
        window().activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
        // The new, empty TimeCard is the last of the set and has the focus.
        QTest::keyClick(&window(), Qt::Key_F8);
        QTest::keyClick(&window(), Qt::Key_F11);
        const QVariant made = current();
        ASSERT_EQ(set.timeCards().absolutePosition(), set.timeCards().recordCount());
        qint64 highlighted = 0;
        int matches = 0;
        OnModal choose([&](QWidget *modal) {
            auto *list = qobject_cast<TimeCardListDialog *>(modal);
            if (!list) {
                modal->close();
                return;
            }
            QTest::keyClicks(list->findField(), QStringLiteral("clinic"));
            QTableView *table = list->table();
            matches = table->model()->rowCount();
            const auto idAt = [table](int row) {
                return table->model()->index(row, 0).data().toLongLong();
            };
            switch (how) {
            case Choice::EnterInFind:
                highlighted = idAt(table->currentIndex().row());
                QTest::keyClick(list->findField(), Qt::Key_Return);
                break;
            case Choice::OkAfterMovingDown:
                table->setFocus();
                QTest::keyClick(table, Qt::Key_Down);
                highlighted = idAt(table->currentIndex().row());
                QTest::mouseClick(
                    list->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok),
                    Qt::LeftButton);
                break;
            case Choice::DoubleClickOnLast: {
                const QModelIndex last = table->model()->index(matches - 1, 3);
                highlighted = idAt(last.row());
                table->scrollTo(last);
                const QPoint at = table->visualRect(last).center();
                // A double click starts as a click.
                QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, at);
                QTest::mouseDClick(table->viewport(), Qt::LeftButton, {}, at);
                break;
            }
            }
            if (list->isVisible())
                list->reject();
        });
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_K, Qt::ControlModifier);
        ASSERT_GT(matches, 1) << "the demo has several clinic TimeCards";
        ASSERT_NE(highlighted, 0);
        EXPECT_NE(QVariant(highlighted), made);
        EXPECT_NE(QVariant(highlighted), firstOfSet);
        EXPECT_EQ(current().toLongLong(), highlighted);
        EXPECT_EQ(window().findChild<QLabel *>(QStringLiteral("txtTimeCardID"))->text(),
                  QString::number(highlighted));
        // The TimeCard left behind was kept.
        EXPECT_EQ(stored(made, "TimeCardID"), made);
    }
    close();
}

namespace {

// The text of an iCalendar file's property, lines unfolded and text unescaped;
// parameters (";VALUE=DATE") are skipped.
QString icalValue(const QString &path, const char *property)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    QString text = QString::fromUtf8(file.readAll());
    text.replace(QStringLiteral("\r\n "), QString()).replace(QStringLiteral("\n "), QString());
    const QString name = QLatin1String(property);
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        if (!line.startsWith(name) ||
            (line.size() > name.size() && line[name.size()] != QLatin1Char(':') &&
             line[name.size()] != QLatin1Char(';')))
            continue;
        // The value starts at the first colon outside a quoted parameter value.
        qsizetype colon = name.size();
        for (bool quoted = false; colon < line.size(); ++colon) {
            if (line[colon] == QLatin1Char('"'))
                quoted = !quoted;
            else if (line[colon] == QLatin1Char(':') && !quoted)
                break;
        }
        QString value = line.mid(colon + 1).trimmed();
        value.replace(QStringLiteral("\\n"), QStringLiteral("\n"))
            .replace(QStringLiteral("\\N"), QStringLiteral("\n"))
            .replace(QStringLiteral("\\,"), QStringLiteral(","))
            .replace(QStringLiteral("\\;"), QStringLiteral(";"))
            .replace(QStringLiteral("\\\\"), QStringLiteral("\\"));
        return value;
    }
    return QString();
}

} // namespace

TEST_F(MainWindowTest, ArrivingAtATimeCardWithoutAJournalEntryWritesOneFromTheTimeCard)
{
    // The journal's template as it comes, with the TimeCard's description in
    // its last body line.
    Registry(settingsFile)
        .openSubKey(QStringLiteral("Settings\\AutoFill\\Journal"))
        .writeInt(QStringLiteral("5"), 5);
    open();
    const QString storeId = startUp->outlook().folder(FolderSlot::Journal)->storeId();
    const auto entryExists = [&](const QVariant &id) {
        return startUp->outlook().nameSpace().itemFromId(stored(id, "JournalEntryID").toString(),
                                                         storeId) != nullptr;
    };
    // The first TimeCard further on with a client, a description and a day of
    // its own whose entry the item store lacks.
    WorkingSet &set = startUp->workingSet();
    const std::vector<TimeCardListRow> rows =
        loadTimeCardList(cnn(), set.timeCards().source(), set.filter().params);
    const int here = set.timeCards().absolutePosition() - 1;
    int target = -1;
    for (int i = here + 1; i < static_cast<int>(rows.size()) && target < 0; ++i) {
        const TimeCardListRow &row = rows[static_cast<size_t>(i)];
        if (!row.contact.isEmpty() && !row.description.isEmpty() &&
            row.startDate != clock.now().date() && !entryExists(row.timeCardId))
            target = i;
    }
    ASSERT_GE(target, 0) << "the demo has TimeCards without journal entries";
    const TimeCardListRow &card = rows[static_cast<size_t>(target)];
    // The client is in the address book too.
    auto client = pim::Items(*startUp->outlook().folder(FolderSlot::Contacts)).Add();
    auto *contactItem = dynamic_cast<pim::ContactItem *>(client.get());
    ASSERT_NE(contactItem, nullptr);
    contactItem->setFullName(card.contact);
    contactItem->Save();
    cnn().execute(QStringLiteral("UPDATE tblContacts SET ContactEntryID = ? WHERE ContactID = ?"),
                  {contactItem->EntryID(), stored(card.timeCardId, "ContactID")});
    const QString account =
        cnn()
            .scalar(QStringLiteral("SELECT ContactAccount FROM tblContacts WHERE ContactID = ?"),
                    {stored(card.timeCardId, "ContactID")})
            .toString();

    for (int i = here; i < target; ++i)
        QTest::keyClick(&window(), Qt::Key_F7);
    ASSERT_EQ(current().toLongLong(), card.timeCardId);

    const QString entryId = stored(card.timeCardId, "JournalEntryID").toString();
    ASSERT_TRUE(entryExists(card.timeCardId));
    EXPECT_EQ(host->editor().currentJournalEntryId(), entryId);
    const auto parts = pim::splitEntryId(entryId);
    ASSERT_TRUE(parts);
    const QString file = tmp.filePath(QStringLiteral("items/Journal/") + parts->second);
    ASSERT_TRUE(QFile::exists(file)) << file.toStdString();

    const QString subject = icalValue(file, "SUMMARY");
    EXPECT_NE(subject, QStringLiteral("New Quorvale TimeCard"));
    EXPECT_TRUE(subject.startsWith(card.contact)) << subject.toStdString();
    EXPECT_EQ(icalValue(file, "CONTACT"), card.contact);
    EXPECT_EQ(icalValue(file, "X-QUORVALE-BILLINGINFORMATION"), account);
    const QString start = icalValue(file, "DTSTART");
    EXPECT_TRUE(start.startsWith(card.startDate.toString(QStringLiteral("yyyyMMdd"))))
        << start.toStdString();
    const QString body = icalValue(file, "DESCRIPTION");
    EXPECT_TRUE(body.contains(card.description)) << body.toStdString();
    const QString activity =
        cnn()
            .scalar(
                QStringLiteral("SELECT ActivityName FROM tblMainActivities WHERE ActivityID = ?"),
                {stored(card.timeCardId, "Activity1ID")})
            .toString();
    EXPECT_FALSE(activity.isEmpty());
    EXPECT_TRUE(body.contains(activity)) << body.toStdString();
    // Moving on with nothing changed leaves the row and its entry as they are.
    QTest::keyClick(&window(), Qt::Key_F6);
    EXPECT_EQ(stored(card.timeCardId, "JournalEntryID").toString(), entryId);
    EXPECT_TRUE(prompts.messages().isEmpty());
    close();
}

TEST_F(MainWindowTest, EveryShortcutOfTheTableReachesItsToolFromEveryField)
{
    open();
    window().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window()));
    QTest::keyClick(&window(), Qt::Key_F3); // the time segment takes notes while a run is on
    // Only which tool a key reaches counts here: the tools record instead of running.
    QList<int> fired;
    QList<QAction *> keyed;
    for (const ToolInfo &info : CommandTable::tools()) {
        QAction *action = window().toolById(info.id);
        ASSERT_NE(action, nullptr) << info.name;
        QObject::disconnect(action, &QAction::triggered, &window(), nullptr);
        QObject::connect(action, &QAction::triggered, action,
                         [&fired, id = info.id] { fired << id; });
        if (!action->shortcut().isEmpty() && action->isVisible())
            keyed << action;
    }
    ASSERT_GE(keyed.size(), 40);

    // Text fields keep the text editing a person expects of any text field:
    // copy where there is text, undo, cut and paste where it can be changed.
    const QKeySequence copy(QStringLiteral("Ctrl+C"));
    const QList<QKeySequence> changing{QKeySequence(QStringLiteral("Ctrl+Z")),
                                       QKeySequence(QStringLiteral("Ctrl+X")),
                                       QKeySequence(QStringLiteral("Ctrl+V"))};
    const auto keptByField = [&](QWidget *field, const QKeySequence &key) {
        const auto *line = qobject_cast<QLineEdit *>(field);
        const auto *text = qobject_cast<QPlainTextEdit *>(field);
        const auto *spin = qobject_cast<QAbstractSpinBox *>(field);
        if (!line && !text && !spin)
            return false;
        const bool readOnly = (line && line->isReadOnly()) || (text && text->isReadOnly()) ||
                              (spin && spin->isReadOnly());
        return key == copy || (!readOnly && changing.contains(key));
    };

    auto *tabs = window().findChild<QTabWidget *>(QStringLiteral("TimeCardFields"));
    ASSERT_NE(tabs, nullptr);
    int fields = 0;
    for (int page = 0; page < tabs->count(); ++page) {
        tabs->setCurrentIndex(page);
        for (QWidget *field : tabs->widget(page)->findChildren<QWidget *>()) {
            if (!(field->focusPolicy() & Qt::TabFocus) || !field->isEnabled() ||
                !field->isVisible() || field->focusProxy() ||
                qobject_cast<QAbstractScrollArea *>(field->parentWidget()))
                continue;
            ++fields;
            const std::string name = field->objectName().toStdString();
            for (QAction *action : keyed) {
                const QKeySequence key = action->shortcut();
                // A tick of the running timer may have changed what is offered.
                for (QAction *tool : keyed)
                    tool->setEnabled(true);
                field->setFocus();
                ASSERT_EQ(QApplication::focusWidget(), field) << name;
                fired.clear();
                // Sent where a person's key goes: to the field with the focus.
                QTest::keySequence(field, key);
                if (keptByField(field, key))
                    EXPECT_TRUE(fired.isEmpty()) << name << " " << key.toString().toStdString();
                else
                    EXPECT_EQ(fired, QList<int>{action->data().toInt()})
                        << name << " " << key.toString().toStdString();
            }
            // Mass Edit is on the Edit menu wherever Ctrl+Z is the field's undo.
            field->setFocus();
            fired.clear();
            QTest::keyClick(field, Qt::Key_E, Qt::AltModifier);
            QWidget *menu = QApplication::activePopupWidget();
            ASSERT_NE(menu, nullptr) << name;
            EXPECT_EQ(menu->objectName(), QLatin1String(Band::EditMenu)) << name;
            QTest::keyClick(menu, Qt::Key_M);
            EXPECT_EQ(fired, QList<int>{ToolId::MassEdit}) << name;
            if (QWidget *still = QApplication::activePopupWidget())
                still->close();
        }
    }
    EXPECT_GE(fields, 25);

    // Ctrl+Z in the description takes back what was typed.
    tabs->setCurrentIndex(TimeCardFields::WorkPage);
    auto *description = field<QPlainTextEdit>("txtDescription");
    description->setFocus();
    description->moveCursor(QTextCursor::End);
    const QString before = description->toPlainText();
    QTest::keyClicks(description, QStringLiteral("typo"));
    ASSERT_EQ(description->toPlainText(), before + QStringLiteral("typo"));
    QTest::keyClick(description, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(description->toPlainText(), before);
    close();
}

TEST_F(MainWindowTest, EveryToolOfTheTableHasACommandAndAnUnknownOneDoesNothing)
{
    open();
    // Tools that open a menu (the tool bar's "Create New..." drops down the New
    // menu), and the window's own Exit and About, need no command; the reports
    // are offered only where the administrator tool is.
    QSet<int> opensMenu;
    for (const BandEntry &entry : CommandTable::layout())
        if (entry.opens)
            opensMenu.insert(entry.toolId);
    QStringList unhandled;
    for (const ToolInfo &tool : CommandTable::tools()) {
        if (tool.id == 0 || opensMenu.contains(tool.id) ||
            QLatin1String(tool.name) == QLatin1String("tbNewItem") || tool.id == ToolId::Exit ||
            tool.id == ToolId::About ||
            (tool.id >= ToolId::ReportFirst && tool.id <= ToolId::ReportLast))
            continue;
        if (!window().commandSetFor(tool.id))
            unhandled << QStringLiteral("%1 %2").arg(tool.id).arg(QLatin1String(tool.name));
    }
    EXPECT_TRUE(unhandled.isEmpty()) << unhandled.join(u'\n').toStdString();

    const QVariant before = current();
    const qlonglong cards =
        cnn().scalar(QStringLiteral("SELECT COUNT(*) FROM tblTimeCards")).toLongLong();
    host->run(99999);
    EXPECT_EQ(cnn().scalar(QStringLiteral("SELECT COUNT(*) FROM tblTimeCards")).toLongLong(),
              cards);
    EXPECT_EQ(current(), before);
    close();
}

TEST_F(MainWindowTest, ARunAddsItsTimeToTheTaskChosenInTheActiveTaskList)
{
    open();
    const QVariant id = current();
    // A task of the TimeCard's, with half an hour done already.
    std::unique_ptr<pim::Item> item = pim::newItem(*startUp->outlook().folder(FolderSlot::Tasks));
    auto &task = dynamic_cast<pim::TaskItem &>(*item);
    task.setSubject("Fit the doors");
    task.setActualWork(30);
    task.Save();
    startUp->store().cnnLink().execute("INSERT INTO tblTasks (EntryID, TimeCardID) VALUES (?, ?)",
                                       {task.EntryID(), id});
    window().showCurrent(); // as any command does: its tasks listed
    auto *list = field<QComboBox>("cbActiveTask");
    const int at = list->findText("Fit the doors");
    ASSERT_GT(at, 0) << "the task is offered";
    list->setCurrentIndex(at);

    QTest::keyClick(&window(), Qt::Key_F3);
    clock.advance(45 * 60);
    QTest::keyClick(&window(), Qt::Key_F3);
    const std::unique_ptr<pim::Item> reread =
        startUp->outlook().nameSpace().itemFromId(task.EntryID(), {});
    ASSERT_TRUE(reread);
    EXPECT_EQ(dynamic_cast<pim::TaskItem &>(*reread).ActualWork(), 75);

    // "(None)": the run is the TimeCard's alone.
    list->setCurrentIndex(0);
    QTest::keyClick(&window(), Qt::Key_F3);
    clock.advance(10 * 60);
    QTest::keyClick(&window(), Qt::Key_F3);
    EXPECT_EQ(dynamic_cast<pim::TaskItem &>(
                  *startUp->outlook().nameSpace().itemFromId(task.EntryID(), {}))
                  .ActualWork(),
              75);
    close();
}

TEST_F(MainWindowTest, TheContactsCardOpensFromTheTimeCardMenuAndIsMadeWhereItIsGone)
{
    open();
    const QVariant contact = stored(current(), "ContactID");
    ASSERT_FALSE(contact.isNull()) << "the demo's TimeCard has a client";
    // Deleted by another program since the start made it.
    const QString entryId =
        startUp->store()
            .cnnLink()
            .scalar("SELECT ContactEntryID FROM tblContacts WHERE ContactID = ?", {contact})
            .toString();
    const std::unique_ptr<pim::Item> card = startUp->outlook().nameSpace().itemFromId(entryId, {});
    ASSERT_TRUE(card);
    ASSERT_TRUE(QFile::remove(card->filePath()));

    window().abMainMenu_ToolClick(ToolId::OpenContactCard);
    ItemEditorDialog *editor = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *dialog = qobject_cast<ItemEditorDialog *>(w); dialog && dialog->isVisible())
            editor = dialog;
    ASSERT_NE(editor, nullptr) << "the card is shown in the item editor";
    EXPECT_TRUE(editor->windowTitle().contains(field<QLineEdit>("txtContact")->text()))
        << editor->windowTitle().toStdString();
    EXPECT_NE(startUp->store()
                  .cnnLink()
                  .scalar("SELECT ContactEntryID FROM tblContacts WHERE ContactID = ?", {contact})
                  .toString(),
              entryId)
        << "made again, and the row points at the new card";
    editor->close();
    close();
}
