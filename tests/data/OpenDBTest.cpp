#include "data/AdminOptionOrdinals.h"
#include "data/DataStore.h"
#include "data/LinkCatalog.h"
#include "data/Schema.h"
#include "platform/db/Connection.h"
#include "testsupport/ProgramFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>

using namespace quorvale;
using quorvale::test::ProgramFiles;

namespace {

QString linkDatasourceOf(const ProgramFiles &files, const QString &table)
{
    return files
        .scalar(files.linkFile(), "SELECT LinkDatasource FROM tblLinkCatalog WHERE Name = ?",
                {table})
        .toString();
}

void pointAllLinksAt(const ProgramFiles &files, const QString &file, const QString &type)
{
    files.exec(
        files.linkFile(),
        QStringLiteral("UPDATE tblLinkCatalog SET LinkDatasource = ?, Type = ?, "
                       "LinkProviderString = ?"),
        {file, type, type == QLatin1String("LINK") ? "MS Access;Pwd=x" : "DSN=Gone;Database=old;"});
}

int count(db::Connection &c, const QString &table)
{
    return c.scalar("SELECT count(*) FROM " + table).toInt();
}

} // namespace

TEST(OpenDB, ConnectionTypeZeroReachesTheProgramDatabaseThroughTheLinkFile)
{
    QV_EMBEDDED_ONLY("the link file and QVData.db of the embedded engine");
    ProgramFiles files;
    files.addContact("O'Brien & Sons");
    DataStore store(files.databaseSettings(0), files.programDir(), files.prompts, files.errors);
    ASSERT_TRUE(store.VerifyDirectoriesAndFiles());
    ASSERT_TRUE(store.OpenDB());
    EXPECT_EQ(store.cnnLink().filePath(), files.linkFile());
    EXPECT_EQ(count(store.cnnLink(), "tblContacts"), 1);
    EXPECT_EQ(store.cnnData(), nullptr);
    EXPECT_TRUE(store.cnnLocal().isOpen());
    ASSERT_FALSE(store.rsAdminOptions().eof());
    EXPECT_EQ(store.rsAdminOptions().collect(AdminOption::ContactTerm).toString(), "Contact");
    // Writes through the link land in the data file.
    store.cnnLink().execute("UPDATE tblContacts SET ContactAccount = 'A-1'");
    EXPECT_EQ(files.scalar(files.dataFile(), "SELECT ContactAccount FROM tblContacts").toString(),
              "A-1");
    EXPECT_EQ(files.endedWith, 0);
}

TEST(OpenDB, TrailingSeparatorNamesTheSameFilesAndLeavesGoodLinksAlone)
{
    QV_EMBEDDED_ONLY("the link file and QVData.db of the embedded engine");
    ProgramFiles files;
    // A marker on a link that already points right: a refresh would overwrite it.
    files.exec(files.linkFile(),
               QStringLiteral("UPDATE tblLinkCatalog SET LinkProviderString = 'marker' "
                              "WHERE Name = 'tblContacts'"));
    DatabaseSettings settings = files.databaseSettings(0);
    settings.dataSource += QDir::separator();
    DataStore store(settings, files.programDir(), files.prompts, files.errors);
    ASSERT_TRUE(store.OpenDB());
    EXPECT_EQ(linkDatasourceOf(files, "tblAdminOptions"), files.dataFile());
    EXPECT_EQ(files
                  .scalar(files.linkFile(),
                          QStringLiteral("SELECT LinkProviderString FROM tblLinkCatalog "
                                         "WHERE Name = 'tblContacts'"))
                  .toString(),
              "marker");
}

TEST(OpenDB, StaleLinksAreRepointedAtTheDataDirectory)
{
    QV_EMBEDDED_ONLY("the link file and QVData.db of the embedded engine");
    ProgramFiles files;
    pointAllLinksAt(files, "/nowhere/QVData.db", "LINK");
    DataStore store(files.databaseSettings(0), files.programDir(), files.prompts, files.errors);
    ASSERT_TRUE(store.OpenDB());
    for (const QString &table : schema::sharedTableNames())
        EXPECT_EQ(linkDatasourceOf(files, table), files.dataFile()) << table.toStdString();
    EXPECT_EQ(count(store.cnnLink(), "tblAdminOptions"), 1);
}

