// Server mode end to end: the administrator tool makes the schema on a real
// PostgreSQL server through ODBC, and the program opens it the way start-up does.
// Runs under scripts/with-postgres.sh, which provides the server and the data
// source; skipped without them.

#include "data/DataStore.h"
#include "data/LinkCatalog.h"
#include "data/WorkingSet.h"
#include "platform/registry/Registry.h"
#include "qvadmin/InitCommand.h"
#include "support/EncryptPW.h"
#include "support/ErrorHandler.h"
#include "support/ErrorReport.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/ScriptedPrompts.h"
#include "testsupport/TempDir.h"

#include <QDir>
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

TEST_F(ServerMode, OpenDBGivesThePassThroughLinksTheirCredentials)
{
    const DatabaseSettings s = settings();
    EXPECT_FALSE(s.isJet());
    EXPECT_EQ(s.catalog, QStringLiteral("quorvale_test"));

    DataStore store(s, programDir, prompts, errors);
    ASSERT_TRUE(store.OpenDB()) << prompts.messages().value(0).text.toStdString();
    EXPECT_EQ(store.cnnLink().engine(), db::Engine::Odbc);
    const QString full = QStringLiteral("ODBC;") + s.dataSource +
                         QStringLiteral("Database=quorvale_test;UID=") + s.uid +
                         QStringLiteral(";PWD=;");
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

TEST_F(ServerMode, AChangedPasswordReachesTheLinksAndABadOneIsReported)
{
    {
        DataStore store(settings(), programDir, prompts, errors);
        ASSERT_TRUE(store.OpenDB());
    }
    // A new password in the settings reaches every link on the next start (the
    // test server trusts any password, so the start still succeeds).
    {
        DatabaseSettings changed = settings();
        clsEncryptPW scrambler;
        scrambler.setKeyString(QString::fromLatin1(clsEncryptPW::ProgramKey));
        changed.pwd = scrambler.Encrypt(QStringLiteral("n3w;Secret"));
        DataStore store(changed, programDir, prompts, errors);
        ASSERT_TRUE(store.OpenDB());
        for (const LinkedTable &t : store.linkDatabase().catalog().tables())
            EXPECT_TRUE(t.linkProviderString.endsWith(QStringLiteral(";PWD={n3w;Secret};")))
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
