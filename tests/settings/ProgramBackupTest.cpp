// Backups and restores of the program database on real files: a backup is a
// checked copy of every row even while the database is in use, the oldest go
// only once a new one is good, a restore brings back every row and refuses
// what is no program database, and a server gets a command, not a copy.

#include "settings/ProgramBackup.h"

#include "data/DatabaseSettings.h"
#include "platform/core/QvError.h"
#include "platform/db/Connection.h"
#include "platform/registry/Registry.h"
#include "qvadmin/InitCommand.h"
#include "settings/BackupTestFiles.h"
#include "testsupport/FullDisk.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/ScopedEnv.h"
#include "testsupport/TempDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <sys/stat.h>

using namespace quorvale;
using namespace quorvale::test;

namespace {

QDateTime at(int day, int hour = 9)
{
    return QDateTime(QDate(2026, 3, day), QTime(hour, 30, 5));
}

class ProgramBackupTest : public ::testing::Test {
protected:
    // A demo office's program database (rows in most tables) in `dataDir`.
    void makeDatabase(const QString &dataDir)
    {
        admin::InitOptions init;
        init.location.programDir = QFileInfo(dataDir).absolutePath() + "/program";
        init.location.dataDir = dataDir;
        init.userName = "Ann O'Hara";
        init.demo = true;
        Registry registry(tmp.filePath("setup.ini"));
        ASSERT_GT(admin::initialise(init, registry).userId, 0);
        settings.dataSource = dataDir;
    }
    void SetUp() override { makeDatabase(tmp.filePath("data")); }

    QString live() const { return joinPath(settings.dataDirectory(), "QVData.db"); }
    QString folder() const { return tmp.filePath("backups"); }

    void exec(const QString &sql, const QVariantList &params = {})
    {
        db::Connection c;
        c.open(sqliteConnect(live()));
        c.execute(sql, params);
    }

    ProgramBackupResult backup(const QDateTime &when, int keep = 7, const CopySteps &steps = {})
    {
        return backupProgramDatabase(settings, folder(), keep, when, steps);
    }

