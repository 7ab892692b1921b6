// A second person joining a firm's program database: what the set-up shows of
// the chosen database, its users, and what joining writes, all or nothing.

#include "settings/JoinDatabase.h"

#include "data/DatabaseSettings.h"
#include "platform/core/QvError.h"
#include "platform/db/Connection.h"
#include "platform/registry/Registry.h"
#include "platform/registry/RegistryPaths.h"
#include "qvadmin/InitCommand.h"
#include "testsupport/FullDisk.h"
#include "testsupport/TempDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace quorvale;
using quorvale::test::TempDir;

namespace {

class JoinDatabaseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        admin::InitOptions init;
        init.location.programDir = tmp.filePath("first");
        init.location.dataDir = tmp.filePath("shared");
        init.userName = QStringLiteral("Ann O'Hara");
        init.demo = true;
        Registry firstSettings(tmp.filePath("first.ini"));
        admin::initialise(init, firstSettings);
    }

    QString shared() const { return tmp.filePath("shared"); }
    QString settingsValue(const char *key, const char *name)
    {
        return registry.openSubKey(QLatin1String(key)).readText(QLatin1String(name));
    }
    QString refusal(const std::function<void()> &run)
    {
        try {
            run();
        } catch (const QvError &e) {
            return e.description();
        }
        return {};
    }

    TempDir tmp;
    Registry registry{tmp.filePath("second.ini")};
};

TEST(JoinSummary, ShowsTheDatabaseTheWayTheSetUpWindowDoes)
{
    const JoinSummary file = summarize(JoinChoice::file(QStringLiteral("/srv/firm")));
    EXPECT_EQ(file.kind, "Microsoft Access");
    EXPECT_EQ(file.server, "Server");
    EXPECT_EQ(file.catalog, "N/A");
    EXPECT_EQ(file.user, "admin");
    EXPECT_EQ(file.dataDirectory, QDir::toNativeSeparators("/srv/firm"));

    // A data source: the name after "DSN=", without the closing semicolon.
    const JoinSummary dsn = summarize(
        JoinChoice::fromConnectString("DSN=FirmData;Database=quorvale;UID=ann;PWD=secret;"));
    EXPECT_EQ(dsn.kind, "Microsoft SQL Server");
    EXPECT_EQ(dsn.server, "DSN: FirmData");
    EXPECT_EQ(dsn.catalog, "quorvale");
    EXPECT_EQ(dsn.user, "ann");
    // A server named by its host: up to the next semicolon.
    EXPECT_EQ(summarize(JoinChoice::fromConnectString(
                            "DRIVER={PostgreSQL Unicode};Server=db.firm.example;Port=5432;"
                            "Database=quorvale;UID=ann;"))
                  .server,
              "Server: db.firm.example");
    // Naming QVData.db itself chooses its folder.
    EXPECT_EQ(JoinChoice::file("/srv/firm/QVData.db").dataDir, "/srv/firm");
    EXPECT_EQ(JoinChoice::file("/srv/firm/").dataDir, "/srv/firm");
    EXPECT_THROW(JoinChoice::fromConnectString("DSN=FirmData;UID=ann;"), QvError);
}

TEST_F(JoinDatabaseTest, TheUsersOfTheChosenDatabaseAreListedByName)
{
    const std::vector<ProgramUser> users =
        listProgramUsers(JoinChoice::file(shared() + "/QVData.db"));
    ASSERT_EQ(users.size(), 5u);
    for (std::size_t i = 1; i < users.size(); ++i)
        EXPECT_LE(users[i - 1].name.compare(users[i].name, Qt::CaseInsensitive), 0);
    EXPECT_TRUE(std::any_of(users.begin(), users.end(),
                            [](const ProgramUser &u) { return u.name == "Ann O'Hara"; }));

    // What is wrong is said, and the chosen files stay as they were.
    EXPECT_TRUE(refusal([&] {
                    listProgramUsers(JoinChoice::file(tmp.filePath("first")));
                }).contains("There is no program database"));
    QDir().mkpath(tmp.filePath("junk"));
    QFile junk(tmp.filePath("junk/QVData.db"));
    ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
    junk.write("not a database at all");
    junk.close();
    EXPECT_TRUE(refusal([&] {
                    listProgramUsers(JoinChoice::file(tmp.filePath("junk")));
                }).contains("could not be opened as a program database"));
    EXPECT_EQ(QFileInfo(tmp.filePath("junk/QVData.db")).size(), 21);
    {
        db::Connection other;
        QDir().mkpath(tmp.filePath("other"));
        db::Connection::createSqliteFile(tmp.filePath("other/QVData.db"));
        other.open(ConnectionStrings::programDatabase(tmp.filePath("other")));
        other.execute("CREATE TABLE tblUsers (UserID INTEGER PRIMARY KEY, UserName TEXT)");
    }
    EXPECT_TRUE(refusal([&] {
                    listProgramUsers(JoinChoice::file(tmp.filePath("other")));
                }).contains("is not a Quorvale program database"));
    {
        db::Connection c;
        c.open(ConnectionStrings::programDatabase(shared()));
        c.execute("DELETE FROM tblUsers");
    }
    EXPECT_TRUE(refusal([&] {
                    listProgramUsers(JoinChoice::file(shared()));
                }).contains("has no users yet"));
}

