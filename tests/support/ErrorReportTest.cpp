#include "support/ErrorReport.h"

#include "testsupport/ScriptedPrompts.h"
#include "testsupport/TempDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace quorvale;

namespace {

ErrorReportData sampleData()
{
    ErrorReportData data;
    data.version = "1.0.1";
    data.number = 3022;
    data.description = "Duplicate key %1 in tblTimeCards";
    data.source = "Microsoft JET Database Engine";
    data.trace = "modSettings: OpenDBX:\nfrmTimeCard: Form_LoadX:\n";
    return data;
}

QString readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

const QDateTime Noon(QDate(2024, 3, 5), QTime(12, 30, 7));

TEST(ErrorReportTest, WritesAPrivateReportAndNamesItToThePerson)
{
    test::TempDir dir;
    test::ScriptedPrompts prompts;
    ErrorReport report(prompts, dir.filePath("data"));
    report.setClock([] { return Noon; });

    const QString first = report.report(sampleData());
    ASSERT_EQ(first, dir.filePath("data/error-report-20240305-123007.txt"));
    EXPECT_EQ(QFileInfo(first).permissions() & 0x0777,
              QFileDevice::ReadUser | QFileDevice::WriteUser);
    const QString text = readAll(first);
    for (const char *part :
         {"Version: 1.0.1", "Number: 3022", "Description: Duplicate key %1 in tblTimeCards",
          "Source: Microsoft JET Database Engine", "modSettings: OpenDBX:\nfrmTimeCard"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(part))) << part;

    ASSERT_EQ(prompts.messages().size(), 1);
    EXPECT_TRUE(prompts.messages().at(0).text.contains(first));
    EXPECT_TRUE(prompts.messages().at(0).text.contains("Duplicate key %1"));

    // A second report in the same second does not overwrite the first.
    const QString second = report.report(sampleData());
    EXPECT_EQ(second, dir.filePath("data/error-report-20240305-123007-2.txt"));
    EXPECT_TRUE(QFileInfo::exists(first));
}

// The statement goes to the report, where whoever mends the fault reads it; what
// a person typed into it cannot drive the terminal the report is read in.
TEST(ErrorReportTest, TheReportKeepsTheStatementWithItsControlCharactersShownAsEscapes)
{
    test::TempDir dir;
    test::ScriptedPrompts prompts;
    ErrorReport report(prompts, dir.filePath("data"));
    ErrorReportData data = sampleData();
    data.description = QStringLiteral("Note \x1b]0;owned\x07 refused");
    data.detail = QStringLiteral("Statement: UPDATE tblTimeCards SET Note = ?\nEngine: \u009b2J");
    const QString path = report.report(data);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_FALSE(bytes.contains('\x1b'));
    EXPECT_FALSE(bytes.contains('\x07'));
    EXPECT_FALSE(bytes.contains("\xc2\x9b"));
    EXPECT_TRUE(bytes.contains("Note \\x1b]0;owned\\x07 refused"));
    EXPECT_TRUE(
        bytes.contains("Detail:\nStatement: UPDATE tblTimeCards SET Note = ?\nEngine: \\x9b2J"));
}

TEST(ErrorReportTest, AReportThatCannotBeWrittenIsStillTold)
{
    test::TempDir dir;
    QFile blocker(dir.filePath("blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    test::ScriptedPrompts prompts;
    ErrorReport report(prompts, dir.filePath("blocker/reports"));

    EXPECT_TRUE(report.report(sampleData()).isEmpty());
    ASSERT_EQ(prompts.messages().size(), 1);
    EXPECT_TRUE(prompts.messages().at(0).text.contains("could not be saved"));
    EXPECT_TRUE(prompts.messages().at(0).text.contains("3022"));
}

TEST(ErrorReportTest, TheDirectoryComesFromQuorvaleHomeWhenNoneIsGiven)
{
    test::TempDir dir;
    const QByteArray previous = qgetenv("QUORVALE_HOME");
    qputenv("QUORVALE_HOME", QFile::encodeName(dir.path()));
    test::ScriptedPrompts prompts;
    ErrorReport report(prompts);
    if (previous.isNull())
        qunsetenv("QUORVALE_HOME");
    else
        qputenv("QUORVALE_HOME", previous);

    EXPECT_EQ(report.directory(), dir.path());
    EXPECT_TRUE(report.report(sampleData()).startsWith(dir.path() + u'/'));
}

} // namespace
