#include "DemoProgramFixture.h"
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
#include "timecards/TimeCalcs.h"
#include "timecards/TimeCardEditor.h"
#include "ui/ItemEditorDialog.h"
#include "ui/MainWindowHost.h"
#include "ui/frmNewItem.h"
#include "ui/frmOutOfOffice.h"

#include <QApplication>
#include <QDirIterator>
#include <QFile>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace quorvale;

namespace {

// The person at whatever modal window a command opens: takes the link to the
// TimeCard, saves the item, accepts the out-of-office time as offered.
class Person {
public:
    Person()
    {
        m_timer.setInterval(20);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal)
                return;
            m_seen << modal->windowTitle();
            if (auto *choice = dynamic_cast<frmNewItem *>(modal)) {
                choice->modeButton(LinkMode::TimeCard)->setChecked(true);
                choice->accept();
            } else if (auto *editor = dynamic_cast<ItemEditorDialog *>(modal)) {
                editor->saveAndClose();
            } else if (auto *away = dynamic_cast<frmOutOfOffice *>(modal)) {
                away->timeDetail()->setPlainText(QStringLiteral("Site visit at the depot"));
                away->accept();
            } else if (auto *dialog = qobject_cast<QDialog *>(modal)) {
                dialog->reject();
            }
        });
        m_timer.start();
    }
    const QStringList &seen() const { return m_seen; }

private:
    QTimer m_timer;
    QStringList m_seen;
};

class NewItemCommandsTest : public test::DemoProgramFixture {
protected:
    void SetUp() override
    {
        makeDemo(QStringLiteral("Dana O'Neil"));
        ASSERT_NO_FATAL_FAILURE(startProgram());
        host->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&host->window()));
    }
    void TearDown() override
    {
        prompts.answerAlways(QStringLiteral("Save Changes"), PromptResult::Yes);
        if (host)
            host->window().close();
        host.reset();
        startUp.reset();
    }
    qlonglong linksOfCurrent(const char *table)
    {
        return startUp->store()
            .cnnLink()
            .scalar(QStringLiteral("SELECT COUNT(*) FROM %1 WHERE TimeCardID = ?")
                        .arg(QLatin1String(table)),
                    {host->commands().currentTimeCardId()})
            .toLongLong();
    }
};

} // namespace

TEST_F(NewItemCommandsTest, MenuCommandsLinkTheirItemsToTheCurrentTimeCard)
{
    frmTimeCard &window = host->window();
    const qlonglong notes = linksOfCurrent("tblNotes");
    const qlonglong timed = linksOfCurrent("tblTimedAppointments");
    Person person;

    window.abMainMenu_ToolClick(ToolId::NewNote);
    EXPECT_EQ(linksOfCurrent("tblNotes"), notes + 1) << prompts.messages().size();
    EXPECT_EQ(window.statusBar()->currentMessage(), QStringLiteral("Review"));

    const auto spentSeconds = [this] {
        return ConvertTimeToSeconds(
            host->editor().timeCards().value(QStringLiteral("Quantity")).toString());
    };
    const qint64 spentBefore = spentSeconds();
    window.abMainMenu_ToolClick(ToolId::ManualAppointment);
    EXPECT_EQ(linksOfCurrent("tblTimedAppointments"), timed + 1);
    // The hour away counts on the TimeCard, and what it was spent on reaches the appointment.
    EXPECT_EQ(spentSeconds(), spentBefore + 3600);
    bool detailWritten = false;
    for (QDirIterator it(tmp.filePath(QStringLiteral("items")), {QStringLiteral("*.ics")},
                         QDir::Files, QDirIterator::Subdirectories);
         it.hasNext();) {
        QFile file(it.next());
        detailWritten |= file.open(QIODevice::ReadOnly) && file.readAll().contains("Site visit");
    }
    EXPECT_TRUE(detailWritten);
    EXPECT_TRUE(person.seen().contains(QStringLiteral(" New Note")));
    EXPECT_TRUE(person.seen().contains(QStringLiteral(" Out-Of-Office Time")));

    EXPECT_TRUE(window.toolById(ToolId::NewExpense)->isEnabled());
    EXPECT_TRUE(window.toolById(ToolId::AutoTasks)->isEnabled());
}
