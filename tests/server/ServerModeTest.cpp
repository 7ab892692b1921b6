// Server mode end to end: the administrator tool makes the schema on a real
// PostgreSQL server through ODBC, and the program opens it the way start-up does.
// Runs under scripts/with-postgres.sh, which provides the server and the data
// source; skipped without them.

#include "data/DataStore.h"
#include "data/LinkCatalog.h"
#include "data/WorkingSet.h"
#include "platform/core/QvError.h"
#include "platform/db/Connection.h"
#include "platform/registry/Registry.h"
#include "qvadmin/InitCommand.h"
#include "settings/InitialSetup.h"
#include "support/EncryptPW.h"
#include "support/ErrorHandler.h"
#include "support/ErrorReport.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/ScriptedPrompts.h"
#include "testsupport/TempDir.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QThread>
#include <gtest/gtest.h>

using namespace quorvale;

namespace {

class ServerMode : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QString dsn = qEnvironmentVariable("QUORVALE_TEST_ODBC_DSN");
        if (dsn.isEmpty())
            GTEST_SKIP() << "no test server (run under scripts/with-postgres.sh)";
        connect = QStringLiteral("DSN=%1;Database=quorvale_test;UID=%2;PWD=;")
                      .arg(dsn, qEnvironmentVariable("QUORVALE_TEST_PG_USER"));
        admin::GlobalOptions globals;
        globals.server = connect;
        globals.programDir = dir.filePath(QStringLiteral("prog"));
        globals.settingsFile = dir.filePath(QStringLiteral("settings.ini"));
        registry = std::make_unique<Registry>(*globals.settingsFile);
        admin::InitOptions options{admin::locationForInit(globals), QStringLiteral("Dana O'Neil"),
                                   true, true};
        const admin::InitResult made = admin::initialise(options, *registry);
        userId = made.userId;
        programDir = *globals.programDir;
        errors.terminate = [this](int code) { endedWith = code; };
    }

    DatabaseSettings settings()
    {
        return DatabaseSettings::read(registry->openSubKey(QStringLiteral("Database")));
    }
    static QString scrambled(const QString &password)
    {
        clsEncryptPW scrambler;
        scrambler.setKeyString(QString::fromLatin1(clsEncryptPW::ProgramKey));
        return scrambler.Encrypt(password);
    }

    test::TempDir dir;
    QString connect;
    QString programDir;
    std::unique_ptr<Registry> registry;
    int userId = 0;
    test::ScriptedPrompts prompts;
    ErrorReport report{prompts, dir.filePath(QStringLiteral("reports"))};
    ErrorHandler errors{report};
    int endedWith = 0;
};

} // namespace

TEST_F(ServerMode, OpenDBGivesThePassThroughLinksTheirServerAndUser)
{
    const DatabaseSettings s = settings();
    EXPECT_FALSE(s.isJet());
    EXPECT_EQ(s.catalog, QStringLiteral("quorvale_test"));

    DataStore store(s, programDir, prompts, errors);
    ASSERT_TRUE(store.OpenDB()) << prompts.messages().value(0).text.toStdString();
    EXPECT_EQ(store.cnnLink().engine(), db::Engine::Odbc);
    const QString full = QStringLiteral("ODBC;") + s.dataSource +
                         QStringLiteral("Database=quorvale_test;UID=") + s.uid + u';';
    for (const LinkedTable &t : store.linkDatabase().catalog().tables()) {
        EXPECT_EQ(t.type, QStringLiteral("PASS-THROUGH")) << t.name.toStdString();
        EXPECT_EQ(t.linkProviderString, full) << t.name.toStdString();
    }
    EXPECT_EQ(store.rsAdminOptions().collect(2).toString(), QStringLiteral("Client"));
    EXPECT_EQ(endedWith, 0);
}

