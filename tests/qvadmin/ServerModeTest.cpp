#include "AdminFixture.h"
#include "data/DatabaseSettings.h"
#include "platform/db/Connection.h"
#include "platform/registry/Registry.h"
#include "support/EncryptPW.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

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
                         .arg(m_dsn, qEnvironmentVariable("QUORVALE_TEST_PG_USER",
                                                          QStringLiteral("qvtest"))));
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
        return serverPart() +
               QStringLiteral("Database=quorvale_test;UID=%1;PWD=s3cr't!;")
                   .arg(qEnvironmentVariable("QUORVALE_TEST_PG_USER", QStringLiteral("qvtest")));
    }
    CommandOutput server(const QStringList &args) const
    {
        return run(QStringList{QStringLiteral("--program-dir"), programDir(),
                               QStringLiteral("--server"), connectString()} +
                   args);
    }
    qlonglong serverCount(const QString &table) const
    {
        db::Connection c;
        c.open(connectString());
        return c.scalar(QStringLiteral("SELECT COUNT(*) FROM ") + table).toLongLong();
    }

    QString m_dsn;
    QString m_schema;
    db::Connection m_admin;
};

TEST_F(ServerModeTest, InitCreatesTheSchemaThereAndPassThroughLinksHere)
{
    const CommandOutput o = server({QStringLiteral("init"), QStringLiteral("--demo"),
                                    QStringLiteral("--user"), QStringLiteral("Ann O'Hara")});
    ASSERT_EQ(o.result, 0) << o.err.toStdString();
    EXPECT_EQ(serverCount(QStringLiteral("tblTimeCards")), 370);
    EXPECT_EQ(serverCount(QStringLiteral("tblUsers")), 5);

    db::Connection link;
    link.open(ConnectionStrings::linkDatabase(programDir()));
    EXPECT_EQ(link.scalar(QStringLiteral("SELECT COUNT(*) FROM tblLinkCatalog WHERE Type = "
                                         "'PASS-THROUGH' AND LinkProviderString = ?"),
                          {serverPart() + QStringLiteral("Database=quorvale_test;")})
                  .toInt(),
              22);
    EXPECT_TRUE(QFileInfo::exists(programDir() + QStringLiteral("/QVLocal.db")));
    EXPECT_TRUE(QFileInfo::exists(programDir() + QStringLiteral("/QVReport.db")));

    Registry registry(settingsFile());
    const RegistryKey db = registry.openSubKey(QStringLiteral("Database"));
    EXPECT_EQ(db.readText(QStringLiteral("Provider")), QStringLiteral("MSDASQL"));
    EXPECT_EQ(db.readText(QStringLiteral("Data Source")), serverPart());
    EXPECT_EQ(db.readText(QStringLiteral("Catalog")), QStringLiteral("quorvale_test"));
    const QString stored = db.readText(QStringLiteral("PWD"));
    EXPECT_NE(stored, QStringLiteral("s3cr't!")) << "never stored plain";
    clsEncryptPW scrambler;
    scrambler.setKeyString(QLatin1String(clsEncryptPW::ProgramKey));
    EXPECT_EQ(scrambler.Encrypt(stored), QStringLiteral("s3cr't!"));
}

TEST_F(ServerModeTest, CommandsWorkThroughTheSettingsAndInitNeedsForce)
{
    ASSERT_EQ(server({QStringLiteral("init"), QStringLiteral("--demo")}).result, 0);
    // Without --server the settings lead to the server, password unscrambled.
    const CommandOutput add =
        run({QStringLiteral("user"), QStringLiteral("add"), QStringLiteral("Pat O'Brien")});
    ASSERT_EQ(add.result, 0) << add.err.toStdString();
    EXPECT_TRUE(run({QStringLiteral("user"), QStringLiteral("list")})
                    .out.contains(QStringLiteral("Pat O'Brien")));
    ASSERT_EQ(
        run({QStringLiteral("contact"), QStringLiteral("add"), QStringLiteral("X'; --")}).result,
        0);
    EXPECT_EQ(serverCount(QStringLiteral("tblContacts")), 31);

    const CommandOutput invoiced =
        run({QStringLiteral("invoice"), QStringLiteral("--user"), QStringLiteral("1")});
    ASSERT_EQ(invoiced.result, 0) << invoiced.err.toStdString();
    EXPECT_TRUE(invoiced.out.contains(QStringLiteral("Invoice ")));
    EXPECT_TRUE(run({QStringLiteral("invoice"), QStringLiteral("--user"), QStringLiteral("1")})
                    .out.contains(QStringLiteral("Nothing to invoice")));

    // A second init finds the files and the tables and leaves both alone.
    QFile::remove(programDir() + QStringLiteral("/QVLink.db"));
    QFile::remove(programDir() + QStringLiteral("/QVLocal.db"));
    QFile::remove(programDir() + QStringLiteral("/QVReport.db"));
    const CommandOutput refused = server({QStringLiteral("init")});
    EXPECT_NE(refused.result, 0);
    EXPECT_TRUE(refused.err.contains(QStringLiteral("--force")));
    EXPECT_EQ(serverCount(QStringLiteral("tblUsers")), 6);
    EXPECT_FALSE(QFileInfo::exists(programDir() + QStringLiteral("/QVLink.db")));

    ASSERT_EQ(server({QStringLiteral("init"), QStringLiteral("--force")}).result, 0);
    EXPECT_EQ(serverCount(QStringLiteral("tblUsers")), 1);
    EXPECT_EQ(serverCount(QStringLiteral("tblTimeCards")), 0);
}

} // namespace
