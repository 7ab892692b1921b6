#pragma once

#include "platform/registry/Registry.h"
#include "settings/StartUp.h"
#include "support/ErrorHandler.h"
#include "support/ErrorReport.h"
#include "testsupport/DemoProgram.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/ScriptedPrompts.h"
#include "testsupport/TempDir.h"
#include "timecards/Clock.h"
#include "ui/MainWindowHost.h"

#include <gtest/gtest.h>
#include <memory>

namespace quorvale::test {

// The real program on a demo program directory, as `qvadmin init --demo` makes
// it: start-up through its chain, then the main window with all its commands.
// The program's end is recorded in endedWith instead of carried out.
class DemoProgramFixture : public ::testing::Test {
protected:
    void makeDemo(const QString &userName = QStringLiteral("Ann O'Hara"))
    {
        makeDemoProgram(programDir, settingsFile, userName);
        errors.terminate = [this](int code) { endedWith = code; };
    }
    // Starts the program afresh (call inside ASSERT_NO_FATAL_FAILURE); the
    // window is built but not shown.
    void startProgram()
    {
        host.reset();
        startUp.reset();
        registry = std::make_unique<Registry>(settingsFile);
        startUp = std::make_unique<StartUp>(
            *registry, prompts, errors,
            StartUpEnvironment{programDir, tmp.filePath(QStringLiteral("items")),
                               QStringLiteral("HH:mm:ss"), 1, QString()});
        ASSERT_TRUE(startUp->Form_Load());
        host = std::make_unique<MainWindowHost>(programParts(*startUp), *startUp, *registry,
                                                prompts, errors, &clock);
    }
    db::Connection &cnn() { return startUp->store().cnnLink(); }

    TempDir tmp;
    QString programDir = tmp.filePath(QStringLiteral("prog"));
    QString settingsFile = tmp.filePath(QStringLiteral("settings.ini"));
    ScriptedPrompts prompts;
    FixedClock clock{QDateTime::currentDateTime()};
    ErrorReport report{prompts, tmp.filePath(QStringLiteral("reports"))};
    ErrorHandler errors{report};
    int endedWith = 0;
    std::unique_ptr<Registry> registry;
    std::unique_ptr<StartUp> startUp;
    std::unique_ptr<MainWindowHost> host;
};

} // namespace quorvale::test
