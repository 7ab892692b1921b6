#include "AdminFixture.h"
#include "data/DatabaseSettings.h"
#include "data/Schema.h"
#include "platform/db/Connection.h"
#include "platform/db/Transaction.h"
#include "platform/registry/Registry.h"
#include "qvadmin/ServerSchema.h"
#include "support/EncryptPW.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlQuery>
#include <QSqlRecord>
#include <map>
#include <string>

using namespace quorvale;
using namespace quorvale::test;

namespace {

// Against the PostgreSQL server of scripts/with-postgres.sh. The database is shared
// with other tests, so everything here lives in a schema of its own (through the
// driver's ConnSettings) that is dropped at the end.
class ServerModeTest : public AdminFixture {
protected:
    void SetUp() override
    {
        m_dsn = qEnvironmentVariable("QUORVALE_TEST_ODBC_DSN");
        if (m_dsn.isEmpty())
            GTEST_SKIP() << "no test server (run under scripts/with-postgres.sh)";
        m_schema = QStringLiteral("qvadmin_%1").arg(QCoreApplication::applicationPid());
        m_admin.open(QStringLiteral("DSN=%1;Database=quorvale_test;UID=%2;")
                         .arg(m_dsn, qEnvironmentVariable("QUORVALE_TEST_PG_USER", "qvtest")));
        m_admin.execute(QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE").arg(m_schema));
        m_admin.execute(QStringLiteral("CREATE SCHEMA %1").arg(m_schema));
    }
    void TearDown() override
    {
        if (m_admin.isOpen())
            m_admin.execute(QStringLiteral("DROP SCHEMA IF EXISTS %1 CASCADE").arg(m_schema));
    }

    QString serverPart() const
    {
        return QStringLiteral("DSN=%1;ConnSettings=SET search_path TO %2;").arg(m_dsn, m_schema);
    }
    QString connectString() const
    {
        return serverPart() + QStringLiteral("Database=quorvale_test;UID=%1;PWD=s3cr't!;")
                                  .arg(qEnvironmentVariable("QUORVALE_TEST_PG_USER", "qvtest"));
    }
    CommandOutput server(const QStringList &args) const
    {
        return run(QStringList{"--program-dir", programDir(), "--server", connectString()} + args);
    }
    qlonglong serverCount(const QString &table) const
    {
        db::Connection c;
        c.open(connectString());
        return c.scalar("SELECT COUNT(*) FROM " + table).toLongLong();
    }
    // Rows per program table, -1 where the table is missing.
    std::map<std::string, qlonglong> serverCounts() const
    {
        db::Connection c;
        c.open(connectString());
        std::map<std::string, qlonglong> counts;
        for (const QString &table : schema::sharedTableNames()) {
            const bool there =
                c.scalar(QStringLiteral("SELECT COUNT(*) FROM information_schema.tables WHERE "
                                        "table_schema = ? AND table_name = ?"),
                         {m_schema, table.toLower()})
                    .toInt() > 0;
            counts[table.toStdString()] =
                there ? c.scalar("SELECT COUNT(*) FROM " + table).toLongLong() : -1;
        }
        return counts;
    }
    QByteArray fileBytes(const QString &name) const
    {
        QFile f(programDir() + u'/' + name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QString m_dsn;
    QString m_schema;
    db::Connection m_admin;
};

TEST_F(ServerModeTest, InitCreatesTheSchemaThereAndPassThroughLinksHere)
{
    const CommandOutput o = server({"init", "--demo", "--user", "Ann O'Hara"});
    ASSERT_EQ(o.result, 0) << o.err.toStdString();
    EXPECT_EQ(serverCount("tblTimeCards"), 370);
    EXPECT_EQ(serverCount("tblUsers"), 5);

    db::Connection link;
    link.open(ConnectionStrings::linkDatabase(programDir()));
    EXPECT_EQ(link.scalar(QStringLiteral("SELECT COUNT(*) FROM tblLinkCatalog WHERE Type = "
                                         "'PASS-THROUGH' AND LinkProviderString = ?"),
                          {serverPart() + "Database=quorvale_test;"})
                  .toInt(),
              schema::sharedTableNames().size());
    EXPECT_TRUE(QFileInfo::exists(programDir() + "/QVLocal.db"));
    EXPECT_TRUE(QFileInfo::exists(programDir() + "/QVReport.db"));

    Registry registry(settingsFile());
    const RegistryKey db = registry.openSubKey("Database");
    EXPECT_EQ(db.readText("Provider"), "MSDASQL");
    EXPECT_EQ(db.readText("Data Source"), serverPart());
    EXPECT_EQ(db.readText("Catalog"), "quorvale_test");
    const QString stored = db.readText("PWD");
    EXPECT_NE(stored, "s3cr't!") << "never stored plain";
    clsEncryptPW scrambler;
    scrambler.setKeyString(QLatin1String(clsEncryptPW::ProgramKey));
    EXPECT_EQ(scrambler.Encrypt(stored), "s3cr't!");
}

TEST_F(ServerModeTest, CommandsWorkThroughTheSettingsAndInitNeedsForce)
{
    ASSERT_EQ(server({"init", "--demo"}).result, 0);
    // Without --server the settings lead to the server, password unscrambled.
    const CommandOutput add = run({"user", "add", "Pat O'Brien"});
    ASSERT_EQ(add.result, 0) << add.err.toStdString();
    EXPECT_TRUE(run({"user", "list"}).out.contains("Pat O'Brien"));
    ASSERT_EQ(run({"contact", "add", "X'; --"}).result, 0);
    EXPECT_EQ(serverCount("tblContacts"), 31);

    db::Connection c;
    c.open(connectString());
    const QString client =
        c.scalar(QStringLiteral("SELECT MIN(ContactID) FROM tblTimeCards WHERE InvoiceID IS NULL "
                                "AND BillStatus = 'Billable'"))
            .toString();
    const CommandOutput invoiced = run({"invoice", "--contact", client});
    ASSERT_EQ(invoiced.result, 0) << invoiced.err.toStdString();
    EXPECT_TRUE(invoiced.out.startsWith("Invoice ")) << invoiced.out.toStdString();
    EXPECT_TRUE(run({"invoice", "--contact", client}).out.contains("Nothing to invoice"));

    // A second init finds the files and the tables and leaves both alone.
    QFile::remove(programDir() + "/QVLink.db");
    QFile::remove(programDir() + "/QVLocal.db");
    QFile::remove(programDir() + "/QVReport.db");
    const CommandOutput refused = server({"init"});
    EXPECT_NE(refused.result, 0);
    EXPECT_TRUE(refused.err.contains("--force"));
    EXPECT_EQ(serverCount("tblUsers"), 6);
    EXPECT_FALSE(QFileInfo::exists(programDir() + "/QVLink.db"));

    ASSERT_EQ(server({"init", "--force"}).result, 0);
    EXPECT_EQ(serverCount("tblUsers"), 1);
    EXPECT_EQ(serverCount("tblTimeCards"), 0);
}

TEST_F(ServerModeTest, FailedForcedInitKeepsTheOldTables)
{
    ASSERT_EQ(server({"init", "--demo"}).result, 0);
    ASSERT_EQ(run({"contact", "add", "Keep Me"}).result, 0);
    const std::map<std::string, qlonglong> before = serverCounts();
    ASSERT_EQ(before.at("tblTimeCards"), 370);
    ASSERT_EQ(before.at("tblContacts"), 31);
    const QByteArray linkBefore = fileBytes("QVLink.db");
    ASSERT_FALSE(linkBefore.isEmpty());
    const auto expectAsBefore = [&](const CommandOutput &o) {
        EXPECT_NE(o.result, 0);
        EXPECT_FALSE(o.err.isEmpty());
        EXPECT_EQ(serverCounts(), before);
        EXPECT_EQ(fileBytes("QVLink.db"), linkBefore);
        const QStringList hidden =
            QDir(programDir()).entryList(QStringList{".*"}, QDir::Files | QDir::Hidden);
        EXPECT_TRUE(hidden.isEmpty()) << hidden.join(u' ').toStdString();
    };

    // The settings cannot hold a password with a space in it.
    QString badPassword = connectString();
    badPassword.replace("PWD=s3cr't!;", "PWD={my pass};");
    const CommandOutput password =
        run({"--program-dir", programDir(), "--server", badPassword, "init", "--demo", "--force"});
    EXPECT_TRUE(password.err.contains("password")) << password.err.toStdString();
    expectAsBefore(password);

    // The settings cannot be saved: the last step before the server commits fails.
    const QString keptSettings = settingsFile() + ".kept";
    ASSERT_TRUE(QFile::rename(settingsFile(), keptSettings));
    ASSERT_TRUE(QDir().mkdir(settingsFile()));
    const CommandOutput settings = server({"init", "--force"});
    EXPECT_TRUE(settings.err.contains("settings")) << settings.err.toStdString();
    expectAsBefore(settings);
    ASSERT_TRUE(QDir().rmdir(settingsFile()));
    ASSERT_TRUE(QFile::rename(keptSettings, settingsFile()));

    // The server is as usable as before.
    EXPECT_TRUE(run({"contact", "list"}).out.contains("Keep Me"));
}

TEST_F(ServerModeTest, AServerFileWithThePasswordSpelledOutKeepsItOutOfEveryFileButTheSettings)
{
    QString spelled = connectString();
    spelled.replace("PWD=s3cr't!;", "Password=s3cr't!;");
    const QString path = m_tmp.filePath("server");
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(spelled.toUtf8() + '\n');
        ASSERT_TRUE(file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    }
    const CommandOutput made =
        run({"--program-dir", programDir(), "--server-file", path, "init", "--demo"});
    ASSERT_EQ(made.result, 0) << made.err.toStdString();
    EXPECT_FALSE(made.err.contains("warning")) << made.err.toStdString();
    EXPECT_EQ(serverCount("tblUsers"), 5);

    Registry registry(settingsFile());
    const RegistryKey db = registry.openSubKey("Database");
    EXPECT_EQ(db.readText("Data Source"), serverPart());
    clsEncryptPW scrambler;
    scrambler.setKeyString(QLatin1String(clsEncryptPW::ProgramKey));
    EXPECT_EQ(scrambler.Encrypt(db.readText("PWD")), "s3cr't!");
    for (const char *file : {"QVLink.db", "QVLocal.db", "QVReport.db"})
        EXPECT_FALSE(fileBytes(file).contains("s3cr't!")) << file;
    QFile settings(settingsFile());
    ASSERT_TRUE(settings.open(QIODevice::ReadOnly));
    EXPECT_FALSE(settings.readAll().contains("s3cr't!"));
    // The settings lead the next command to the server, password unscrambled.
    EXPECT_TRUE(run({"contact", "list"}).out.contains("ID"));
}

// The program runs its reports as "--settings FILE --program-dir DIR report ...",
// keeping the password off the command line: the server and its password come
// from the settings when the link database links to a server.
TEST_F(ServerModeTest, AReportStartedTheWayTheProgramStartsItReachesTheServer)
{
    ASSERT_EQ(server({"init", "--demo"}).result, 0);
    const CommandOutput o = run(
        {"--program-dir", programDir(), "report", "timecards", "--out", m_tmp.filePath("reports")});
    ASSERT_EQ(o.result, 0) << o.err.toStdString();
    const QStringList paths = o.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(paths.size(), 2);
    QFile csv(paths[0]);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    EXPECT_GE(csv.readAll().count('\n'), 371); // the heading and the demo's TimeCards

    // Settings that name no server cannot serve such a link database.
    {
        Registry registry(settingsFile());
        registry.openSubKey("Database").writeText("Provider", JetProvider);
    }
    const CommandOutput lost = run({"--program-dir", programDir(), "contact", "list"});
    EXPECT_NE(lost.result, 0);
    EXPECT_TRUE(lost.err.contains("--server-file")) << lost.err.toStdString();
}

// The server's default rows are written through the connection; they must not drift
// from the ones a database file gets.
TEST(ServerDefaultRows, AreTheRowsADatabaseFileGets)
{
    TempDir tmp;
    const auto rowsOf = [&](const QString &name, bool throughConnection) {
        const QString path = tmp.filePath(name);
        db::Connection::createSqliteFile(path);
        db::Connection c;
        c.open(QStringLiteral("PROVIDER=%1;Data Source=%2;").arg(QLatin1String(JetProvider), path));
        QSqlDatabase sql = c.database();
        schema::createProgramSchema(sql, schema::Dialect::SQLite);
        if (throughConnection) {
            db::Transaction tx(c);
            admin::insertDefaultRows(c);
            tx.commit();
        } else {
            schema::insertDefaultRows(sql);
        }
        QStringList rows;
        for (const char *table : {"tblAdminOptions", "tblUserSettings"}) {
            QSqlQuery q = c.prepare("SELECT * FROM " + QLatin1String(table));
            c.run(q, {});
            while (q.next()) {
                QStringList row;
                const QSqlRecord record = q.record();
                for (int i = 0; i < record.count(); ++i)
                    row << record.fieldName(i) + u'=' + q.value(i).toString();
                rows << QLatin1String(table) + u':' + row.join(u',');
            }
        }
        return rows;
    };
    const QStringList expected = rowsOf("file.db", false);
    ASSERT_EQ(expected.size(), 2);
    EXPECT_EQ(rowsOf("server.db", true), expected);
}

} // namespace
