// The Links page offscreen over a real program database and item store: the
// selector shows each kind's rows, Delete asks what to delete and gives a
// time-detail appointment's time back.

#include "ui/LinksPanel.h"

#include "DemoProgramFixture.h"
#include "data/DataStore.h"
#include "data/DatabaseSettings.h"
#include "outlook/OutlookSession.h"
#include "outlook/ProgramStoreFixture.h"
#include "platform/pim/AppointmentItem.h"
#include "platform/pim/Items.h"
#include "platform/pim/Namespace.h"
#include "platform/pim/TaskItem.h"
#include "platform/registry/Registry.h"
#include "qvadmin/InitCommand.h"
#include "settings/StartUp.h"
#include "support/ErrorHandler.h"
#include "support/ErrorReport.h"
#include "testsupport/LogCapture.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/ScriptedPrompts.h"
#include "testsupport/TempDir.h"
#include "timecards/Clock.h"
#include "timecards/CommandTable.h"
#include "timecards/TimeCardEditor.h"
#include "ui/LinkItemChooser.h"
#include "ui/MainWindowHost.h"
#include "ui/frmDeleteOption.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardItemModel>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <gtest/gtest.h>

using namespace quorvale;

namespace {

class LinksPanelTest : public test::ProgramStoreFixture {
protected:
    void SetUp() override
    {
        ASSERT_NO_FATAL_FAILURE(openProgramAndStore());
        cardId = cnn().insertReturningKey("INSERT INTO tblTimeCards (UserId) VALUES (1)", {},
                                          "TimeCardID");
        LinksPanelHooks hooks;
        hooks.timeCardId = [this] { return std::optional<qint64>(cardId); };
        hooks.timeSpent = [this] { return timeSpent; };
        hooks.writeTimeSpent = [this](const QString &value) {
            timeSpent = value;
            return true;
        };
        hooks.runTool = [this](int toolId) { toolsRun.append(toolId); };
        panel = std::make_unique<LinksPanel>(session, cnn(), prompts, errors, std::move(hooks));
        panel->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(panel.get()));
    }

    QString addAppointment(FolderSlot slot, const char *table, const QString &subject, int minutes)
    {
        std::unique_ptr<pim::Item> item = pim::Items(*session.folder(slot)).Add();
        auto *appointment = dynamic_cast<pim::AppointmentItem *>(item.get());
        appointment->setSubject(subject);
        appointment->setStart(QDateTime(QDate(2031, 2, 3), QTime(13, 0)));
        appointment->setDuration(minutes);
        appointment->Save();
        cnn().execute(QString("INSERT INTO %1 (EntryID, TimeCardID) VALUES (?, ?)").arg(table),
                      {appointment->EntryID(), cardId});
        return appointment->EntryID();
    }
    void choose(LinkListKind kind)
    {
        QComboBox *selector = panel->selector();
        selector->setFocus();
        selector->setCurrentIndex(static_cast<int>(kind));
        Q_EMIT selector->activated(static_cast<int>(kind));
    }
    QString cell(int row, int column) const
    {
        return panel->grid()->model()->index(row, column).data().toString();
    }
    // Answers the real dialog once it is up: the option by its button, then OK.
    void answerDeleteDialog(const char *option)
    {
        QTimer::singleShot(0, [option] {
            auto *dialog = qobject_cast<frmDeleteOption *>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->windowTitle(), "What should be deleted?");
            dialog->findChild<QRadioButton *>(option)->click();
            dialog->findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
        });
    }

    qint64 cardId = 0;
    QString timeSpent = "0010000";
    QList<int> toolsRun;
    std::unique_ptr<LinksPanel> panel;
};

} // namespace

