#include "SqliteFile.h"
#include "data/AdminOptionOrdinals.h"
#include "data/DatabaseUpgrader.h"
#include "data/Migrations.h"
#include "data/Schema.h"
#include "platform/core/QvError.h"
#include "testsupport/TempDir.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <gtest/gtest.h>

using namespace quorvale;
using namespace quorvale::schema;

namespace {

using Open = test::SqliteFile;

QByteArray digest(const QString &path)
{
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

class UpgraderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDir().mkpath(programDir());
        QDir().mkpath(dataDir());
        {
            Open data(dataFile());
            createProgramSchema(data.db(), Dialect::SQLite);
            insertDefaultRows(data.db());
            // Created by an older program: never stamped, upgrade requested.
            QSqlQuery(data.db()).exec("PRAGMA user_version = 0");
            QSqlQuery(data.db()).exec("UPDATE tblAdminOptions SET UpgradeRequest = 1");
        }
        Open link(linkFile());
        createLinkSchema(link.db());
        writeLinkCatalog(link.db(), dataFile(), sharedTableNames());
    }
    QString programDir() const { return dir.filePath("program"); }
    QString dataDir() const { return dir.filePath("data"); }
    QString dataFile() const { return dir.filePath("data/QVData.db"); }
    QString linkFile() const { return dir.filePath("program/QVLink.db"); }
    QString linkBackup() const { return dir.filePath("program/QVLinkBU.db"); }

    bool upgrade(std::vector<Migration> migrations, DatabaseUpgrader *out = nullptr)
    {
        DatabaseUpgrader upgrader(std::move(migrations));
        upgrader.prepare(DatabaseUpgrader::ModeUpgrade, programDir(), dataDir());
        const bool ok = upgrader.run();
        if (out)
            *out = upgrader;
        return ok;
    }
    // The file as an older program left it: the statements undo what came since.
    void asOlderFile(std::initializer_list<const char *> statements)
    {
        Open data(dataFile());
        QSqlQuery q(data.db());
        for (const char *sql : statements)
            ASSERT_TRUE(q.exec(sql)) << sql << ": " << q.lastError().text().toStdString();
    }
    // The program's own steps, as start-up runs them.
    void upgradeAsTheProgramDoes()
    {
        DatabaseUpgrader upgrader;
        upgrader.prepare(DatabaseUpgrader::ModeUpgrade, programDir(), dataDir());
        ASSERT_TRUE(upgrader.run()) << upgrader.lastError().toStdString();
    }
    QStringList indexColumns(const char *index)
    {
        Open data(dataFile());
        QSqlQuery q(data.db());
        EXPECT_TRUE(q.exec(
            QStringLiteral("SELECT name FROM pragma_index_info('%1') ORDER BY seqno").arg(index)));
        QStringList columns;
        while (q.next())
            columns << q.value(0).toString();
        return columns;
    }
    QVariant upgradeRequest()
    {
        Open data(dataFile());
        QSqlQuery q(data.db());
        if (!q.exec("SELECT * FROM tblAdminOptions") || !q.next())
            return {};
        return q.value(AdminOption::UpgradeRequest);
    }

    test::TempDir dir;
};

Migration baseline()
{
    return {1, "Baseline schema", {}, {}};
}

Migration addsMileage()
{
    return {2,
            "Mileage log",
            {"CREATE TABLE tblMileage (MileageID INTEGER PRIMARY KEY, TimeCardID INTEGER)",
             "INSERT INTO tblMileage (TimeCardID) VALUES (1)"},
            {}};
}

} // namespace

