#include "timecards/ReportRunner.h"

#include "qvadmin/CommandLine.h"
#include "qvadmin/ReportKinds.h"
#include "testsupport/ScriptedPrompts.h"
#include "testsupport/TempDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>
#include <gtest/gtest.h>
#include <memory>

using namespace quorvale;
using namespace quorvale::test;

namespace {

// QProcess wants an application object; these tests have no main of their own.
void ensureApplication()
{
    static int argc = 1;
    static char name[] = "test_timecards";
    static char *argv[] = {name, nullptr};
    static std::unique_ptr<QCoreApplication> app;
    if (!QCoreApplication::instance())
        app = std::make_unique<QCoreApplication>(argc, argv);
}

// The build puts the test binaries in build/tests and qvadmin in build/tools/qvadmin.
QString builtAdministratorDir()
{
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath() +
           QStringLiteral("/../tools/qvadmin");
}

class ReportRunnerTest : public ::testing::Test {
protected:
    void SetUp() override { ensureApplication(); }

    ReportSource demoSource()
    {
        QString out, err;
        QTextStream o(&out), e(&err);
        const int rc = admin::runCommandLine(
            {"--settings", m_tmp.filePath("settings.ini"), "--program-dir",
             m_tmp.filePath("program"), "--data-dir", m_tmp.filePath("data"), "init", "--demo"},
            o, e);
        EXPECT_EQ(rc, 0) << err.toStdString();
        ReportSource source;
        source.programDir = m_tmp.filePath("program");
        source.settingsFile = m_tmp.filePath("settings.ini");
        source.userId = 1;
        source.outputDir = m_tmp.filePath("reports");
        return source;
    }

    TempDir m_tmp;
    ScriptedPrompts m_prompts;
};

TEST_F(ReportRunnerTest, TheAdministratorIsFoundBesideTheProgramNeverByABuildTreePath)
{
    const auto executable = [](const QString &path) {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\n");
        file.close();
        file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
    };
    // Installed: both programs in the prefix's bin/.
    const QString bin = m_tmp.filePath("prefix/bin");
    executable(bin + "/qvadmin");
    ReportRunner installed(m_prompts, bin);
    installed.setSearchPath({});
    EXPECT_EQ(installed.locateAdministrator(), QFileInfo(bin + "/qvadmin").canonicalFilePath());

    // A program whose tool lies only where a build tree would keep it.
    const QString app = m_tmp.filePath("build/src/app");
    QDir().mkpath(app);
    executable(m_tmp.filePath("build/tools/qvadmin/qvadmin"));
    ReportRunner built(m_prompts, app);
    built.setSearchPath({});
    EXPECT_TRUE(built.locateAdministrator().isEmpty());
}

TEST_F(ReportRunnerTest, MissingAdministratorIsToldAndReported)
{
    const QString empty = m_tmp.filePath("empty");
    QDir().mkpath(empty);
    ReportRunner runner(m_prompts, empty);
    runner.setSearchPath({empty});
    EXPECT_TRUE(runner.locateAdministrator().isEmpty());

    const ReportOutcome outcome = runner.PrintReports("timecards", demoSource());
    ASSERT_FALSE(outcome.ok());
    EXPECT_EQ(outcome.error->description(), "Cannot locate Administrator program");
    ASSERT_EQ(m_prompts.messages().size(), 1);
    EXPECT_EQ(m_prompts.messages()[0].title, "Missing Program");
    EXPECT_EQ(m_prompts.messages()[0].text, "Cannot locate Administrator program");
    EXPECT_FALSE(QFile::exists(m_tmp.filePath("reports")));
}

TEST_F(ReportRunnerTest, RunsTheAdministratorAndHandsBackTheHtmlPage)
{
    ReportRunner runner(m_prompts, builtAdministratorDir());
    if (runner.locateAdministrator().isEmpty())
        GTEST_SKIP() << "qvadmin is not built beside the tests";
    const ReportSource source = demoSource();

    const ReportOutcome outcome = runner.PrintReports(reportKindForTool(1043), source);
    ASSERT_TRUE(outcome.ok()) << outcome.error->description().toStdString();
    EXPECT_TRUE(outcome.htmlPath.startsWith(source.outputDir));
    QFile page(outcome.htmlPath);
    ASSERT_TRUE(page.open(QIODevice::ReadOnly));
    EXPECT_TRUE(page.readAll().contains("<h1>Work In Process</h1>"));
    // The same rows for a spreadsheet, beside the page.
    EXPECT_TRUE(outcome.csvPath.endsWith(".csv"));
    EXPECT_EQ(QFileInfo(outcome.csvPath).dir(), QFileInfo(outcome.htmlPath).dir());
    EXPECT_TRUE(QFile::exists(outcome.csvPath));

    // What the report dialog asks for reaches the tool whole.
    const ReportOutcome week = runner.PrintReports(
        ReportRequest{"timesheet", QDate(2026, 12, 7), QDate(2026, 12, 13), 1, "open"}, source);
    ASSERT_TRUE(week.ok()) << week.error->description().toStdString();
    QFile sheet(week.htmlPath);
    ASSERT_TRUE(sheet.open(QIODevice::ReadOnly));
    EXPECT_TRUE(sheet.readAll().contains("2026-12-07 to 2026-12-13"));

    // qvadmin's own reason reaches the caller.
    const ReportOutcome unknown = runner.PrintReports("payroll", source);
    ASSERT_FALSE(unknown.ok());
    EXPECT_TRUE(unknown.error->description().contains("Unknown report 'payroll'"));
    EXPECT_TRUE(m_prompts.messages().isEmpty());
}

TEST_F(ReportRunnerTest, AServerReachesTheAdministratorOutsideItsCommandLine)
{
    ReportRunner runner(m_prompts, builtAdministratorDir());
    if (runner.locateAdministrator().isEmpty())
        GTEST_SKIP() << "qvadmin is not built beside the tests";
    ReportSource source = demoSource();
    // A string qvadmin refuses before connecting: its answer shows it read the
    // server (the local demo database would have given a report).
    source.server = QStringLiteral("DSN=QuorvaleNoSuchDsn;UID=ann;PWD=s3cret;");
    const ReportOutcome outcome = runner.PrintReports(QStringLiteral("timecards"), source);
    ASSERT_FALSE(outcome.ok());
    EXPECT_TRUE(outcome.error->description().contains("names no database"))
        << outcome.error->description().toStdString();
}

TEST(ReportKindForTool, EveryReportAndBillingToolNamesAKindTheAdministratorKnows)
{
    for (int id : {1013, 1014, 1015, 1020, 1021, 1022, 1023, 1024, 1025, 1026, 1027, 1028, 1041,
                   1042, 1043, 1044})
        EXPECT_NE(admin::findReportKind(reportKindForTool(id)), nullptr) << id;
    EXPECT_TRUE(reportKindForTool(1034).isEmpty());
}

} // namespace