TEST_F(ServerMode, ConnectionTypeIsIgnoredAndTheWorkingSetOpensOnTheServer)
{
    DatabaseSettings s = settings();
    s.connectionType = 2; // would bypass the link file with the embedded engine
    DataStore store(s, programDir, prompts, errors);
    ASSERT_TRUE(store.OpenDB());
    EXPECT_TRUE(store.linkDatabase().hasCatalog());
    EXPECT_EQ(store.cnnData(), nullptr);

    const int expected =
        store.cnnLink()
            .scalar(QStringLiteral("SELECT count(*) FROM tblTimeCards LEFT JOIN tblContacts ON "
                                   "tblContacts.ContactID = tblTimeCards.ContactID WHERE "
                                   "(tblContacts.Active<>0 OR tblTimeCards.ContactID Is Null) "
                                   "AND InvoiceID Is Null AND Inactive = 0 AND UserId = ?"),
                    {userId})
            .toInt();
    ASSERT_GT(expected, 0);
    WorkingSet set(errors);
    set.setOrderBy(QStringLiteral(" ORDER BY tblTimeCards.[Value] DESC"));
    ASSERT_TRUE(set.SetRecordSet(false, store.cnnLink(),
                                 WorkingSetContext{true, Terms{}, userId, QStringLiteral("Dana")}));
    db::Recordset &cards = set.timeCards();
    EXPECT_EQ(cards.recordCount(), expected);
    EXPECT_EQ(set.sortToolId(), 6045);
    qlonglong previous = std::numeric_limits<qlonglong>::max();
    int seen = 0;
    for (cards.moveFirst(); !cards.eof(); cards.moveNext()) {
        const qlonglong value = cards.value(QStringLiteral("Value")).toLongLong();
        EXPECT_LE(value, previous);
        previous = value;
        EXPECT_EQ(cards.value(QStringLiteral("UserId")).toInt(), userId);
        ++seen;
    }
    EXPECT_EQ(seen, expected);
}

TEST_F(ServerMode, AChangedPasswordReachesTheConnectionAndABadServerIsReported)
{
    {
        DataStore store(settings(), programDir, prompts, errors);
        ASSERT_TRUE(store.OpenDB());
    }
    // A new password in the settings reaches the connection on the next start,
    // and no link (the test server trusts any password, so the start succeeds).
    {
        DatabaseSettings changed = settings();
        changed.pwd = scrambled(QStringLiteral("n3w;Secret"));
        DataStore store(changed, programDir, prompts, errors);
        ASSERT_TRUE(store.OpenDB());
        EXPECT_TRUE(
            store.cnnLink().connectionString().endsWith(QStringLiteral(";PWD={n3w;Secret};")))
            << store.cnnLink().connectionString().toStdString();
        for (const LinkedTable &t : store.linkDatabase().catalog().tables())
            EXPECT_FALSE(t.linkProviderString.contains(QStringLiteral("n3w")))
                << t.linkProviderString.toStdString();
    }
    DatabaseSettings unknown = settings();
    unknown.dataSource = QStringLiteral("DSN=NoSuchServer;");
    DataStore store(unknown, programDir, prompts, errors);
    EXPECT_FALSE(store.OpenDB());
    EXPECT_NE(endedWith, 0);
    bool named = false;
    for (const QFileInfo &f :
         QDir(dir.filePath(QStringLiteral("reports"))).entryInfoList(QDir::Files)) {
        QFile file(f.absoluteFilePath());
        file.open(QIODevice::ReadOnly);
        named = named || file.readAll().contains("NoSuchServer");
    }
    EXPECT_TRUE(named);
}

namespace {

// The test server trusts every login. This gives one role of its own a password
// the server then asks for: a line in pg_hba.conf, read before the trust lines.
class PasswordRole {
public:
    PasswordRole(db::Connection &admin, const QString &password)
        : m_admin(admin), m_name(QStringLiteral("qvpw_%1").arg(QCoreApplication::applicationPid()))
    {
        m_hba = admin.scalar(QStringLiteral("SHOW hba_file")).toString();
        QFile file(m_hba);
        if (!file.open(QIODevice::ReadOnly))
            return;
        m_original = file.readAll();
        file.close();
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return;
        for (const char *address : {"127.0.0.1/32", "::1/128"})
            file.write("host all " + m_name.toUtf8() + ' ' + address + " scram-sha-256\n");
        file.write(m_original);
        file.close();
        admin.execute(QStringLiteral("DROP ROLE IF EXISTS ") + m_name);
        admin.execute(
            QStringLiteral("CREATE ROLE %1 LOGIN SUPERUSER PASSWORD '%2'").arg(m_name, password));
        admin.scalar(QStringLiteral("SELECT pg_reload_conf()"));
        m_ready = true;
    }
    ~PasswordRole()
    {
        if (m_original.isEmpty())
            return;
        QFile file(m_hba);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(m_original);
        file.close();
        m_admin.scalar(QStringLiteral("SELECT pg_reload_conf()"));
        m_admin.execute(QStringLiteral("DROP ROLE IF EXISTS ") + m_name);
    }
    PasswordRole(const PasswordRole &) = delete;
    PasswordRole &operator=(const PasswordRole &) = delete;

