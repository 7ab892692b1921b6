#pragma once

#include "settings/LocalCompaction.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>

namespace quorvale {

struct DatabaseSettings;

namespace db {
class Connection;
}

// The administrator's backups of the program database, as tblBackupOptions
// keeps them (one row; defaults when there is none).
struct BackupOptions {
    QString folder; // empty: none chosen yet
    int keepCopies = 7;
    int everyDays = 0; // 0: no schedule
    QDate lastBackup;  // the newest checked copy; invalid: never
};

// Reads and writes the row on a connection to the program database (the
// file or a server). Throw QvError as the connection does.
BackupOptions readBackupOptions(db::Connection &program);
void saveBackupOptions(db::Connection &program, const BackupOptions &options);
// Sets LastBackup, making the row when there is none.
void recordBackup(db::Connection &program, const QDate &day);

// True when a schedule is set and its days have passed since the last backup,
// or there has been none. A last backup dated after today (a clock that was
// wrong then or is now) is not trusted: the backup is due.
bool backupDue(const BackupOptions &options, const QDate &today);

// For a database server: the command a person runs there, as the program
// cannot back up a server's database itself. It names the database, the host
// and the user, never the password (the tool asks or reads its own file).
struct ServerCommand {
    QString program;
    QStringList arguments;
    // One line to type at a shell, each argument quoted where it needs it.
    QString commandLine() const;
};

// How a long copy reports and is stopped. Between steps the window may repaint
// and ask whether to go on; a step copies pagesPerStep pages.
struct CopySteps {
    std::function<void(qint64 pagesDone, qint64 pagesTotal)> progress;
    std::function<bool()> cancelled;
    int pagesPerStep = 1024;
};

struct ProgramBackupResult {
    QString file; // the checked copy, empty when cancelled or on a server
    bool cancelled = false;
    qint64 pages = 0;     // pages copied
    QStringList removed;  // older copies deleted to keep the number
    ServerCommand server; // on a server: what to run; nothing was done
    bool onServer() const { return !server.program.isEmpty(); }
};

// The name of the copy made at `when`: "QVData-YYYYMMDD-HHMMSS.db".
QString backupFileName(const QDateTime &when);

// Backs up QVData.db of the settings' data directory into `folder` (made when
// missing) as backupFileName(now), through SQLite's online backup, so the
// program may go on using the database meanwhile, and from a worker thread.
// The copy is written under a temporary name, checked with the integrity check
// and synced before it gets its name; only then are copies beyond the newest
// `keepCopies` deleted. On a server nothing is run: the result names pg_dump
// (or, for SQL Server, sqlcmd) with the database of the settings.
//
// A cancel leaves nothing behind. Throws QvError (nothing left behind, older
// copies kept): FileNotFound when there is no QVData.db; DiskFull;
// PathFileAccess for a folder that cannot be made or written; Generic when the
// copy fails its check.
ProgramBackupResult backupProgramDatabase(const DatabaseSettings &settings, const QString &folder,
                                          int keepCopies, const QDateTime &now,
                                          const CopySteps &steps = {});

// Throws QvError (Generic) unless `file` is a database that a program database
// can be restored from: SQLite's integrity check passes, it has tblTimeCards,
// tblUsers and tblAdminOptions, and its schema is not newer than this program's.
void checkProgramDatabaseFile(const QString &file);

struct RestoreResult {
    QString restoredFrom;
    QString keptAs;       // the replaced database's copy; empty when there was none
    ServerCommand server; // on a server: what to run; nothing was done
    bool onServer() const { return !server.program.isEmpty(); }
};

// Replaces QVData.db of the settings' data directory with the backup `file`:
// a copy of it beside QVData.db is checked as checkProgramDatabaseFile says,
// the live database is kept as "QVData-before-restore-<stamp>.db" in
// `folder` (made when missing) and then the copy is renamed over it. The caller
// guarantees that no connection is open on QVData.db; one that still is (a
// write-ahead log another connection holds) is refused. A database restored
// from an older version is brought up to date the next time it is opened.
//
// Throws QvError with QVData.db left as it was: the reason the file was
// refused, DiskFull, PathFileAccess, Generic (in use).
RestoreResult restoreProgramDatabase(const DatabaseSettings &settings, const QString &file,
                                     const QString &folder, const QDateTime &now,
                                     const StepProgress &progress = {});

} // namespace quorvale
