#include "AdminFixture.h"
#include "data/AdminOptionOrdinals.h"
#include "data/DatabaseSettings.h"
#include "data/Schema.h"
#include "platform/registry/Registry.h"
#include "qvadmin/ReportKinds.h"
#include "testsupport/ExternalTool.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QStandardPaths>

using namespace quorvale;
using namespace quorvale::test;

namespace {

class InitTest : public AdminFixture {
protected:
    QStringList allFiles() const
    {
        return {programDir() + "/QVLink.db", programDir() + "/QVLocal.db",
                programDir() + "/QVReport.db", dataFile()};
    }
};

TEST_F(InitTest, CreatesPrivateDatabasesThatSqliteCanRead)
{
    initHere();
    for (const QString &file : allFiles()) {
        ASSERT_TRUE(QFileInfo::exists(file)) << file.toStdString();
        const auto perms = QFile::permissions(file);
        EXPECT_TRUE(perms.testFlags(QFile::ReadOwner | QFile::WriteOwner)) << file.toStdString();
        EXPECT_FALSE(perms & (QFile::ReadGroup | QFile::WriteGroup | QFile::ReadOther |
                              QFile::WriteOther | QFile::ExeGroup | QFile::ExeOther))
            << file.toStdString();
        EXPECT_FALSE(QFileInfo::exists(file + "-wal")) << file.toStdString();
    }
    // No temporary file is left beside the real ones.
    EXPECT_EQ(QDir(programDir()).entryList(QDir::Files | QDir::Hidden).size(), 3);
    EXPECT_EQ(QDir(dataDir()).entryList(QDir::Files | QDir::Hidden).size(), 1);

    QV_NEED_TOOL("sqlite3");
    QProcess sqlite;
    sqlite.start("sqlite3", {dataFile(), QStringLiteral("select count(*) from tblTimeCards; "
                                                        "select UserName from tblUsers;")});
    ASSERT_TRUE(sqlite.waitForFinished(30000));
    EXPECT_EQ(sqlite.exitCode(), 0) << sqlite.readAllStandardError().toStdString();
    EXPECT_EQ(QString::fromUtf8(sqlite.readAllStandardOutput()), "0\nAnn O'Hara\n");
}

TEST_F(InitTest, WritesTheSettingsOfAFirstStart)
{
    initHere();
    Registry registry(settingsFile());
    const RegistryKey database = registry.openSubKey("Database");
    EXPECT_EQ(database.readText("Provider"), "Microsoft.Jet.OLEDB.4.0");
    EXPECT_EQ(database.readText("Data Source"), QDir(dataDir()).absolutePath());
    EXPECT_EQ(database.readInt("Connection Type", 9), 0);
    EXPECT_EQ(database.readInt("Linked DB", 9), 1);
    EXPECT_EQ(database.readText("Setup Date"), QDate::currentDate().toString(Qt::ISODate));
    const RegistryKey license = registry.openSubKey("License");
    EXPECT_EQ(license.readText("User Name"), "Ann O'Hara");
    EXPECT_TRUE(license.hasValue("User EID"));
    EXPECT_EQ(license.readText("User EID", "x"), QString());

    const QString userId = license.readText("User ID");
    EXPECT_EQ(scalar("SELECT UserName FROM tblUsers WHERE UserID = ?", {userId}).toString(),
              "Ann O'Hara");
    EXPECT_EQ(count("SELECT Active FROM tblUsers WHERE UserID = ?", {userId}), -1);
}

TEST_F(InitTest, SetsUpOptionsPermissionsAndLinks)
{
    initHere();
    auto db = openData();
    QSqlQuery options = db->prepare("SELECT * FROM tblAdminOptions");
    db->run(options, {});
    ASSERT_TRUE(options.next());
    EXPECT_EQ(options.value(AdminOption::ContactTerm).toString(), "Client");
    EXPECT_EQ(options.value(AdminOption::Activity1Term).toString(), "Service");
    EXPECT_EQ(options.value(AdminOption::Activity2Term).toString(), "Project");
    for (int on : {AdminOption::BillingInUse, AdminOption::ContactInUse,
                   AdminOption::Activity1InUse, AdminOption::Activity2InUse})
        EXPECT_EQ(options.value(on).toInt(), -1) << on;
    EXPECT_EQ(options.value(AdminOption::UpgradeRequest).toInt(), 0);
    EXPECT_GT(options.value(AdminOption::ProgramVersion).toInt(), 0);
    EXPECT_FALSE(options.next()) << "one options row only";
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM tblUserSettings").toInt(), 1);

    EXPECT_EQ(db->scalar(QStringLiteral("SELECT Permission1 + Permission2 + Permission3 + "
                                        "ContactManagement + Payments FROM tblPermissions "
                                        "WHERE PermissionDescription = 'Full'"))
                  .toInt(),
              -5);
    EXPECT_EQ(db->scalar("SELECT COUNT(*) FROM tblStaff").toInt(), 1);
    EXPECT_GT(db->scalar("SELECT Rate1 FROM tblUsers").toLongLong(), 0);

    db::Connection link;
    link.open(ConnectionStrings::linkDatabase(programDir()));
    EXPECT_EQ(link.scalar(QStringLiteral("SELECT COUNT(*) FROM tblLinkCatalog WHERE Type = 'LINK' "
                                         "AND LinkDatasource = ?"),
                          {QFileInfo(dataFile()).absoluteFilePath()})
                  .toInt(),
              schema::sharedTableNames().size());
}

TEST_F(InitTest, RefusesToReplaceDatabasesUnlessForced)
{
    initHere();
    ASSERT_EQ(runHere({"contact", "add", "Keep Me"}).result, 0);

    const CommandOutput refused = runHere({"init"});
    EXPECT_NE(refused.result, 0);
    EXPECT_TRUE(refused.err.contains("already exists")) << refused.err.toStdString();
    EXPECT_EQ(refused.err.count(u'\n'), 1) << "one line";
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblContacts"), 1);

    const CommandOutput forced = runHere({"init", "--force", "--user", "Bo"});
    ASSERT_EQ(forced.result, 0) << forced.err.toStdString();
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblContacts"), 0);
    EXPECT_EQ(scalar("SELECT UserName FROM tblUsers").toString(), "Bo");
    EXPECT_EQ(QDir(programDir()).entryList(QDir::Files | QDir::Hidden).size(), 3)
        << "replaced files leave nothing behind";
}

TEST_F(InitTest, ReplacedDatabasesTakeTheirSqliteSideFilesAlong)
{
    initHere();
    // A program that ended without closing its databases leaves -wal and -shm behind.
    for (const QString &file : allFiles()) {
        for (const char *side : {"-wal", "-shm"}) {
            QFile f(file + QLatin1String(side));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write("left over");
        }
    }
    const CommandOutput forced = runHere({"init", "--force"});
    ASSERT_EQ(forced.result, 0) << forced.err.toStdString();
    for (const QString &dir : {programDir(), dataDir()}) {
        const QStringList hidden =
            QDir(dir).entryList(QStringList{".*"}, QDir::Files | QDir::Hidden);
        EXPECT_TRUE(hidden.isEmpty()) << hidden.join(u' ').toStdString();
    }
    for (const QString &file : allFiles())
        EXPECT_FALSE(QFileInfo::exists(file + "-wal")) << file.toStdString();
}

TEST_F(InitTest, FailedInitLeavesNothingBehind)
{
    // A data directory that cannot be made: a plain file stands where it would go.
    QFile blocker(m_tmp.filePath("blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QString badData = blocker.fileName() + "/data";
    const CommandOutput o = run({"--program-dir", programDir(), "--data-dir", badData, "init"});
    EXPECT_NE(o.result, 0);
    EXPECT_FALSE(o.err.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(programDir())) << "the program directory it made is gone";
    EXPECT_FALSE(QFileInfo::exists(settingsFile())) << "no settings written";
}

TEST_F(InitTest, FailedForcedInitKeepsTheOldDatabases)
{
    initHere();
    ASSERT_EQ(runHere({"contact", "add", "Keep Me"}).result, 0);
    const QByteArray linkBefore = [&] {
        QFile f(programDir() + "/QVLink.db");
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    // The old QVData.db would be replaced if its directory could take a new file.
    QFile blocker(m_tmp.filePath("blocker"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const CommandOutput o =
        run({"--program-dir", programDir(), "--data-dir", blocker.fileName(), "init", "--force"});
    EXPECT_NE(o.result, 0);
    QFile link(programDir() + "/QVLink.db");
    ASSERT_TRUE(link.open(QIODevice::ReadOnly));
    EXPECT_EQ(link.readAll(), linkBefore);
    EXPECT_EQ(count("SELECT COUNT(*) FROM tblContacts"), 1);
    EXPECT_EQ(QDir(programDir()).entryList(QDir::Files | QDir::Hidden).size(), 3);
    Registry registry(settingsFile());
    EXPECT_EQ(registry.openSubKey("Database").readText("Data Source"),
              QDir(dataDir()).absolutePath());
}

TEST_F(InitTest, CommandLineMistakesAreReportedOnOneLine)
{
    for (const QStringList &args :
         {QStringList{"init", "--bogus"}, QStringList{"frobnicate"},
          QStringList{"invoice", "--user", "x"}, QStringList{"user", "add"}}) {
        const CommandOutput o = runHere(args);
        EXPECT_NE(o.result, 0) << args.join(u' ').toStdString();
        EXPECT_EQ(o.err.count(u'\n'), 1) << o.err.toStdString();
        EXPECT_TRUE(o.err.startsWith("qvadmin: ")) << o.err.toStdString();
    }
    const CommandOutput help = run({"--help"});
    EXPECT_EQ(help.result, 0);
    for (const char *command :
         {"init", "generate", "user add", "contact list", "activity add", "invoice --contact"})
        EXPECT_TRUE(help.out.contains(QLatin1String(command))) << command;
    // Every report there is, and every way to narrow one, is named.
    const QString flat = help.out.simplified();
    for (const QString &kind : admin::reportKindNames())
        EXPECT_TRUE(flat.contains(QRegularExpression(QStringLiteral("\\b%1\\b").arg(kind))))
            << kind.toStdString();
    for (const char *option : {"--contact ID", "--status open|invoiced"})
        EXPECT_TRUE(flat.contains(QLatin1String(option))) << option;
}

} // namespace
