#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

struct sqlite3;

namespace quorvale {

// Step `step` of `steps` (counted from 1) is starting; `text` says in words
// what it does, for a progress dialog.
using StepProgress = std::function<void(int step, int steps, const QString &text)>;

// Program directory + "Database Backups".
QString localBackupFolder(const QString &programDir);

// What one compaction did to one file.
struct CompactedDatabase {
    QString liveFile;       // <program directory>/QVLocal.db
    QString backupFile;     // <program directory>/Database Backups/QVLocal.db
    qint64 bytesBefore = 0; // the live file with its write-ahead log
    qint64 bytesAfter = 0;  // the compacted file
};

// Compacts QVLocal.db and then QVReport.db of the program directory. For each, a
// compacted copy is written into "Database Backups" (made when missing) under a
// temporary name, checked with SQLite's integrity check and only then renamed
// over the previous backup; the live file is then replaced, by rename, with a
// synced copy of that checked backup. A file is either replaced whole or left
// as it was: there is never a moment without it.
//
// The caller closes every connection on both files first (cnnLocal and any
// record set on it) and opens them again afterwards, also after a failure; a
// file still open here, in this process or another, is refused rather than
// replaced under its user's feet.
//
// Throws QvError on the first failure, with a description that says what
// happened and what was kept: both files are checked to exist before anything
// is written (FileNotFound); DiskFull when the disk filled or a file grew too
// large for it; PathFileAccess when a folder or file could not be made,
// written or renamed; Generic when a file is in use or a copy failed its
// check. A failure in QVReport.db after QVLocal.db was compacted says so.
std::vector<CompactedDatabase> CompactAndRepairLocalDatabases(const QString &programDir,
                                                              const StepProgress &progress = {});

// The steps on whole database files that compaction, the program database's
// backup and its restore share. Each throws QvError whose description is one
// sentence saying what failed; callers add what was kept.
namespace dbfile {

// An SQLite handle of our own on an existing file, outside Qt: these steps need
// the engine's error codes, VACUUM INTO and the online backup interface. Opened
// read-write (a closing last connection checkpoints the write-ahead log) and
// never creating the file.
class Sqlite {
public:
    explicit Sqlite(const QString &path);
    ~Sqlite();
    Sqlite(const Sqlite &) = delete;
    Sqlite &operator=(const Sqlite &) = delete;

    sqlite3 *handle() const { return m_db; }
    const QString &path() const { return m_path; }

    // Runs one statement to its end; `text`, when given, is bound to its one
    // parameter. `doing` completes "... could not be ..." in the message.
    void exec(const QString &sql, const QString &doing, const QString &text = QString());
    // The first column of every row.
    QStringList column(const QString &sql, const QString &doing);
    // Closes now; throws when the engine could not (a statement left open).
    void close();

    // Throws for the engine's result `rc` of a step about this file.
    [[noreturn]] void fail(int rc, const QString &doing) const;

private:
    QString m_path;
    sqlite3 *m_db = nullptr;
};

// The sentence for an operation that failed with the system error `error` (an
// errno value): "The disk is full: <what>.", "The file is too large for the
// disk: <what>.", or <what> with the system's words. `what` starts in lower case.
QString failureSentence(const QString &what, int error);
// The error number that goes with it: DiskFull for a full disk or a file too
// large for it, PathFileAccess otherwise.
long failureNumber(int error);

// True when the file starts with SQLite's header: anything else is refused
// before the engine sees it (it would take an empty file for a new database).
bool hasSqliteHeader(const QString &path);

// The problems SQLite's integrity check names, empty when it says "ok".
QStringList integrityProblems(Sqlite &db);

// Makes `dir` (mode 0700) when it does not exist; throws when it cannot, or when
// a file of that name stands in its way.
void makeFolder(const QString &dir);

// A new empty file (mode 0600) named after `baseName` in `dir`, hidden, that no
// other run can be using. Removed with its side files when the object goes,
// unless release() was called after it was renamed into place.
class TemporaryFile {
public:
    TemporaryFile(const QString &dir, const QString &baseName);
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile &) = delete;
    TemporaryFile &operator=(const TemporaryFile &) = delete;
    const QString &path() const { return m_path; }
    void release() { m_path.clear(); }

private:
    QString m_path;
};

// Writes the file's data to the disk (fsync); throws when the disk refuses.
void syncFile(const QString &path);
// The same for a folder, so that a rename in it survives a power cut. A failure
// is no reason to undo the rename and is not reported.
void syncDirectory(const QString &dir);

// Copies `from` into `to` (made with mode 0600 when missing, else overwritten:
// a TemporaryFile) and syncs it.
void copyInto(const QString &from, const QString &to);

// Renames `from` over `to` (atomic within one file system) and syncs the folder.
void renameOver(const QString &from, const QString &to);

// The write-ahead log, its index and the rollback journal beside a database.
QStringList sideFiles(const QString &path);
// Size of the file and of its write-ahead log.
qint64 sizeWithLog(const QString &path);

} // namespace dbfile

} // namespace quorvale
