// qvadmin backup, restore and compact on a demo office's databases: what each
// prints and leaves on the disk, what it refuses, and what a server gets.

#include "qvadmin/BackupCommand.h"

#include "AdminFixture.h"
#include "settings/BackupTestFiles.h"
#include "settings/InstanceLock.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTextStream>

using namespace quorvale;
using namespace quorvale::test;

namespace {

class BackupCommandTest : public AdminFixture {
protected:
    void SetUp() override { initHere({"--demo"}); }

    QString folder() const { return m_tmp.filePath("backups"); }
    admin::GlobalOptions here() const
    {
        admin::GlobalOptions globals;
        globals.settingsFile = settingsFile();
        globals.programDir = programDir();
        globals.dataDir = dataDir();
        return globals;
    }
    // The backup command as it runs at `when`.
    CommandOutput backupAt(const QDateTime &when, const QStringList &args)
    {
        CommandOutput o;
        QTextStream out(&o.out);
        o.result = admin::runBackup(args, here(), out, [&] { return when; });
        return o;
    }
    QStringList copies() const { return QDir(folder()).entryList(QDir::Files, QDir::Name); }
};

QDateTime on(int day)
{
    return QDateTime(QDate(2026, 4, day), QTime(18, 0, 0));
}

TEST_F(BackupCommandTest, BackupKeepsTheNewestCopiesAndRecordsTheDay)
{
    const CommandOutput first = runHere({"backup", "--to", folder()});
    ASSERT_EQ(first.result, 0) << first.err.toStdString();
    EXPECT_TRUE(first.out.startsWith("Backed up " + dataFile() + " to " + folder() + "/QVData-"))
        << first.out.toStdString();
    EXPECT_TRUE(first.out.contains("checked")) << first.out.toStdString();
    ASSERT_EQ(copies().size(), 1);
    ASSERT_TRUE(QFile::remove(QDir(folder()).filePath(copies().first())));

    for (int day : {1, 2, 3})
        ASSERT_EQ(backupAt(on(day), {"--to", folder(), "--keep", "2"}).result, 0);
    EXPECT_EQ(copies(), (QStringList{"QVData-20260402-180000.db", "QVData-20260403-180000.db"}));
    const CommandOutput fourth = backupAt(on(4), {"--to", folder(), "--keep", "2"});
    EXPECT_TRUE(
        fourth.out.contains("Removed the older copy " + folder() + "/QVData-20260402-180000.db"))
        << fourth.out.toStdString();
    EXPECT_EQ(contents(QDir(folder()).filePath("QVData-20260404-180000.db"))["tblTimeCards"],
              contents(dataFile())["tblTimeCards"])
        << "the copy holds every TimeCard";
    EXPECT_EQ(scalar("SELECT LastBackup FROM tblBackupOptions").toString(), "2026-04-04");
}

TEST_F(BackupCommandTest, ABackupWithNowhereToGoIsRefused)
{
    const CommandOutput o = runHere({"backup"});
    EXPECT_NE(o.result, 0);
    EXPECT_TRUE(o.err.contains("No backup folder is set")) << o.err.toStdString();
    EXPECT_NE(runHere({"backup", "--every", "3", "--to", folder()}).result, 0)
        << "--every belongs to --schedule";
    EXPECT_FALSE(QFileInfo::exists(folder()));
}

TEST_F(BackupCommandTest, TheScheduleIsKeptAndIfDueFollowsIt)
{
    const CommandOutput set =
        runHere({"backup", "--schedule", "--to", folder(), "--keep", "3", "--every", "7"});
    ASSERT_EQ(set.result, 0) << set.err.toStdString();
    EXPECT_TRUE(set.out.contains("keeping the newest 3 copies")) << set.out.toStdString();
    EXPECT_TRUE(set.out.contains("Nothing was copied")) << set.out.toStdString();
    EXPECT_FALSE(QFileInfo::exists(folder()));
    EXPECT_EQ(scalar("SELECT BackupFolder FROM tblBackupOptions").toString(), folder());

    // The folder and the number come from the schedule.
    EXPECT_EQ(backupAt(on(1), {"--if-due"}).result, 0);
    EXPECT_EQ(copies(), QStringList{"QVData-20260401-180000.db"});
    const CommandOutput notYet = backupAt(on(7), {"--if-due"});
    EXPECT_TRUE(notYet.out.contains("No backup is due: the last was on 2026-04-01, the next is due "
                                    "on 2026-04-08"))
        << notYet.out.toStdString();
    EXPECT_EQ(copies().size(), 1);
    backupAt(on(8), {"--if-due"});
    EXPECT_EQ(copies().size(), 2);
}

TEST_F(BackupCommandTest, AScheduleCanBeSetOnADatabaseMadeBeforeBackups)
{
    {
        auto db = openData();
        db->execute("DROP TABLE tblBackupOptions");
        db->execute("PRAGMA user_version = 2");
    }
    const CommandOutput o = runHere({"backup", "--schedule", "--to", folder(), "--every", "1"});
    EXPECT_EQ(o.result, 0) << o.err.toStdString();
    EXPECT_EQ(scalar("SELECT EveryDays FROM tblBackupOptions").toInt(), 1);
}

TEST_F(BackupCommandTest, RestoreRefusesWhatIsNoBackupAndNeedsForceToReplace)
{
    ASSERT_EQ(backupAt(on(1), {"--to", folder()}).result, 0);
    const QString backup = QDir(folder()).filePath("QVData-20260401-180000.db");
    // What the copy holds: the day of the backup is recorded only after it.
    const auto saved = contents(backup);
    ASSERT_FALSE(saved["tblTimeCards"].isEmpty());
    openData()->execute("DELETE FROM tblTimeCards");
    const QByteArray changed = bytesOf(dataFile());

    const QString notes = m_tmp.filePath("notes.txt");
    {
        QFile f(notes);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("not a database\n");
    }
    const CommandOutput refused = runHere({"restore", notes, "--force"});
    EXPECT_NE(refused.result, 0);
    EXPECT_TRUE(refused.err.contains("is not a Quorvale program database"))
        << refused.err.toStdString();
    EXPECT_EQ(bytesOf(dataFile()), changed);

    const CommandOutput unforced = runHere({"restore", backup});
    EXPECT_NE(unforced.result, 0);
    EXPECT_TRUE(unforced.err.contains("--force")) << unforced.err.toStdString();
    EXPECT_EQ(bytesOf(dataFile()), changed);

    const CommandOutput restored = runHere({"restore", backup, "--force"});
    ASSERT_EQ(restored.result, 0) << restored.err.toStdString();
    EXPECT_TRUE(restored.out.contains("Restored " + dataFile())) << restored.out.toStdString();
    EXPECT_TRUE(restored.out.contains("kept as " + folder() + "/QVData-before-restore-"))
        << restored.out.toStdString();
    EXPECT_TRUE(sameContents(contents(dataFile()), saved));
}

TEST_F(BackupCommandTest, CompactWaitsForQuorvaleToCloseAndThenCompactsBoth)
{
    const auto rows = contents(programDir() + "/QVLocal.db");
    {
        const InstanceLock running(programDir());
        ASSERT_EQ(running.state(), InstanceLock::State::Held);
        const CommandOutput refused = runHere({"compact"});
        EXPECT_NE(refused.result, 0);
        EXPECT_TRUE(refused.err.contains("Quorvale is running")) << refused.err.toStdString();
        EXPECT_FALSE(QFileInfo::exists(programDir() + "/Database Backups"));
    }

    const CommandOutput o = runHere({"compact"});
    ASSERT_EQ(o.result, 0) << o.err.toStdString();
    EXPECT_TRUE(o.out.startsWith("[1/6] Compacting QVLocal.db...\n")) << o.out.toStdString();
    EXPECT_TRUE(
        o.out.contains("the compacted copy is " + programDir() + "/Database Backups/QVReport.db"))
        << o.out.toStdString();
    EXPECT_EQ(QDir(programDir() + "/Database Backups").entryList(QDir::Files),
              (QStringList{"QVLocal.db", "QVReport.db"}));
    EXPECT_TRUE(sameContents(contents(programDir() + "/QVLocal.db"), rows));
}

TEST_F(BackupCommandTest, AServerGetsTheCommandToRunThereAndNothingIsRun)
{
    // No server answers on port 1: the command is shown all the same.
    const CommandOutput o =
        run({"--program-dir", programDir(), "--server",
             "DRIVER={PostgreSQL Unicode};SERVER=127.0.0.1;PORT=1;Database=qv_firm;UID=ann;",
             "backup", "--to", folder()});
    ASSERT_EQ(o.result, 0) << o.err.toStdString();
    EXPECT_TRUE(o.out.contains("pg_dump --format=custom --file=" + folder() + "/QVData-"))
        << o.out.toStdString();
    EXPECT_TRUE(o.out.contains("--host=127.0.0.1 --port=1 --username=ann qv_firm"))
        << o.out.toStdString();
    EXPECT_FALSE(QFileInfo::exists(folder()));
}

} // namespace