TEST_F(LinksPanelTest, SelectorShowsEachKindsRowsAndAddRunsItsNewItemTool)
{
    EXPECT_EQ(panel->selector()->toolTip(), "Click to select the linked items to view.");
    EXPECT_EQ(panel->selector()->count(), LinkListKindCount);
    EXPECT_EQ(panel->selector()->itemText(4), "Scheduled Appointments");
    addAppointment(FolderSlot::ScheduledAppointments, "tblScheduledAppointments", "Kick-off", 60);
    addAppointment(FolderSlot::ScheduledAppointments, "tblScheduledAppointments", "Wrap-up", 30);
    addAppointment(FolderSlot::TimeCardAppointments, "tblTimedAppointments", "Timed", 45);

    choose(LinkListKind::ScheduledAppointments);
    EXPECT_EQ(panel->grid()->model()->rowCount(), 2);
    EXPECT_TRUE(panel->grid()->isColumnHidden(0));
    EXPECT_EQ(panel->grid()->model()->headerData(2, Qt::Horizontal).toString(), "Start");
    EXPECT_FALSE(panel->adjustTool()->isEnabled());
    panel->addTool()->trigger();
    EXPECT_EQ(toolsRun, QList<int>{ToolId::NewScheduledAppointment});

    choose(LinkListKind::TimeDetail);
    ASSERT_EQ(panel->grid()->model()->rowCount(), 1);
    EXPECT_EQ(cell(0, 1), "Timed");
    EXPECT_EQ(cell(0, 4), "00:45");
    EXPECT_TRUE(panel->adjustTool()->isEnabled());
    EXPECT_FALSE(panel->addTool()->isEnabled());
    // Adjust Time is reached from the keyboard by its letter.
    bool menuOpened = false;
    QTimer::singleShot(0, [&menuOpened] {
        QWidget *popup = QApplication::activePopupWidget();
        menuOpened = popup != nullptr;
        if (popup)
            popup->close();
    });
    panel->grid()->setFocus();
    QTest::keyClick(panel->grid(), Qt::Key_J, Qt::AltModifier);
    EXPECT_TRUE(menuOpened);

    // No charge dialog is wired: the charge kinds cannot add.
    choose(LinkListKind::Expenses);
    EXPECT_FALSE(panel->addTool()->isEnabled());
}

TEST_F(LinksPanelTest, DeleteLinkOnlyRemovesTheRowAndGivesTheTimeBack)
{
    const QString kept =
        addAppointment(FolderSlot::TimeCardAppointments, "tblTimedAppointments", "Timed", 45);
    choose(LinkListKind::TimeDetail);
    ASSERT_EQ(panel->grid()->model()->rowCount(), 1);

    answerDeleteDialog("optLinkOnly");
    panel->deleteTool()->trigger();
    EXPECT_EQ(panel->grid()->model()->rowCount(), 0);
    EXPECT_EQ(cnn().scalar("SELECT COUNT(*) FROM tblTimedAppointments").toInt(), 0);
    EXPECT_EQ(timeSpent, "0001500");
    // Only the link went: the appointment is still in the store.
    EXPECT_NE(session.nameSpace().itemFromId(kept, {}), nullptr);
    EXPECT_FALSE(panel->deleteTool()->isEnabled());
}

// Shows nothing: notes which item the page opened.
class RecordingInspector : public pim::Inspector {
public:
    bool display(pim::Item &item, bool) override
    {
        shown.append(item.EntryID());
        return false;
    }
    QStringList shown;
};

