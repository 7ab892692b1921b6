// A start whose settings ask for the initial set-up, through the real prompts: the
// person is told what is missing and how to make it, instead of the program ending
// without a word.

#include "platform/registry/Registry.h"
#include "platform/registry/RegistryKey.h"
#include "qvadmin/InitCommand.h"
#include "settings/StartUp.h"
#include "support/ErrorHandler.h"
#include "support/ErrorReport.h"
#include "testsupport/TempDir.h"
#include "ui/DemoProgramFixture.h"
#include "ui/QtPrompts.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

using namespace quorvale;

TEST(StartUpNeedsSetUp, SaysHowToSetUpAndEnds)
{
    test::TempDir tmp;
    const QString programDir = tmp.filePath(QStringLiteral("prog"));
    const QString settingsFile = tmp.filePath(QStringLiteral("settings.ini"));
    test::makeDemoProgram(programDir, settingsFile, QStringLiteral("Ann"));
    Registry(settingsFile)
        .openSubKey(QStringLiteral("Database"))
        .writeText(QStringLiteral("Setup Date"), QString());

    QtPrompts prompts;
    ErrorReport report{prompts, tmp.filePath(QStringLiteral("reports"))};
    ErrorHandler errors{report};
    int endedWith = 0;
    errors.terminate = [&](int code) { endedWith = code; };
    Registry registry(settingsFile);
    StartUp startUp(registry, prompts, errors,
                    StartUpEnvironment{programDir, tmp.filePath(QStringLiteral("items")),
                                       QStringLiteral("HH:mm:ss"), 1, QString()});

    QString title;
    QString text;
    QTimer::singleShot(0, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            title = box->windowTitle();
            text = box->text();
            box->accept();
        }
    });
    EXPECT_FALSE(startUp.Form_Load());
    EXPECT_EQ(title, QLatin1String("Set-up Needed"));
    EXPECT_TRUE(text.contains(QLatin1String("qvadmin init --user"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QLatin1String("qvadmin init --demo")));
    EXPECT_TRUE(text.contains(programDir));
    EXPECT_EQ(endedWith, 0);
}