    bool ready() const { return m_ready; }
    const QString &name() const { return m_name; }

private:
    db::Connection &m_admin;
    QString m_name;
    QString m_hba;
    QByteArray m_original;
    bool m_ready = false;
};

bool connects(const QString &connect)
{
    try {
        db::Connection c;
        c.open(connect);
        return true;
    } catch (const QvError &) {
        return false;
    }
}

} // namespace

TEST_F(ServerMode, ThePasswordFromTheSettingsOpensAServerThatAsksForIt)
{
    db::Connection admin;
    admin.open(connect);
    const QString password = QStringLiteral("s3cr3t;Pa{ss}");
    PasswordRole role(admin, password);
    ASSERT_TRUE(role.ready()) << "pg_hba.conf of the test server could not be changed";
    const QString asRole = QStringLiteral("DSN=%1;Database=quorvale_test;UID=%2;")
                               .arg(qEnvironmentVariable("QUORVALE_TEST_ODBC_DSN"), role.name());
    // The server reads its new rules in the background: wait until it asks.
    for (int i = 0; i < 100 && connects(asRole + QStringLiteral("PWD=wrong;")); ++i)
        QThread::msleep(50);
    ASSERT_FALSE(connects(asRole + QStringLiteral("PWD=wrong;")));

    DatabaseSettings s = settings();
    s.uid = role.name();
    s.pwd = scrambled(password);
    {
        DataStore store(s, programDir, prompts, errors);
        ASSERT_TRUE(store.OpenDB()) << prompts.messages().value(0).text.toStdString();
        EXPECT_EQ(store.rsAdminOptions().collect(2).toString(), QStringLiteral("Client"));
    }
    EXPECT_EQ(endedWith, 0);
    // The link file names the role and never the password.
    QFile file(joinPath(programDir, QLatin1String(DatabaseFile::Link)));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray linkFile = file.readAll();
    EXPECT_TRUE(linkFile.contains(role.name().toUtf8()));
    EXPECT_FALSE(linkFile.contains("s3cr3t"));

    // Without the right password the same start fails.
    s.pwd = scrambled(QStringLiteral("wrong"));
    DataStore refused(s, programDir, prompts, errors);
    EXPECT_FALSE(refused.OpenDB());
    EXPECT_NE(endedWith, 0);
}

TEST_F(ServerMode, ASecondPersonJoinsTheServerDatabaseThroughTheSetUp)
{
    const JoinChoice choice = JoinChoice::fromConnectString(connect);
    EXPECT_EQ(summarize(choice).server,
              QStringLiteral("DSN: ") + qEnvironmentVariable("QUORVALE_TEST_ODBC_DSN"));
    const std::vector<ProgramUser> users = listProgramUsers(choice);
    const auto maren = std::find_if(users.begin(), users.end(),
                                    [](const ProgramUser &u) { return u.name == "Maren Holt"; });
    ASSERT_NE(maren, users.end());

    const QString secondDir = dir.filePath(QStringLiteral("second"));
    Registry second(dir.filePath(QStringLiteral("second.ini")));
    ASSERT_TRUE(CompleteInitialSetup(second, secondDir, choice, *maren, prompts, errors,
                                     [](int, int, const QString &) {}))
        << prompts.messages().value(0).text.toStdString();
    const DatabaseSettings s =
        DatabaseSettings::read(second.openSubKey(QStringLiteral("Database")));
    EXPECT_FALSE(s.isJet());
    EXPECT_EQ(s.catalog, QStringLiteral("quorvale_test"));
    EXPECT_EQ(second.openSubKey(QStringLiteral("License")).readText(QStringLiteral("User Name")),
              QStringLiteral("Maren Holt"));
    // The link database names the server, never a password.
    DataStore store(s, secondDir, prompts, errors);
    ASSERT_TRUE(store.OpenDB());
    for (const LinkedTable &t : store.linkDatabase().catalog().tables())
        EXPECT_FALSE(t.linkProviderString.contains(QStringLiteral("PWD"))) << t.name.toStdString();

    // A login the server refuses is told, and nothing is joined.
    const JoinChoice refused = JoinChoice::fromConnectString(
        QStringLiteral("DSN=%1;Database=no_such_database;UID=nobody;PWD=wrong;")
            .arg(qEnvironmentVariable("QUORVALE_TEST_ODBC_DSN")));
    try {
        listProgramUsers(refused);
        ADD_FAILURE() << "the server let a wrong login in";
    } catch (const QvError &e) {
        EXPECT_TRUE(e.description().contains(QStringLiteral("did not let us in")))
            << e.description().toStdString();
    }
    EXPECT_EQ(endedWith, 0);
}