TEST(OpenDB, PassThroughLinksOpenedWithFileSettingsBecomeFileLinksInTwoPasses)
{
    QV_EMBEDDED_ONLY("the link file and QVData.db of the embedded engine");
    ProgramFiles files;
    pointAllLinksAt(files, QString(), "PASS-THROUGH");
    DataStore store(files.databaseSettings(0), files.programDir(), files.prompts, files.errors);
    ASSERT_TRUE(store.OpenDB()) << files.prompts.messages().value(0).text.toStdString();
    LinkCatalog &catalog = store.linkDatabase().catalog();
    const auto tables = catalog.tables();
    ASSERT_EQ(static_cast<qsizetype>(tables.size()), schema::sharedTableNames().size());
    for (const LinkedTable &t : tables) {
        EXPECT_EQ(t.type, "LINK") << t.name.toStdString();
        EXPECT_EQ(t.linkDatasource, files.dataFile());
        EXPECT_EQ(t.linkProviderString, "MS Access;Pwd=r9h)2m!]7kWq4/TbNeYs");
        EXPECT_EQ(t.remoteTableName, t.name);
    }
    EXPECT_EQ(count(store.cnnLink(), "tblAdminOptions"), 1);
}

TEST(OpenDB, ConnectionTypeTwoNeverTouchesTheLinkFileNorUpgrades)
{
    QV_EMBEDDED_ONLY("the link file and QVData.db of the embedded engine");
    ProgramFiles files;
    files.exec(files.dataFile(), "UPDATE tblAdminOptions SET UpgradeRequest = 1");
    QFile::remove(files.linkFile());
    int upgrades = 0;
    DataStore store(files.databaseSettings(2), files.programDir(), files.prompts, files.errors);
    store.setUpgrade([&](const QString &, const QString &) { return ++upgrades > 0; });
    ASSERT_TRUE(store.OpenDB());
    EXPECT_EQ(upgrades, 0);
    EXPECT_FALSE(QFile::exists(files.linkFile()));
    EXPECT_EQ(store.cnnLink().filePath(), files.dataFile());
}

TEST(OpenDB, ConnectionTypeOneHoldsTheDataFileOpenUntilReleased)
{
    QV_EMBEDDED_ONLY("the link file and QVData.db of the embedded engine");
    ProgramFiles files;
    DataStore store(files.databaseSettings(1), files.programDir(), files.prompts, files.errors);
    ASSERT_TRUE(store.OpenDB());
    ASSERT_NE(store.cnnData(), nullptr);
    EXPECT_EQ(store.cnnData()->filePath(), files.dataFile());
    store.closeDataConnection();
    EXPECT_EQ(store.cnnData(), nullptr);
    EXPECT_TRUE(store.cnnLink().isOpen());
}

TEST(OpenDB, UpgradeRunsOnlyOnRequestOneAndStampsTheRecordId)
{
    QV_EMBEDDED_ONLY("the link file and QVData.db of the embedded engine");
    for (int request : {0, 2, 1}) {
        ProgramFiles files;
        files.exec(files.dataFile(), "UPDATE tblAdminOptions SET UpgradeRequest = ?", {request});
        int upgrades = 0;
        QString seenProgramDir, seenDataDir;
        DataStore store(files.databaseSettings(0), files.programDir(), files.prompts, files.errors);
        store.setUpgrade([&](const QString &programDir, const QString &dataDir) {
            ++upgrades;
            seenProgramDir = programDir;
            seenDataDir = dataDir;
            return true;
        });
        ASSERT_TRUE(store.OpenDB()) << request;
        EXPECT_EQ(upgrades, request == 1 ? 1 : 0) << request;
        const int recordId =
            files.scalar(files.dataFile(), "SELECT RecordID FROM tblAdminOptions").toInt();
        if (request == 1) {
            EXPECT_EQ(recordId, 21);
            EXPECT_EQ(seenProgramDir, files.programDir());
            EXPECT_EQ(seenDataDir, files.dataDir());
            EXPECT_TRUE(store.rsAdminOptions().isOpen());
        } else {
            EXPECT_NE(recordId, 21);
        }
    }
}

TEST(OpenDB, UpgradeSwapsInTheNewLinkFileOnlyWhenThereIsOne)
{
    QV_EMBEDDED_ONLY("the link file and QVData.db of the embedded engine");
    ProgramFiles files;
    files.exec(files.dataFile(), "UPDATE tblAdminOptions SET UpgradeRequest = 1");
    const QString backup = QDir(files.programDir()).filePath("QVLinkBU.db");
    DataStore store(files.databaseSettings(0), files.programDir(), files.prompts, files.errors);
    store.setUpgrade([&](const QString &, const QString &) {
        // The upgrade leaves a new link file that points elsewhere and has a marker.
        EXPECT_TRUE(QFile::copy(files.linkFile(), backup));
        files.exec(backup, "UPDATE tblLinkCatalog SET LinkDatasource = '/x/QVData.db'");
        files.exec(backup, "CREATE TABLE Marker (x INTEGER)");
        return true;
    });
    ASSERT_TRUE(store.OpenDB());
    EXPECT_FALSE(QFile::exists(backup));
    EXPECT_EQ(
        files.scalar(files.linkFile(), "SELECT count(*) FROM sqlite_master WHERE name = 'Marker'")
            .toInt(),
        1);
    // ... and was re-linked to the configured data directory.
    EXPECT_EQ(linkDatasourceOf(files, "tblContacts"), files.dataFile());
}