TEST_F(LinksPanelTest, ItemsASyncToolWroteUnderNewNamesAreListedAndOpened)
{
    const QString old =
        addAppointment(FolderSlot::TimeCardAppointments, "tblTimedAppointments", "Timed", 45);
    const QString folderId = pim::splitEntryId(old)->first;
    const QString dirPath = session.folder(FolderSlot::TimeCardAppointments)->path();
    const auto syncRename = [&](const QString &from, const QString &to) {
        const QString source = QDir(dirPath).filePath(pim::splitEntryId(from)->second);
        ASSERT_TRUE(QFile::copy(source, QDir(dirPath).filePath(to)));
        ASSERT_TRUE(QFile::remove(source));
    };
    syncRename(old, "synced-1.ics");
    choose(LinkListKind::TimeDetail);
    ASSERT_EQ(panel->grid()->model()->rowCount(), 1);
    EXPECT_EQ(cell(0, 1), "Timed");
    EXPECT_EQ(cnn().scalar("SELECT EntryID FROM tblTimedAppointments").toString(),
              folderId + "/synced-1.ics");

    // Renamed again while the list shows it: Edit still opens the item.
    RecordingInspector inspector;
    session.setInspector(&inspector);
    syncRename(folderId + "/synced-1.ics", "synced-2.ics");
    panel->editTool()->trigger();
    session.setInspector(nullptr);
    EXPECT_EQ(inspector.shown, QStringList{folderId + "/synced-2.ics"});
    EXPECT_EQ(cnn().scalar("SELECT EntryID FROM tblTimedAppointments").toString(),
              folderId + "/synced-2.ics");
    EXPECT_EQ(panel->grid()->model()->rowCount(), 1);
}

TEST_F(LinksPanelTest, FailedDeleteKeepsTheLinkAndTheTimeAndTasksShowTheirStatusTexts)
{
    addAppointment(FolderSlot::TimeCardAppointments, "tblTimedAppointments", "Timed", 45);
    choose(LinkListKind::TimeDetail);
    ASSERT_EQ(panel->grid()->model()->rowCount(), 1);
    cnn().execute("CREATE TEMP TRIGGER KeepTimed BEFORE DELETE ON tblTimedAppointments "
                  "BEGIN SELECT RAISE(ABORT, 'kept'); END");

    answerDeleteDialog("optLinkOnly");
    panel->deleteTool()->trigger();
    EXPECT_EQ(cnn().scalar("SELECT COUNT(*) FROM tblTimedAppointments").toInt(), 1);
    EXPECT_EQ(panel->grid()->model()->rowCount(), 1);
    EXPECT_EQ(timeSpent, "0010000");
    // The failure went to the common handler.
    EXPECT_GT(errors.errorCount(), 0);

    std::unique_ptr<pim::Item> item = pim::Items(*session.folder(FolderSlot::Tasks)).Add();
    auto *task = dynamic_cast<pim::TaskItem *>(item.get());
    task->setSubject("Done");
    task->setStatus(2);
    task->setImportance(2);
    task->Save();
    cnn().execute("INSERT INTO tblTasks (EntryID, TimeCardID) VALUES (?, ?)",
                  {task->EntryID(), cardId});
    choose(LinkListKind::PersonalTasks);
    ASSERT_EQ(panel->grid()->model()->rowCount(), 1);
    EXPECT_EQ(cell(0, 3), "Completed");
    EXPECT_EQ(cell(0, 4), "High");
}

namespace {

// Runs `step` on the link chooser once it is the modal window: it opens only
// after its folder has been read on the reading thread.
void whenChooserShows(std::function<void(LinkItemChooser &)> step)
{
    auto *poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, step = std::move(step)] {
        auto *chooser = qobject_cast<LinkItemChooser *>(QApplication::activeModalWidget());
        if (!chooser || !chooser->isVisible())
            return;
        poll->stop();
        poll->deleteLater();
        step(*chooser);
    });
    poll->start(5);
}

// The demo program behind the real main window.
struct LinksOnMainWindow : test::DemoProgramFixture {
    void SetUp() override
    {
        clock.set(QDateTime(QDate(2031, 4, 1), QTime(9, 0)));
        makeDemo();
        ASSERT_NO_FATAL_FAILURE(startProgram());
        host->show();
    }
    void TearDown() override
    {
        host.reset();
        startUp.reset();
    }
};

} // namespace

