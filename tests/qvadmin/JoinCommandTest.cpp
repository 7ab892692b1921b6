// qvadmin join: a second person's program directory reaches a firm's existing
// database, as the set-up window does it.

#include "AdminFixture.h"
#include "platform/registry/Registry.h"

#include <QFileInfo>
#include <gtest/gtest.h>

using namespace quorvale;
using namespace quorvale::test;

namespace {

class JoinCommandTest : public AdminFixture {
protected:
    void SetUp() override { initHere({"--demo"}); }

    QString second(const char *name) const { return m_tmp.filePath(QLatin1String(name)); }
    CommandOutput join(const QStringList &extra) const
    {
        return run(QStringList{"--program-dir", second("second"), "--settings",
                               second("second.ini"), "--data-dir", dataDir(), "join"} +
                   extra);
    }
};

TEST_F(JoinCommandTest, ASecondPersonJoinsAsAUserOfTheDatabase)
{
    const CommandOutput o = join({"--user", "maren holt"});
    ASSERT_EQ(o.result, 0) << o.err.toStdString();
    EXPECT_TRUE(o.out.contains("as Maren Holt")) << o.out.toStdString();
    for (const char *file : {"QVLink.db", "QVLocal.db", "QVReport.db"})
        EXPECT_TRUE(QFileInfo::exists(second("second/") + file)) << file;
    Registry settings(second("second.ini"));
    EXPECT_EQ(settings.openSubKey("License").readText("User Name"), "Maren Holt");
    EXPECT_EQ(settings.openSubKey("Database").readText("Data Source"), dataDir());
    EXPECT_FALSE(settings.openSubKey("Database").readText("Setup Date").isEmpty());

    // Joining again would re-point this computer: only when asked.
    const CommandOutput again = join({"--user", "1"});
    EXPECT_NE(again.result, 0);
    EXPECT_TRUE(again.err.contains("--force")) << again.err.toStdString();
    ASSERT_EQ(join({"--user", "1", "--force"}).result, 0);
    EXPECT_EQ(Registry(second("second.ini")).openSubKey("License").readText("User ID"), "1");
}

TEST_F(JoinCommandTest, WhatCannotBeJoinedIsSaidAndNothingIsWritten)
{
    const CommandOutput nobody = join({"--user", "No Such Person"});
    EXPECT_NE(nobody.result, 0);
    EXPECT_TRUE(nobody.err.contains("Maren Holt"))
        << "the users are named: " << nobody.err.toStdString();
    const CommandOutput noDatabase = run({"--program-dir", second("third"), "--settings",
                                          second("third.ini"), "join", "--user", "1"});
    EXPECT_NE(noDatabase.result, 0);
    EXPECT_TRUE(noDatabase.err.contains("--data-dir")) << noDatabase.err.toStdString();
    const CommandOutput empty =
        run({"--program-dir", second("third"), "--settings", second("third.ini"), "--data-dir",
             second("nowhere"), "join", "--user", "1"});
    EXPECT_NE(empty.result, 0);
    EXPECT_TRUE(empty.err.contains("There is no program database")) << empty.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(second("second/QVLink.db")));
    EXPECT_FALSE(QFileInfo::exists(second("third/QVLink.db")));
}

} // namespace
