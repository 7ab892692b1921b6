// The Payment/Credit command on the real main window: it opens the payment
// window modally, and only for a user allowed to record payments.

#include "ui/PaymentCommands.h"

#include "platform/registry/Registry.h"
#include "qvadmin/InitCommand.h"
#include "settings/StartUp.h"
#include "support/ErrorHandler.h"
#include "support/ErrorReport.h"
#include "testsupport/ScriptedPrompts.h"
#include "testsupport/TempDir.h"
#include "timecards/Clock.h"
#include "timecards/CommandTable.h"
#include "ui/MainWindowHost.h"
#include "ui/frmPayments.h"

#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace quorvale;

namespace {

class PaymentCommandsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        admin::GlobalOptions globals;
        globals.programDir = programDir;
        globals.settingsFile = settingsFile;
        Registry adminRegistry(settingsFile);
        admin::initialise(
            {admin::locationForInit(globals), QStringLiteral("Dana O'Neil"), true, false},
            adminRegistry);
        errors.terminate = [this](int code) { endedWith = code; };
    }

    void open()
    {
        registry = std::make_unique<Registry>(settingsFile);
        startUp = std::make_unique<StartUp>(
            *registry, prompts, errors,
            StartUpEnvironment{programDir, tmp.filePath(QStringLiteral("items")),
                               QStringLiteral("HH:mm:ss"), 1, QString()});
        ASSERT_TRUE(startUp->Form_Load());
        host = std::make_unique<MainWindowHost>(*startUp, *registry, prompts, errors, &clock);
        commands = std::make_unique<PaymentCommands>(host->window(), *startUp, prompts);
    }

    void close()
    {
        commands.reset();
        host->window().close();
        host.reset();
        startUp.reset();
    }

    test::TempDir tmp;
    QString programDir = tmp.filePath(QStringLiteral("prog"));
    QString settingsFile = tmp.filePath(QStringLiteral("settings.ini"));
    test::ScriptedPrompts prompts;
    FixedClock clock{QDateTime::currentDateTime()};
    ErrorReport report{prompts, tmp.filePath(QStringLiteral("reports"))};
    ErrorHandler errors{report};
    int endedWith = 0;
    std::unique_ptr<Registry> registry;
    std::unique_ptr<StartUp> startUp;
    std::unique_ptr<MainWindowHost> host;
    std::unique_ptr<PaymentCommands> commands;
};

} // namespace

TEST_F(PaymentCommandsTest, OpensThePaymentWindowOnlyWhenPaymentsAreAllowed)
{
    open();
    ASSERT_TRUE(startUp->options().billingInUse);
    ASSERT_TRUE(startUp->permissions().payments);
    EXPECT_TRUE(commands->handles(ToolId::NewPayment));
    EXPECT_FALSE(commands->handles(ToolId::NewPayment + 1));

    QString opened;
    QTimer::singleShot(0, [&opened] {
        if (auto *window = qobject_cast<frmPayments *>(QApplication::activeModalWidget())) {
            opened = window->windowTitle();
            window->exitButton()->click();
        }
    });
    commands->run(ToolId::NewPayment);
    EXPECT_EQ(opened, " Quorvale for Outlook:  New Payments");

    // Without the payments permission the command is not there to run.
    startUp->store().cnnLink().execute(QStringLiteral("UPDATE tblPermissions SET Payments = 0"));
    close();
    open();
    EXPECT_FALSE(commands->handles(ToolId::NewPayment));
    EXPECT_EQ(endedWith, 0);
}