TEST_F(JoinDatabaseTest, JoiningWritesTheLinksAndTheSettingsAndKeepsAPersonsOwnDatabases)
{
    const JoinChoice choice = JoinChoice::file(shared());
    const std::vector<ProgramUser> users = listProgramUsers(choice);
    const ProgramUser maren = *std::find_if(
        users.begin(), users.end(), [](const ProgramUser &u) { return u.name == "Maren Holt"; });
    const QString programDir = tmp.filePath("second");
    // A person's local database from before, with something in it.
    {
        QDir().mkpath(programDir);
        db::Connection local;
        db::Connection::createSqliteFile(programDir + "/QVLocal.db");
        local.open(ConnectionStrings::localDatabase(programDir));
        local.execute("CREATE TABLE kept (x INTEGER)");
    }
    std::vector<int> steps;
    joinProgramDatabase(registry, programDir, choice, maren,
                        [&](int step, int of, const QString &text) {
                            EXPECT_EQ(of, 3);
                            EXPECT_FALSE(text.isEmpty());
                            steps.push_back(step);
                        });
    EXPECT_EQ(steps, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(settingsValue(RegistryPaths::Database, "Data Source"), shared());
    EXPECT_EQ(settingsValue(RegistryPaths::Database, "Provider"), QLatin1String(JetProvider));
    EXPECT_FALSE(settingsValue(RegistryPaths::Database, "Setup Date").isEmpty());
    EXPECT_EQ(settingsValue(RegistryPaths::License, "User Name"), "Maren Holt");
    EXPECT_EQ(settingsValue(RegistryPaths::License, "User ID"), QString::number(maren.id));
    for (const char *file : {"QVLink.db", "QVLocal.db", "QVReport.db"})
        EXPECT_TRUE(QFileInfo::exists(programDir + "/" + file)) << file;
    db::Connection local;
    local.open(ConnectionStrings::localDatabase(programDir));
    EXPECT_TRUE(local.tables().contains("kept"));
    db::Connection link;
    link.open(ConnectionStrings::linkDatabase(programDir));
    EXPECT_EQ(link.scalar("SELECT COUNT(DISTINCT LinkDatasource) FROM tblLinkCatalog").toInt(), 1);
    EXPECT_EQ(link.scalar("SELECT LinkDatasource FROM tblLinkCatalog").toString(),
              shared() + "/QVData.db");

    // The options row says whether the administrator's defaults come along.
    db::Connection data;
    data.open(ConnectionStrings::programDatabase(shared()));
    EXPECT_FALSE(administratorDefaultsApply(data));
    data.execute("UPDATE tblAdminOptions SET RecordID = 21");
    EXPECT_TRUE(administratorDefaultsApply(data));
}

TEST_F(JoinDatabaseTest, AJoinThatCannotBeWrittenLeavesFilesAndSettingsAsTheyWere)
{
    const JoinChoice choice = JoinChoice::file(shared());
    const ProgramUser ann = listProgramUsers(choice).front();
    registry.openSubKey(QLatin1String(RegistryPaths::License))
        .writeText(QStringLiteral("User Name"), QStringLiteral("Someone Before"));

    test::FullDisk disk(256 * 1024);
    disk.fill(4096);
    const QString message =
        refusal([&] { joinProgramDatabase(registry, disk.filePath("program"), choice, ann); });
    EXPECT_FALSE(message.isEmpty());
    EXPECT_EQ(settingsValue(RegistryPaths::License, "User Name"), "Someone Before");
    EXPECT_TRUE(settingsValue(RegistryPaths::Database, "Setup Date").isEmpty());
    for (const char *file : {"QVLink.db", "QVLocal.db", "QVReport.db"})
        EXPECT_FALSE(QFileInfo::exists(disk.filePath(QStringLiteral("program/") + file))) << file;

    // A user the administrator removed in the meantime is not joined as.
    ProgramUser gone = ann;
    gone.id = 98765;
    EXPECT_TRUE(refusal([&] {
                    joinProgramDatabase(registry, tmp.filePath("p"), choice, gone);
                }).contains("has no user"));
    EXPECT_FALSE(QFileInfo::exists(tmp.filePath("p/QVLink.db")));
}

} // namespace
