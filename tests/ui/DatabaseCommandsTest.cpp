// The databases' upkeep from the main window's menus, on the demo program's
// real files: compaction of the local databases, the program database's
// backup by hand and on the schedule, and a restore that brings every row back.

#include "ui/DatabaseCommands.h"

#include "MainWindowFixture.h"
#include "data/DataStore.h"
#include "data/DatabaseSettings.h"
#include "platform/db/Connection.h"
#include "settings/LocalCompaction.h"
#include "settings/ProgramBackup.h"
#include "timecards/CommandTable.h"
#include "ui/WindowCommands.h"

#include <QSqlRecord>

using namespace quorvale;
using namespace quorvale::test;

namespace {

// Every row of every table, as text, for comparing two database files.
QStringList everyRow(const QString &path)
{
    db::Connection c;
    c.open(QStringLiteral("Provider=%1;Data Source=%2;Mode=Read;")
               .arg(QLatin1String(JetProvider), path));
    QStringList rows;
    QSqlQuery tables(c.database());
    tables.exec(QStringLiteral(
        "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%' "
        "ORDER BY name"));
    while (tables.next()) {
        const QString table = tables.value(0).toString();
        QSqlQuery q(c.database());
        q.exec(QStringLiteral("SELECT * FROM \"%1\" ORDER BY 1").arg(table));
        while (q.next()) {
            QStringList values{table};
            for (int i = 0; i < q.record().count(); ++i)
                values << q.value(i).toString();
            rows << values.join(u'|');
        }
    }
    return rows;
}

class DatabaseCommandsTest : public ShownDemoWindow {
protected:
    DatabaseCommands &commands() { return host->databaseCommands(); }
    QString dataFile() { return startUp->store().settings().dataDirectory() + "/QVData.db"; }
    std::unique_ptr<db::Connection> programDatabase()
    {
        auto c = std::make_unique<db::Connection>();
        c->open(ConnectionStrings::programDatabase(startUp->store().settings().dataDirectory()));
        return c;
    }
    QString lastTitle() { return prompts.messages().last().title; }
    QString lastText() { return prompts.messages().last().text; }
};

TEST_F(DatabaseCommandsTest, CompactionKeepsCopiesAndTheLocalDatabaseWorksAfterwards)
{
    const QString backups = localBackupFolder(programDir);
    window().abMainMenu_ToolClick(ToolId::CompactLocalDatabase);
    EXPECT_EQ(lastTitle(), "Compact Local Database");
    EXPECT_TRUE(lastText().startsWith("Your local databases were compacted."))
        << lastText().toStdString();
    EXPECT_TRUE(QFileInfo::exists(backups + "/QVLocal.db"));
    EXPECT_TRUE(QFileInfo::exists(backups + "/QVReport.db"));
    EXPECT_EQ(everyRow(backups + "/QVLocal.db"), everyRow(programDir + "/QVLocal.db"));
    // cnnLocal is open again: a timer run is kept there.
    EXPECT_TRUE(startUp->store().cnnLocal().isOpen());
    QTest::keyClick(&window(), Qt::Key_F3);
    QTest::keyClick(&window(), Qt::Key_F3);
    EXPECT_NO_THROW(startUp->store().cnnLocal().scalar("SELECT COUNT(*) FROM sqlite_master"));

    // A file where the backup folder should be: told, and the live file whole.
    QDir(backups).removeRecursively();
    QFile blocker(backups);
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    const QStringList before = everyRow(programDir + "/QVLocal.db");
    window().abMainMenu_ToolClick(ToolId::CompactLocalDatabase);
    EXPECT_EQ(lastTitle(), "Compact Local Database");
    EXPECT_EQ(prompts.messages().last().icon, PromptIcon::Warning);
    EXPECT_EQ(everyRow(programDir + "/QVLocal.db"), before);
    EXPECT_FALSE(before.isEmpty());
    EXPECT_TRUE(startUp->store().cnnLocal().isOpen());
    EXPECT_EQ(window().statusBar()->currentMessage(), "Review");
}

TEST_F(DatabaseCommandsTest, ABackupGoesToTheAdministratorsFolderOrOneChosenAndIsRecorded)
{
    const QString chosen = tmp.filePath("chosen");
    QDir().mkpath(chosen);
    int asked = 0;
    commands().hooks().chooseFolder = [&](const QString &) {
        ++asked;
        return chosen;
    };
    window().abMainMenu_ToolClick(ToolId::BackupProgramDatabase);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(lastTitle(), "Back Up Program Database");
    const QStringList made = QDir(chosen).entryList({"QVData-*.db"}, QDir::Files);
    ASSERT_EQ(made.size(), 1) << lastText().toStdString();
    EXPECT_TRUE(lastText().contains(made.front()));
    // The same rows but the date of this backup, recorded once it was made.
    const auto withoutOptions = [](QStringList rows) {
        rows.removeIf([](const QString &row) { return row.startsWith("tblBackupOptions|"); });
        return rows;
    };
    EXPECT_EQ(withoutOptions(everyRow(chosen + "/" + made.front())),
              withoutOptions(everyRow(dataFile())));
    EXPECT_EQ(readBackupOptions(*programDatabase()).lastBackup, QDate::currentDate());

    // The administrator's folder is taken without asking; an unwritable one is told.
    const QString blocked = tmp.filePath("blocked");
    QFile(blocked).open(QIODevice::WriteOnly);
    BackupOptions options = readBackupOptions(*programDatabase());
    options.folder = blocked;
    saveBackupOptions(*programDatabase(), options);
    window().abMainMenu_ToolClick(ToolId::BackupProgramDatabase);
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(prompts.messages().last().icon, PromptIcon::Warning);
    EXPECT_TRUE(
        lastText().endsWith("The program database and the earlier backups are as they were."))
        << lastText().toStdString();
}

TEST_F(DatabaseCommandsTest, AScheduledBackupRunsOnceWhenDue)
{
    const QString folder = tmp.filePath("scheduled");
    BackupOptions options;
    options.folder = folder;
    options.everyDays = 7;
    options.lastBackup = QDate::currentDate().addDays(-8);
    saveBackupOptions(*programDatabase(), options);
    commands().backupIfDue();
    EXPECT_EQ(QDir(folder).entryList({"QVData-*.db"}, QDir::Files).size(), 1);
    EXPECT_TRUE(lastText().startsWith("A backup was due.")) << lastText().toStdString();
    const auto asked = prompts.messages().size();
    commands().backupIfDue();
    EXPECT_EQ(prompts.messages().size(), asked);
    EXPECT_EQ(QDir(folder).entryList({"QVData-*.db"}, QDir::Files).size(), 1);
}

TEST_F(DatabaseCommandsTest, ARestoreBringsBackEveryRowAndKeepsTheReplacedDatabase)
{
    const QString folder = tmp.filePath("backups");
    BackupOptions options;
    options.folder = folder;
    saveBackupOptions(*programDatabase(), options);
    window().abMainMenu_ToolClick(ToolId::BackupProgramDatabase);
    const QStringList made = QDir(folder).entryList({"QVData-*.db"}, QDir::Files);
    ASSERT_EQ(made.size(), 1);
    const QString backup = folder + "/" + made.front();
    const QStringList backedUp = everyRow(backup);

    // Work after the backup, which the restore gives up.
    programDatabase()->execute("UPDATE tblTimeCards SET Description = 'after the backup'");
    programDatabase()->execute("DELETE FROM tblExpenses");
    ASSERT_NE(everyRow(dataFile()), backedUp);

    // A file that is no program database is refused before anything closes.
    const QString notes = tmp.filePath("notes.db");
    QFile(notes).open(QIODevice::WriteOnly);
    commands().hooks().chooseBackup = [&](const QString &) { return notes; };
    window().abMainMenu_ToolClick(ToolId::RestoreProgramDatabase);
    EXPECT_TRUE(lastText().endsWith("Nothing was changed.")) << lastText().toStdString();
    EXPECT_TRUE(window().isVisible());

    // No to the question: nothing happens.
    commands().hooks().chooseBackup = [&](const QString &start) {
        EXPECT_EQ(start, folder);
        return backup;
    };
    prompts.answer(PromptResult::No);
    window().abMainMenu_ToolClick(ToolId::RestoreProgramDatabase);
    EXPECT_EQ(lastTitle(), "Restore Program Database");
    EXPECT_TRUE(window().isVisible());

    bool quit = false;
    commands().hooks().quit = [&quit] { quit = true; };
    prompts.answerAlways("Save Changes", PromptResult::Yes);
    prompts.answer(PromptResult::Yes);
    window().abMainMenu_ToolClick(ToolId::RestoreProgramDatabase);
    EXPECT_TRUE(quit);
    EXPECT_FALSE(window().isVisible());
    EXPECT_TRUE(lastText().contains("was restored from")) << lastText().toStdString();
    EXPECT_EQ(everyRow(dataFile()), backedUp);
    const QStringList kept = QDir(folder).entryList({"QVData-before-restore-*.db"}, QDir::Files);
    ASSERT_EQ(kept.size(), 1);
    EXPECT_TRUE(everyRow(folder + "/" + kept.front()).join('\n').contains("after the backup"));
    host.reset();
    startUp.reset();
}

} // namespace