TEST(OpenDB, FailedUpgradeEndsStartUpWithAReport)
{
    QV_EMBEDDED_ONLY("the link file and QVData.db of the embedded engine");
    ProgramFiles files;
    files.exec(files.dataFile(), "UPDATE tblAdminOptions SET UpgradeRequest = 1");
    DataStore store(files.databaseSettings(0), files.programDir(), files.prompts, files.errors);
    store.setUpgrade([](const QString &, const QString &) { return false; });
    EXPECT_FALSE(store.OpenDB());
    EXPECT_NE(files.endedWith, 0);
    ASSERT_FALSE(files.prompts.messages().isEmpty());
    EXPECT_TRUE(files.prompts.messages().last().text.contains("upgrade"));
}

TEST(OpenDB, BrokenFilesAreReportedByNameAndNothingChangesOnDisk)
{
    QV_EMBEDDED_ONLY("the link file and QVData.db of the embedded engine");
    struct Case {
        const char *what;
        std::function<void(ProgramFiles &)> breakIt;
        std::function<QString(ProgramFiles &)> named;
    };
    const std::vector<Case> cases = {
        {"missing data file", [](ProgramFiles &f) { QFile::remove(f.dataFile()); },
         [](ProgramFiles &f) { return f.dataFile(); }},
        {"corrupt data file",
         [](ProgramFiles &f) {
             QFile file(f.dataFile());
             ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
             file.write(QByteArray(4096, 'x'));
         },
         [](ProgramFiles &f) { return f.dataFile(); }},
        {"link to nowhere",
         [](ProgramFiles &f) {
             // Links that look right to RefreshLinks but name a file that is gone.
             QFile::rename(f.dataFile(), f.dataFile() + ".moved");
         },
         [](ProgramFiles &f) { return f.dataFile(); }},
        {"missing link file", [](ProgramFiles &f) { QFile::remove(f.linkFile()); },
         [](ProgramFiles &f) { return f.linkFile(); }},
    };
    for (const Case &c : cases) {
        ProgramFiles files;
        c.breakIt(files);
        const QStringList before = files.snapshot();
        DataStore store(files.databaseSettings(0), files.programDir(), files.prompts, files.errors);
        EXPECT_FALSE(store.OpenDB()) << c.what;
        EXPECT_NE(files.endedWith, 0) << c.what;
        ASSERT_FALSE(files.prompts.messages().isEmpty()) << c.what;
        // The report names the file; the person is told where the report is.
        bool named = false;
        for (const QFileInfo &f :
             QDir(files.programDir() + "/../reports").entryInfoList(QDir::Files)) {
            QFile report(f.absoluteFilePath());
            report.open(QIODevice::ReadOnly);
            named = named || QString::fromUtf8(report.readAll()).contains(c.named(files));
        }
        EXPECT_TRUE(named) << c.what;
        EXPECT_EQ(files.snapshot(), before) << c.what;
    }
}

TEST(OpenDB, MissingLocalDatabaseIsToldWithTheProgramDirectory)
{
    ProgramFiles files;
    QFile::remove(files.localFile());
    files.prompts.answer(PromptResult::Retry);
    DataStore store(files.databaseSettings(0), files.programDir(), files.prompts, files.errors);
    EXPECT_FALSE(store.VerifyDirectoriesAndFiles());
    ASSERT_EQ(files.prompts.messages().size(), 1);
    const auto &m = files.prompts.messages().first();
    EXPECT_EQ(m.title, "Missing Database File");
    EXPECT_EQ(m.buttons, PromptButtons::RetryCancel);
    EXPECT_EQ(m.text,
              QStringLiteral("Quorvale cannot locate your database, \"QVLocal.db\". \r\n"
                             "This database is required to be located in the following directory"
                             "\r\non your computer:\r\n\r\n") +
                  files.programDir() +
                  QStringLiteral("\r\n\r\nPlease locate this file and copy it to the above "
                                 "directory and\r\nthen try starting Quorvale again."));
}