TEST_F(LinksOnMainWindow, ChosenExistingTasksAreLinkedOnceAndTheListFollowsTheTimeCard)
{
    OutlookSession &outlook = startUp->outlook();
    for (const char *subject : {"Call the bank", "File the return"}) {
        std::unique_ptr<pim::Item> task = pim::Items(*outlook.folder(FolderSlot::Tasks)).Add();
        task->setSubject(subject);
        task->Save();
    }
    frmTimeCard &window = host->window();
    auto *panel = window.findChild<LinksPanel *>("LinksPanel");
    ASSERT_NE(panel, nullptr);
    window.fields().setCurrentWidget(panel);
    EXPECT_EQ(window.fields().tabText(window.fields().currentIndex()), "Lin&ks");
    ASSERT_TRUE(window.toolById(ToolId::LinkExistingTasks)->isEnabled());
    const qint64 card = *host->editor().currentTimeCardId();

    const auto chooseAll = [] {
        whenChooserShows([](LinkItemChooser &chooser) {
            ASSERT_EQ(chooser.list()->topLevelItemCount(), 2);
            chooser.list()->selectAll();
            chooser.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Ok)->click();
        });
    };
    chooseAll();
    window.abMainMenu_ToolClick(ToolId::LinkExistingTasks);
    chooseAll();
    window.abMainMenu_ToolClick(ToolId::LinkExistingTasks);
    EXPECT_EQ(startUp->store()
                  .cnnLink()
                  .scalar("SELECT COUNT(*) FROM tblTasks WHERE TimeCardID = ?", {card})
                  .toInt(),
              2);
    EXPECT_EQ(panel->kind(), LinkListKind::PersonalTasks);
    ASSERT_EQ(panel->grid()->model()->rowCount(), 2);
    // Linked items carry the TimeCard's marks as items made from it do.
    const auto task = outlook.nameSpace().itemFromId(panel->list().eid(0).toString(), {});
    ASSERT_NE(task, nullptr);
    EXPECT_EQ(task->property("TimeCardID").toLongLong(), card);

    // Another TimeCard shows its own links, none here.
    window.abMainMenu_ToolClick(
        window.toolById(ToolId::GoToNext)->isEnabled() ? ToolId::GoToNext : ToolId::GoToPrevious);
    ASSERT_NE(host->editor().currentTimeCardId(), card);
    EXPECT_EQ(panel->grid()->model()->rowCount(), 0);
}

TEST_F(LinksOnMainWindow, ChooserListsTheFolderReadOffTheWindowThreadWithoutTheHugeFile)
{
    OutlookSession &outlook = startUp->outlook();
    const pim::Folder tasks = *outlook.folder(FolderSlot::Tasks);
    for (const char *subject : {"Call the bank", "File the return"}) {
        std::unique_ptr<pim::Item> task = pim::Items(tasks).Add();
        task->setSubject(subject);
        task->Save();
    }
    QFile huge(QDir(tasks.path()).filePath("huge.ics"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.write("BEGIN:VCALENDAR\r\nVERSION:2.0\r\nBEGIN:VTODO\r\nSUMMARY:Huge\r\n") >
                0);
    ASSERT_TRUE(huge.resize(pim::MaxCalendarItemFileBytes + 1));
    huge.close();

    test::LogCapture log;
    QStringList shown;
    whenChooserShows([&shown](LinkItemChooser &chooser) {
        for (int i = 0; i < chooser.list()->topLevelItemCount(); ++i)
            shown << chooser.list()->topLevelItem(i)->text(0);
        chooser.reject();
    });
    host->window().abMainMenu_ToolClick(ToolId::LinkExistingTasks);
    shown.sort();
    EXPECT_EQ(shown, (QStringList{"Call the bank", "File the return"}));
    const QList<test::LogCapture::Line> lines = test::LogCapture::lines();
    const auto note = std::find_if(lines.begin(), lines.end(),
                                   [](const auto &line) { return line.text.contains("huge.ics"); });
    ASSERT_NE(note, lines.end());
    EXPECT_NE(note->thread, qApp->thread());
    EXPECT_EQ(startUp->store().cnnLink().scalar("SELECT COUNT(*) FROM tblTasks").toInt(), 0);
}