TEST_F(UpgraderTest, APendingStepIsAppliedOnceAndOnlyOnce)
{
    DatabaseUpgrader first;
    ASSERT_TRUE(upgrade({baseline(), addsMileage()}, &first)) << first.lastError().toStdString();
    EXPECT_EQ(first.versionBefore(), 1);
    EXPECT_EQ(first.versionAfter(), 2);
    EXPECT_EQ(upgradeRequest().toInt(), 0) << "the request is cleared";
    // What start-up does with the new link database.
    ASSERT_TRUE(first.linkDatabaseWritten());
    ASSERT_TRUE(QFile::remove(linkFile()));
    ASSERT_TRUE(QFile::rename(linkBackup(), linkFile()));

    DatabaseUpgrader second;
    ASSERT_TRUE(upgrade({baseline(), addsMileage()}, &second)) << second.lastError().toStdString();
    EXPECT_EQ(second.versionBefore(), 2);
    EXPECT_FALSE(second.linkDatabaseWritten());
    Open data(dataFile());
    EXPECT_EQ(data.scalar("SELECT COUNT(*) FROM tblMileage").toInt(), 1);
    EXPECT_EQ(data.scalar("PRAGMA user_version").toInt(), 2);
}

TEST_F(UpgraderTest, AFailingStepRollsEverythingBack)
{
    const QByteArray before = digest(dataFile());
    Migration broken{3, "Broken", {"UPDATE tblNoSuchTable SET X = 1"}, {}};
    DatabaseUpgrader upgrader;
    EXPECT_FALSE(upgrade({baseline(), addsMileage(), broken}, &upgrader));
    EXPECT_FALSE(upgrader.lastError().isEmpty());
    EXPECT_FALSE(QFile::exists(linkBackup()));
    EXPECT_FALSE(QFile::exists(linkBackup() + ".partial"));
    EXPECT_EQ(digest(dataFile()), before) << "the file is byte for byte as it was";
    EXPECT_EQ(upgradeRequest().toInt(), 1) << "still requested, so the next start tries again";

    // A step whose code throws is treated the same.
    Migration throwing{2, "Throws", {"CREATE TABLE tblHalf (X INTEGER)"}, [](QSqlDatabase &) {
                           throw QvError(ErrorNumber::Generic, "disk full", "test");
                       }};
    EXPECT_FALSE(upgrade({baseline(), throwing}, &upgrader));
    EXPECT_EQ(upgrader.lastError(), "disk full");
    EXPECT_EQ(digest(dataFile()), before);
}

TEST_F(UpgraderTest, ANewLinkDatabaseIsLeftOnlyWhenTheTablesChange)
{
    DatabaseUpgrader upgrader;
    ASSERT_TRUE(upgrade({baseline()}, &upgrader)) << upgrader.lastError().toStdString();
    EXPECT_FALSE(upgrader.linkDatabaseWritten());
    EXPECT_FALSE(QFile::exists(linkBackup()));

    ASSERT_TRUE(upgrade({baseline(), addsMileage()}, &upgrader))
        << upgrader.lastError().toStdString();
    EXPECT_TRUE(upgrader.linkDatabaseWritten());
    ASSERT_TRUE(QFile::exists(linkBackup()));
    EXPECT_EQ(QFile::permissions(linkBackup()) & (QFile::ReadOther | QFile::ReadGroup), 0);
    Open link(linkBackup());
    EXPECT_EQ(link.scalar("SELECT COUNT(*) FROM tblLinkCatalog").toInt(),
              sharedTableNames().size() + 1);
    EXPECT_EQ(link.scalar("SELECT LinkDatasource FROM tblLinkCatalog WHERE Name = 'tblMileage'")
                  .toString(),
              dataFile());
}

TEST_F(UpgraderTest, AMissingLinkDatabaseIsReplaced)
{
    QFile::remove(linkFile());
    DatabaseUpgrader upgrader;
    ASSERT_TRUE(upgrade({baseline()}, &upgrader)) << upgrader.lastError().toStdString();
    EXPECT_TRUE(upgrader.linkDatabaseWritten());
    Open link(linkBackup());
    EXPECT_EQ(link.scalar("SELECT COUNT(*) FROM tblLinkCatalog").toInt(),
              sharedTableNames().size());
}

