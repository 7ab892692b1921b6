// Compaction of the local and report databases on real files: what a run
// leaves behind, and that each way it can fail leaves the live file (and the
// backup of the last run) exactly as they were.

#include "settings/LocalCompaction.h"

#include "data/DatabaseSettings.h"
#include "data/Schema.h"
#include "platform/core/QvError.h"
#include "platform/db/Connection.h"
#include "platform/db/Transaction.h"
#include "settings/BackupTestFiles.h"
#include "testsupport/FullDisk.h"
#include "testsupport/QtPrinters.h"
#include "testsupport/TempDir.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <gtest/gtest.h>
#include <memory>
#include <sys/stat.h>

using namespace quorvale;
using namespace quorvale::test;

namespace {

const QString Backups = QStringLiteral("Database Backups");

class LocalCompactionTest : public ::testing::Test {
protected:
    // Makes QVLocal.db with `rows` abbreviations, a third of them left after
    // deleting the rest (pages a compaction gives back), and a QVReport.db.
    void makeFiles(const QString &programDir, int rows = 3000)
    {
        dir = programDir;
        QDir().mkpath(dir);
        db::Connection::createSqliteFile(local());
        db::Connection::createSqliteFile(reportFile());
        {
            db::Connection c;
            c.open(sqliteConnect(local()));
            QSqlDatabase database = c.database();
            schema::createLocalSchema(database);
            addAbbreviations(c, rows);
            c.execute("DELETE FROM tblAbbreviations WHERE AbbreviationID % 3 <> 0");
        }
        {
            db::Connection c;
            c.open(sqliteConnect(reportFile()));
            QSqlDatabase database = c.database();
            schema::createReportSchema(database);
            c.execute("INSERT INTO tblReportLog (ReportName, UserID, Parameters) VALUES (?, ?, ?)",
                      {"timecards", 1, "--from 2026-01-01"});
        }
    }

    static void addAbbreviations(db::Connection &c, int rows, int first = 0)
    {
        db::Transaction tx(c);
        for (int i = first; i < first + rows; ++i)
            c.execute("INSERT INTO tblAbbreviations (SortOrder, Abbreviation, Text) VALUES (?, ?, "
                      "?)",
                      {i, QStringLiteral("ab%1").arg(i),
                       QStringLiteral("Expanded text number %1 ").arg(i).repeated(8)});
        tx.commit();
    }

    QString local() const { return joinPath(dir, "QVLocal.db"); }
    QString reportFile() const { return joinPath(dir, "QVReport.db"); }
    QString backupOf(const QString &name) const { return joinPath(joinPath(dir, Backups), name); }

    std::vector<CompactedDatabase> compact()
    {
        return CompactAndRepairLocalDatabases(dir, [this](int step, int steps, const QString &) {
            reported.emplace_back(step, steps);
        });
    }

    // Runs a compaction that must fail; returns its error.
    QvError failedCompaction()
    {
        try {
            compact();
        } catch (const QvError &e) {
            return e;
        }
        ADD_FAILURE() << "the compaction did not fail";
        return QvError(0, {}, {});
    }