    QStringList backupNames() const
    {
        return QDir(folder()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    template <typename Work> QvError failure(Work work)
    {
        try {
            work();
        } catch (const QvError &e) {
            return e;
        }
        ADD_FAILURE() << "it did not fail";
        return QvError(0, {}, {});
    }

    TempDir tmp;
    DatabaseSettings settings;
};

TEST_F(ProgramBackupTest, ABackupIsACheckedCopyOfEveryRowWhileTheDatabaseIsInUse)
{
    // The program keeps its connection open, with work not yet checkpointed.
    db::Connection program;
    program.open(sqliteConnect(live()));
    program.execute("INSERT INTO tblContacts (ContactName) VALUES ('Written Just Now Ltd')");
    ASSERT_GT(QFileInfo(live() + "-wal").size(), 0);
    const auto rows = contents(live());
    ASSERT_GT(rowCount(rows), 100);
    std::vector<std::pair<qint64, qint64>> progress;
    CopySteps steps;
    steps.pagesPerStep = 8;
    steps.progress = [&](qint64 done, qint64 total) { progress.emplace_back(done, total); };

    const ProgramBackupResult result = backup(at(2, 3), 7, steps);

    EXPECT_FALSE(result.cancelled);
    EXPECT_FALSE(result.onServer());
    EXPECT_EQ(result.file, QDir(folder()).filePath("QVData-20260302-033005.db"));
    EXPECT_TRUE(sameContents(contents(result.file), rows));
    EXPECT_EQ(backupNames(), QStringList{"QVData-20260302-033005.db"}) << "no log beside it";
    ASSERT_GT(progress.size(), 2u);
    EXPECT_EQ(progress.back().first, progress.back().second);
    EXPECT_EQ(result.pages, progress.back().second);
    struct stat status {};
    ASSERT_EQ(::stat(QFile::encodeName(result.file).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u) << "the firm's billing data stays the owner's";
    // The program was not disturbed.
    program.execute("INSERT INTO tblContacts (ContactName) VALUES ('Written After Ltd')");
    EXPECT_EQ(program.scalar("SELECT COUNT(*) FROM tblContacts WHERE ContactName LIKE 'Written%'")
                  .toInt(),
              2);
}

TEST_F(ProgramBackupTest, KeepsTheNewestCopiesAndDeletesOlderOnesOnlyAfterANewOneIsGood)
{
    QDir().mkpath(folder());
    for (const char *other : {"QVData-before-restore-20260101-000000.db", "notes.txt"}) {
        QFile f(QDir(folder()).filePath(other));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    backup(at(1));
    backup(at(2));
    backup(at(3));
    const ProgramBackupResult fourth = backup(at(4), 3);
    EXPECT_EQ(fourth.removed, QStringList{QDir(folder()).filePath("QVData-20260301-093005.db")});
    EXPECT_EQ(backupNames(),
              (QStringList{"QVData-20260302-093005.db", "QVData-20260303-093005.db",
                           "QVData-20260304-093005.db", "QVData-before-restore-20260101-000000.db",
                           "notes.txt"}));

    // A clock set back names the new copy as if it were the oldest: it stays.
    const ProgramBackupResult early = backup(at(1, 8), 2);
    EXPECT_TRUE(QFileInfo::exists(early.file));
    EXPECT_TRUE(QFileInfo::exists(QDir(folder()).filePath("QVData-20260304-093005.db")));
    EXPECT_FALSE(QFileInfo::exists(QDir(folder()).filePath("QVData-20260303-093005.db")));
    EXPECT_FALSE(QFileInfo::exists(QDir(folder()).filePath("QVData-20260302-093005.db")));
}

TEST_F(ProgramBackupTest, ABackupThatFailsDeletesNoEarlierCopy)
{
    FullDisk disk(16 * 1024 * 1024);
    const QString onDisk = disk.filePath("backups");
    backupProgramDatabase(settings, onDisk, 1, at(1));
    const QStringList before = QDir(onDisk).entryList(QDir::Files | QDir::Hidden);
    ASSERT_EQ(before.size(), 1);

    disk.fill(16 * 1024);
    const QvError error = failure([&] { backupProgramDatabase(settings, onDisk, 1, at(2)); });
    disk.release();

    EXPECT_EQ(error.number(), ErrorNumber::DiskFull) << error.description().toStdString();
    EXPECT_TRUE(error.description().contains("the earlier copies were kept"))
        << error.description().toStdString();
    EXPECT_EQ(QDir(onDisk).entryList(QDir::Files | QDir::Hidden), before);
}

TEST_F(ProgramBackupTest, ACancelledBackupLeavesNothingBehind)
{
    for (int stopAfter : {1, 1000000}) {
        int calls = 0;
        CopySteps steps;
        steps.pagesPerStep = 4;
        // Once the pages are copied the check can still be cancelled.
        bool copied = false;
        steps.progress = [&](qint64 done, qint64 total) {
            ++calls;
            copied = done == total;
        };
        steps.cancelled = [&] { return calls >= stopAfter || (stopAfter > 1 && copied); };

        const ProgramBackupResult result = backup(at(5), 7, steps);

        EXPECT_TRUE(result.cancelled) << "cancelled after " << stopAfter << " steps";
        EXPECT_TRUE(result.file.isEmpty());
        EXPECT_EQ(backupNames(), QStringList()) << "cancelled after " << stopAfter << " steps";
    }
}

TEST_F(ProgramBackupTest, BackupIsDueWhenItsDaysHavePassed)
{
    const QDate today(2026, 3, 10);
    BackupOptions options;
    options.folder = folder();
    options.everyDays = 3;
    EXPECT_TRUE(backupDue(options, today)) << "never backed up";
    options.lastBackup = today.addDays(-2);
    EXPECT_FALSE(backupDue(options, today));
    options.lastBackup = today.addDays(-3);
    EXPECT_TRUE(backupDue(options, today));
    options.lastBackup = today.addDays(5);
    EXPECT_TRUE(backupDue(options, today)) << "a last backup in the future is not trusted";
    options.everyDays = 0;
    EXPECT_FALSE(backupDue(options, today)) << "no schedule";
    options.everyDays = 3;
    options.folder.clear();
    EXPECT_FALSE(backupDue(options, today)) << "nowhere to put it";
}

TEST_F(ProgramBackupTest, RestoreBringsBackEveryRowOfEveryTable)
{
    const ProgramBackupResult made = backup(at(2));
    const auto saved = contents(live());
    // A day's mistakes: rows gone from many tables, one added.
    for (const char *sql :
         {"DELETE FROM tblTimeCards WHERE TimeCardID % 2 = 0", "DELETE FROM tblExpenses",
          "DELETE FROM tblContacts WHERE ContactID > 3", "DELETE FROM tblPayments",
          "INSERT INTO tblUsers (UserName) VALUES ('Mistake')"})
        exec(sql);
    const auto mistaken = contents(live());
    ASSERT_NE(mistaken, saved);

    std::vector<int> steps;
    const RestoreResult result =
        restoreProgramDatabase(settings, made.file, folder(), at(3),
                               [&](int step, int, const QString &) { steps.push_back(step); });

    EXPECT_TRUE(sameContents(contents(live()), saved));
    EXPECT_EQ(result.keptAs, QDir(folder()).filePath("QVData-before-restore-20260303-093005.db"));
    EXPECT_TRUE(sameContents(contents(result.keptAs), mistaken))
        << "the replaced database is kept whole";
    EXPECT_EQ(leftovers(settings.dataDirectory()), QStringList());
    EXPECT_EQ(leftovers(folder()), QStringList());
    EXPECT_EQ(steps, (std::vector<int>{1, 2, 3, 4}));
    // The backup itself may be restored again: it was not touched.
    EXPECT_TRUE(sameContents(contents(made.file), saved));
}

TEST_F(ProgramBackupTest, RestoreWithoutALiveDatabasePutsTheBackupInPlace)
{
    const ProgramBackupResult made = backup(at(2));
    const auto saved = contents(live());
    ASSERT_TRUE(QFile::remove(live()));

    const RestoreResult result = restoreProgramDatabase(settings, made.file, folder(), at(3));

    EXPECT_TRUE(result.keptAs.isEmpty());
    EXPECT_TRUE(sameContents(contents(live()), saved));
}

TEST_F(ProgramBackupTest, WhatIsNoProgramDatabaseIsRefusedAndChangesNothing)
{
    const ProgramBackupResult made = backup(at(2));
    const QByteArray before = bytesOf(live());
    const auto file = [&](const char *name, const QByteArray &bytes) {
        const QString path = tmp.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        return path;
    };
    QByteArray damaged = bytesOf(made.file);
    for (qsizetype i = 4096; i < damaged.size(); i += 4096)
        damaged[i + 10] = char(0x5a); // a byte in the middle of every page's header
    QByteArray newer = bytesOf(made.file);
    newer[60] = char(0x7f); // PRAGMA user_version, stored big-endian at offset 60

    struct Case {
        QString file;
        QString says;
    };
    const Case cases[] = {
        {file("notes.db", "Remember to back up\n"), "not a database at all"},
        {file("empty.db", {}), "not a database at all"},
        {joinPath(tmp.filePath("program"), "QVLocal.db"), "it has no tblTimeCards, tblUsers, "
                                                          "tblAdminOptions"},
        {file("damaged.db", damaged), "not a Quorvale program database"},
        {file("newer.db", newer), "newer version of Quorvale"},
        {tmp.filePath("missing.db"), "was not found"},
        {live(), "is the program database itself"},
    };
    for (const Case &c : cases) {
        const QvError error =
            failure([&] { restoreProgramDatabase(settings, c.file, folder(), at(3)); });
        EXPECT_TRUE(error.description().contains(c.says))
            << c.file.toStdString() << ": " << error.description().toStdString();
        EXPECT_TRUE(error.description().contains("QVData.db was not changed"))
            << error.description().toStdString();
        EXPECT_EQ(bytesOf(live()), before) << c.file.toStdString();
        EXPECT_EQ(leftovers(settings.dataDirectory()), QStringList()) << c.file.toStdString();
    }
    EXPECT_EQ(backupNames(), QStringList{"QVData-20260302-093005.db"}) << "no copy kept for naught";
}

TEST_F(ProgramBackupTest, ADatabaseStillOpenIsNotReplaced)
{
    const ProgramBackupResult made = backup(at(2));
    exec("DELETE FROM tblExpenses");
    const auto before = contents(live());
    db::Connection stillOpen;
    stillOpen.open(sqliteConnect(live()));
    stillOpen.scalar("SELECT COUNT(*) FROM tblUsers");

    const QvError error =
        failure([&] { restoreProgramDatabase(settings, made.file, folder(), at(3)); });

    EXPECT_TRUE(error.description().contains("still open")) << error.description().toStdString();
    stillOpen.close();
    EXPECT_TRUE(sameContents(contents(live()), before));
    EXPECT_EQ(leftovers(settings.dataDirectory()), QStringList());
}

TEST_F(ProgramBackupTest, ARestoreOnAFullDiskKeepsTheLiveDatabase)
{
    FullDisk disk(32 * 1024 * 1024);
    makeDatabase(disk.filePath("data"));
    const ProgramBackupResult made = backup(at(2));
    exec("DELETE FROM tblTimeCards");
    const QByteArray before = bytesOf(live());

    disk.fill(64 * 1024);
    const QvError error =
        failure([&] { restoreProgramDatabase(settings, made.file, folder(), at(3)); });
    disk.release();

    EXPECT_EQ(error.number(), ErrorNumber::DiskFull) << error.description().toStdString();
    EXPECT_TRUE(error.description().contains("QVData.db was not changed"))
        << error.description().toStdString();
    EXPECT_EQ(bytesOf(live()), before);
    EXPECT_EQ(leftovers(settings.dataDirectory()), QStringList());
}

TEST_F(ProgramBackupTest, AServerGetsTheCommandToRunAndNothingIsRun)
{
    TempDir odbc;
    {
        QFile ini(odbc.filePath("odbc.ini"));
        ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
        ini.write("[QuorvaleFirm]\nDriver = PostgreSQL Unicode\nServername = db.firm.example\n"
                  "Port = 5544\nDatabase = other\n");
    }
    ScopedEnv odbcIni("ODBCINI", odbc.filePath("odbc.ini").toUtf8());
    struct Case {
        QString dataSource;
        QString program;
        QStringList expected; // arguments the command must carry
    };
    const Case cases[] = {
        {"DRIVER={PostgreSQL Unicode};SERVER=pg.firm.example;PORT=5433;",
         "pg_dump",
         {"--host=pg.firm.example", "--port=5433", "--username=ann", "quorvale_firm",
          "--file=" + folder() + "/QVData-20260302-093005.dump"}},
        {"DSN=QuorvaleFirm;",
         "pg_dump",
         {"--host=db.firm.example", "--port=5544", "quorvale_firm"}},
        {"DRIVER={ODBC Driver 18 for SQL Server};SERVER=sql.firm.example;",
         "sqlcmd",
         {"sql.firm.example", "ann",
          "BACKUP DATABASE [quorvale_firm] TO DISK = N'" + folder() +
              "/QVData-20260302-093005.bak' WITH CHECKSUM"}},
    };
    for (const Case &c : cases) {
        DatabaseSettings server;
        server.provider = "MSDASQL";
        server.dataSource = c.dataSource;
        server.catalog = "quorvale_firm";
        server.uid = "ann";
        server.pwd = "ScrambledSecret";

        const ProgramBackupResult result = backupProgramDatabase(server, folder(), 7, at(2));

        ASSERT_TRUE(result.onServer()) << c.dataSource.toStdString();
        EXPECT_EQ(result.server.program, c.program);
        for (const QString &argument : c.expected)
            EXPECT_TRUE(result.server.arguments.contains(argument))
                << argument.toStdString() << " in " << result.server.commandLine().toStdString();
        EXPECT_FALSE(result.server.commandLine().contains("ScrambledSecret"));
        EXPECT_FALSE(result.server.commandLine().contains("PWD", Qt::CaseInsensitive));
        EXPECT_TRUE(result.file.isEmpty());

        const RestoreResult restore =
            restoreProgramDatabase(server, tmp.filePath("QVData-20260302.dump"), folder(), at(3));
        EXPECT_TRUE(restore.onServer());
        EXPECT_TRUE(restore.server.commandLine().contains("quorvale_firm"));
        EXPECT_FALSE(restore.server.commandLine().contains("ScrambledSecret"));
    }
    EXPECT_FALSE(QFileInfo::exists(folder())) << "nothing was run, so nothing was made";
    // A shell takes the printed line as the same words.
    ServerCommand odd{"pg_dump", {"--file=/tmp/it's here.dump", "db"}};
    EXPECT_EQ(odd.commandLine(), "pg_dump '--file=/tmp/it'\\''s here.dump' db");
}

} // namespace