TEST_F(UpgraderTest, RefusesWhatItCannotDoWithoutTouchingAnything)
{
    DatabaseUpgrader upgrader;
    upgrader.prepare(2, programDir(), dataDir());
    EXPECT_FALSE(upgrader.run()) << "unknown mode";

    const QString elsewhere = dir.filePath("empty");
    QDir().mkpath(elsewhere);
    upgrader.prepare(DatabaseUpgrader::ModeUpgrade, programDir(), elsewhere);
    EXPECT_FALSE(upgrader.run());
    EXPECT_FALSE(QFile::exists(elsewhere + "/QVData.db")) << "no empty database in its place";

    EXPECT_FALSE(upgrade({baseline(), addsMileage(), {2, "Again", {}, {}}}));
    EXPECT_EQ(upgradeRequest().toInt(), 1);
}

TEST_F(UpgraderTest, TheProgramsOwnListBringsAFreshFileToTheCurrentVersion)
{
    DatabaseUpgrader upgrader; // the program's steps
    upgrader.prepare(DatabaseUpgrader::ModeUpgrade, programDir(), dataDir());
    ASSERT_TRUE(upgrader.run()) << upgrader.lastError().toStdString();
    EXPECT_EQ(upgrader.versionAfter(), programSchemaVersion());
    EXPECT_EQ(upgradeRequest().toInt(), 0);
}

TEST_F(UpgraderTest, AVersionOneFileGainsInvoicesAndKeepsItsRows)
{
    // The file as the first schema made it.
    ASSERT_NO_FATAL_FAILURE(asOlderFile(
        {"DROP TABLE tblInvoices", "DROP TABLE tblReimbursements", "DROP TABLE tblBillingOptions",
         "DROP INDEX IX_Payments_InvoiceID", "ALTER TABLE tblPayments DROP COLUMN InvoiceID",
         "ALTER TABLE tblContacts DROP COLUMN BillingIncrement",
         "ALTER TABLE tblContacts DROP COLUMN BillingRounding",
         "INSERT INTO tblContacts (ContactName) VALUES ('Kept Ltd')",
         "INSERT INTO tblPayments (ContactID, PaymentAmount) VALUES (1, 5)",
         "PRAGMA user_version = 1"}));
    ASSERT_NO_FATAL_FAILURE(upgradeAsTheProgramDoes());

    Open data(dataFile());
    QSqlQuery q(data.db());
    ASSERT_TRUE(q.exec("SELECT InvoiceID, PaymentAmount FROM tblPayments"));
    ASSERT_TRUE(q.next());
    EXPECT_TRUE(q.value(0).isNull());
    EXPECT_EQ(q.value(1).toInt(), 5);
    ASSERT_TRUE(q.exec("SELECT BillingIncrement, BillingRounding FROM tblContacts"));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.value(0).toInt(), 0);
    for (const char *table : {"tblInvoices", "tblReimbursements", "tblBillingOptions"})
        EXPECT_TRUE(q.exec(QStringLiteral("SELECT COUNT(*) FROM %1").arg(table))) << table;
    // The link file follows: the new tables are reached through it as well.
    Open link(linkFile());
    QSqlQuery catalog(link.db());
    ASSERT_TRUE(catalog.exec("SELECT COUNT(*) FROM tblLinkCatalog WHERE Name = 'tblInvoices'"));
    ASSERT_TRUE(catalog.next());
    EXPECT_EQ(catalog.value(0).toInt(), 1);
}

TEST_F(UpgraderTest, AVersionThreeFileGainsTheIndexesOfOpenWorkAndOfThePicker)
{
    ASSERT_NO_FATAL_FAILURE(
        asOlderFile({"DROP INDEX IX_TimeCards_InvoiceID",
                     "CREATE INDEX IX_TimeCards_InvoiceID ON tblTimeCards (InvoiceID)",
                     "DROP INDEX IX_Contacts_AccountName", "PRAGMA user_version = 3"}));
    ASSERT_NO_FATAL_FAILURE(upgradeAsTheProgramDoes());
    EXPECT_EQ(indexColumns("IX_TimeCards_InvoiceID"), (QStringList{"InvoiceID", "UserId"}));
    EXPECT_EQ(indexColumns("IX_Contacts_AccountName"),
              (QStringList{"ContactAccount", "ContactName", "Active"}));
}