    TempDir tmp;
    QString dir;
    std::vector<std::pair<int, int>> reported;
};

TEST_F(LocalCompactionTest, FirstRunCreatesTheBackupFolderAndCompactsBothFiles)
{
    makeFiles(tmp.filePath("program"));
    ASSERT_FALSE(QFileInfo::exists(joinPath(dir, Backups)));
    const auto localBefore = contents(local());
    const auto reportBefore = contents(reportFile());
    const qint64 sizeBefore = QFileInfo(local()).size();

    const std::vector<CompactedDatabase> done = compact();

    ASSERT_EQ(done.size(), 2u);
    EXPECT_TRUE(QFileInfo(joinPath(dir, Backups)).isDir());
    EXPECT_EQ(done[0].liveFile, local());
    EXPECT_EQ(done[0].backupFile, backupOf("QVLocal.db"));
    EXPECT_EQ(done[1].backupFile, backupOf("QVReport.db"));
    EXPECT_LT(QFileInfo(local()).size(), sizeBefore * 2 / 3) << "two thirds of the rows were gone";
    EXPECT_EQ(done[0].bytesBefore, sizeBefore);
    EXPECT_EQ(done[0].bytesAfter, QFileInfo(local()).size());
    // The backup and the live file are the same compacted file.
    EXPECT_EQ(bytesOf(backupOf("QVLocal.db")), bytesOf(local()));
    EXPECT_EQ(bytesOf(backupOf("QVReport.db")), bytesOf(reportFile()));
    EXPECT_TRUE(sameContents(contents(local()), localBefore));
    EXPECT_TRUE(sameContents(contents(reportFile()), reportBefore));
    struct stat status {};
    ASSERT_EQ(::stat(QFile::encodeName(local()).constData(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0600u) << "a person's own data stays theirs";
    EXPECT_EQ(leftovers(dir), QStringList());
    EXPECT_EQ(leftovers(joinPath(dir, Backups)), QStringList());
    const std::vector<std::pair<int, int>> expected{{1, 6}, {2, 6}, {3, 6}, {4, 6}, {5, 6}, {6, 6}};
    EXPECT_EQ(reported, expected);
}

TEST_F(LocalCompactionTest, RunningTwiceReplacesTheBackupsWithTheNewCopies)
{
    makeFiles(tmp.filePath("program"));
    compact();
    {
        db::Connection c;
        c.open(sqliteConnect(local()));
        addAbbreviations(c, 50, 100000);
    }
    const auto withNewRows = contents(local());
    ASSERT_FALSE(sameContents(contents(backupOf("QVLocal.db")), withNewRows));

    compact();

    EXPECT_TRUE(sameContents(contents(backupOf("QVLocal.db")), withNewRows));
    EXPECT_TRUE(sameContents(contents(local()), withNewRows));
    EXPECT_EQ(bytesOf(backupOf("QVLocal.db")), bytesOf(local()));
    EXPECT_EQ(leftovers(joinPath(dir, Backups)), QStringList());
}

// A crash leaves committed work in the write-ahead log: it must reach the
// compacted file, and the old log must not be applied to the new file later.
TEST_F(LocalCompactionTest, WorkLeftInTheLogByACrashIsKept)
{
    makeFiles(tmp.filePath("program"));
    const QString crashed = tmp.filePath("crashed");
    QDir().mkpath(crashed);
    {
        db::Connection c;
        c.open(sqliteConnect(local()));
        c.execute("INSERT INTO tblAbbreviations (SortOrder, Abbreviation, Text) VALUES (1, "
                  "'onlyinlog', 'written just before the crash')");
        // The files as a crash would leave them: the row is in the log only.
        ASSERT_GT(QFileInfo(local() + "-wal").size(), 0);
        for (const char *name : {"QVLocal.db", "QVLocal.db-wal", "QVReport.db"})
            ASSERT_TRUE(QFile::copy(joinPath(dir, name), joinPath(crashed, name)));
    }
    dir = crashed;

    compact();

    EXPECT_FALSE(QFileInfo::exists(local() + "-wal"));
    EXPECT_TRUE(contents(local())["tblAbbreviations"].join(u'\n').contains("onlyinlog"));
    EXPECT_TRUE(
        contents(backupOf("QVLocal.db"))["tblAbbreviations"].join(u'\n').contains("onlyinlog"));
}

TEST_F(LocalCompactionTest, AMissingReportDatabaseChangesNothing)
{
    makeFiles(tmp.filePath("program"));
    ASSERT_TRUE(QFile::remove(reportFile()));
    const QByteArray before = bytesOf(local());

    const QvError error = failedCompaction();

    EXPECT_EQ(error.number(), ErrorNumber::FileNotFound);
    EXPECT_TRUE(error.description().contains("QVReport.db was not found"))
        << error.description().toStdString();
    EXPECT_TRUE(error.description().contains("no file was changed"))
        << error.description().toStdString();
    EXPECT_EQ(bytesOf(local()), before);
    EXPECT_FALSE(QFileInfo::exists(joinPath(dir, Backups)));
}

TEST_F(LocalCompactionTest, ABackupFolderThatCannotBeMadeChangesNothing)
{
    makeFiles(tmp.filePath("program"));
    QFile blocker(joinPath(dir, Backups));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QByteArray localBefore = bytesOf(local());
    const QByteArray reportBefore = bytesOf(reportFile());

    const QvError error = failedCompaction();

    EXPECT_EQ(error.number(), ErrorNumber::PathFileAccess);
    EXPECT_TRUE(error.description().contains(Backups)) << error.description().toStdString();
    EXPECT_EQ(bytesOf(local()), localBefore);
    EXPECT_EQ(bytesOf(reportFile()), reportBefore);
    EXPECT_EQ(leftovers(dir), QStringList());
}

// A damaged file compacts into a damaged copy: it must neither replace the
// live file nor push out the last good backup.
TEST_F(LocalCompactionTest, ACopyThatFailsItsCheckReplacesNothing)
{
    makeFiles(tmp.filePath("program"));
    compact();
    const QByteArray goodBackup = bytesOf(backupOf("QVLocal.db"));
    {
        db::Connection c;
        c.open(sqliteConnect(local()));
        c.execute("CREATE TABLE tblDamage (Amount INTEGER CHECK (Amount > 0))");
        c.execute("PRAGMA ignore_check_constraints = ON");
        c.execute("INSERT INTO tblDamage VALUES (-1)");
    }
    const QByteArray before = bytesOf(local());

    const QvError error = failedCompaction();

    EXPECT_EQ(error.number(), ErrorNumber::Generic);
    EXPECT_TRUE(error.description().contains("failed its check"))
        << error.description().toStdString();
    EXPECT_TRUE(error.description().contains("QVLocal.db was kept as it was, and so was its "
                                             "backup"))
        << error.description().toStdString();
    EXPECT_EQ(bytesOf(local()), before);
    EXPECT_EQ(bytesOf(backupOf("QVLocal.db")), goodBackup);
    EXPECT_EQ(leftovers(joinPath(dir, Backups)), QStringList());
}

TEST_F(LocalCompactionTest, AFileStillOpenIsNotReplaced)
{
    makeFiles(tmp.filePath("program"));
    const auto before = contents(local());
    db::Connection stillOpen;
    stillOpen.open(sqliteConnect(local()));
    stillOpen.scalar("SELECT COUNT(*) FROM tblAbbreviations");

    const QvError error = failedCompaction();

    EXPECT_TRUE(error.description().contains("still open")) << error.description().toStdString();
    EXPECT_FALSE(QFileInfo::exists(backupOf("QVLocal.db")));
    // The connection goes on working on the very file it opened.
    stillOpen.execute("INSERT INTO tblAbbreviations (SortOrder, Abbreviation, Text) VALUES (1, "
                      "'after', 'kept')");
    stillOpen.close();
    auto after = contents(local());
    ASSERT_FALSE(after["tblAbbreviations"].isEmpty());
    after["tblAbbreviations"].removeLast();
    EXPECT_TRUE(sameContents(after, before));
    EXPECT_EQ(leftovers(joinPath(dir, Backups)), QStringList());
}

TEST_F(LocalCompactionTest, ADiskFullWhileCompactingKeepsTheLiveFileAndTheLastBackup)
{
    FullDisk disk(8 * 1024 * 1024);
    makeFiles(disk.filePath("program"));
    compact();
    {
        db::Connection c;
        c.open(sqliteConnect(local()));
        addAbbreviations(c, 2000, 100000);
    }
    const QByteArray before = bytesOf(local());
    const QByteArray lastBackup = bytesOf(backupOf("QVLocal.db"));
    ASSERT_GT(before.size(), 256 * 1024);

    disk.fill(64 * 1024);
    const QvError error = failedCompaction();
    disk.release();

    EXPECT_EQ(error.number(), ErrorNumber::DiskFull) << error.description().toStdString();
    EXPECT_TRUE(error.description().contains("QVLocal.db was kept as it was"))
        << error.description().toStdString();
    EXPECT_EQ(bytesOf(local()), before);
    EXPECT_EQ(bytesOf(backupOf("QVLocal.db")), lastBackup);
    EXPECT_EQ(leftovers(dir), QStringList());
    EXPECT_EQ(leftovers(joinPath(dir, Backups)), QStringList());
    // With the room back, the same run goes through.
    const auto rows = contents(local());
    compact();
    EXPECT_TRUE(sameContents(contents(local()), rows));
}

// There is room for the compacted copy but not for a second one beside the
// live file: the backup is already the new copy, the live file the old one.
TEST_F(LocalCompactionTest, ADiskThatFillsWhileTheLiveFileIsReplacedKeepsIt)
{
    FullDisk disk(8 * 1024 * 1024);
    if (!disk.mounted())
        GTEST_SKIP() << "a size limit on each file cannot fill the disk between two copies";
    makeFiles(disk.filePath("program"), 6000);
    const QString measured = tmp.filePath("measured.db");
    {
        db::Connection c;
        c.open(sqliteConnect(local()));
        c.execute("VACUUM INTO ?", {measured});
    }
    const qint64 compactedSize = QFileInfo(measured).size();
    ASSERT_GT(compactedSize, 256 * 1024);
    const QByteArray before = bytesOf(local());
    const auto rows = contents(local());

    disk.fill(compactedSize + compactedSize / 2 + 64 * 1024);
    const QvError error = failedCompaction();
    disk.release();

    EXPECT_EQ(error.number(), ErrorNumber::DiskFull) << error.description().toStdString();
    EXPECT_TRUE(error.description().contains("its compacted copy is"))
        << error.description().toStdString();
    EXPECT_EQ(bytesOf(local()), before);
    EXPECT_TRUE(sameContents(contents(backupOf("QVLocal.db")), rows));
    EXPECT_EQ(leftovers(dir), QStringList());
}

TEST_F(LocalCompactionTest, AReadOnlyDiskChangesNothing)
{
    FullDisk disk(8 * 1024 * 1024);
    makeFiles(disk.filePath("program"));
    compact();
    const QByteArray before = bytesOf(local());
    const QByteArray lastBackup = bytesOf(backupOf("QVLocal.db"));
    if (!disk.makeReadOnly())
        GTEST_SKIP() << "nothing here can make a folder read-only for this user";

    const QvError error = failedCompaction();
    disk.release();

    EXPECT_EQ(error.number(), ErrorNumber::PathFileAccess) << error.description().toStdString();
    EXPECT_TRUE(error.description().contains("QVLocal.db was kept as it was"))
        << error.description().toStdString();
    EXPECT_EQ(bytesOf(local()), before);
    EXPECT_EQ(bytesOf(backupOf("QVLocal.db")), lastBackup);
}

} // namespace
