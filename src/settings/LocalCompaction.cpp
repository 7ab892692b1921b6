#include "settings/LocalCompaction.h"

#include "data/DatabaseSettings.h"
#include "platform/core/QvError.h"
#include "support/Trace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvale {

namespace dbfile {

namespace {

const QString FileSource = QStringLiteral("Quorvale");

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

QString capitalised(QString text)
{
    if (!text.isEmpty())
        text[0] = text[0].toUpper();
    return text;
}

[[noreturn]] void failSystem(const QString &what, int error)
{
    throw QvError(failureNumber(error), failureSentence(what, error), FileSource);
}

bool syncDescriptor(int fd)
{
    while (::fsync(fd) != 0) {
        if (errno != EINTR)
            return false;
    }
    return true;
}

bool writeAll(int fd, const char *bytes, ssize_t size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, bytes, size_t(size));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (written == 0) {
            errno = EIO;
            return false;
        }
        bytes += written;
        size -= written;
    }
    return true;
}

// Returns 0 or the errno of the call that failed. The kernel copies without
// the bytes passing through us where it can (and shares them on file systems
// that clone); plain reads and writes otherwise.
int copyDescriptor(int in, int out)
{
    bool kernel = true;
    while (kernel) {
        const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, 64 << 20, 0);
        if (n == 0)
            return 0;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP)
                return errno;
            kernel = false;
        }
    }
    // Nothing was copied yet when copy_file_range is refused outright.
    if (::lseek(in, 0, SEEK_SET) < 0 || ::lseek(out, 0, SEEK_SET) < 0 || ::ftruncate(out, 0) != 0)
        return errno;
    std::vector<char> buffer(1 << 20);
    for (;;) {
        const ssize_t n = ::read(in, buffer.data(), buffer.size());
        if (n == 0)
            return 0;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (!writeAll(out, buffer.data(), n))
            return errno;
    }
}

} // namespace

Sqlite::Sqlite(const QString &path) : m_path(path)
{
    const int rc = sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    if (m_db)
        sqlite3_extended_result_codes(m_db, 1);
    if (rc != SQLITE_OK)
        fail(rc, QStringLiteral("\"%1\" could not be opened").arg(shown(path)));
    // A connection of the program that is closing may still hold a lock a moment.
    sqlite3_busy_timeout(m_db, 2000);
}

Sqlite::~Sqlite()
{
    if (m_db)
        sqlite3_close_v2(m_db);
}

void Sqlite::close()
{
    if (!m_db)
        return;
    const int rc = sqlite3_close(m_db);
    if (rc != SQLITE_OK)
        fail(rc, QStringLiteral("\"%1\" could not be closed").arg(shown(m_path)));
    m_db = nullptr;
}

void Sqlite::fail(int rc, const QString &doing) const
{
    const int systemError = m_db ? sqlite3_system_errno(m_db) : 0;
    const QString engine =
        m_db ? QString::fromUtf8(sqlite3_errmsg(m_db)) : QString::fromUtf8(sqlite3_errstr(rc));
    const QString detail = QStringLiteral("File: %1\nEngine: %2 (%3, system error %4)")
                               .arg(m_path, engine)
                               .arg(rc)
                               .arg(systemError);
    switch (rc & 0xff) {
    case SQLITE_FULL:
        // A write cut short reports no system error; one refused for the file's
        // size reports EFBIG.
        throw QvError(ErrorNumber::DiskFull,
                      failureSentence(doing, systemError == EFBIG ? EFBIG : ENOSPC), FileSource,
                      detail);
    case SQLITE_IOERR:
    case SQLITE_CANTOPEN:
    case SQLITE_READONLY:
    case SQLITE_PERM: {
        const int error = systemError != 0 ? systemError
                          : (rc & 0xff) == SQLITE_READONLY || (rc & 0xff) == SQLITE_PERM ? EACCES
                                                                                         : EIO;
        throw QvError(failureNumber(error), failureSentence(doing, error), FileSource, detail);
    }
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
        throw QvError(ErrorNumber::Generic,
                      capitalised(doing) +
                          QStringLiteral(": the database is damaged (%1).").arg(engine),
                      FileSource, detail);
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        throw QvError(ErrorNumber::Generic,
                      capitalised(doing) +
                          QStringLiteral(": the database is in use by Quorvale or another "
                                         "program."),
                      FileSource, detail);
    default:
        throw QvError(ErrorNumber::Generic,
                      capitalised(doing) + QStringLiteral(" (%1).").arg(engine), FileSource,
                      detail);
    }
}

void Sqlite::exec(const QString &sql, const QString &doing, const QString &text)
{
    sqlite3_stmt *statement = nullptr;
    int rc = sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &statement, nullptr);
    if (rc == SQLITE_OK && !text.isNull()) {
        const QByteArray bytes = text.toUtf8();
        rc =
            sqlite3_bind_text(statement, 1, bytes.constData(), int(bytes.size()), SQLITE_TRANSIENT);
    }
    if (rc == SQLITE_OK) {
        do {
            rc = sqlite3_step(statement);
        } while (rc == SQLITE_ROW);
        if (rc == SQLITE_DONE)
            rc = SQLITE_OK;
    }
    sqlite3_finalize(statement);
    if (rc != SQLITE_OK)
        fail(rc, doing);
}

QStringList Sqlite::column(const QString &sql, const QString &doing)
{
    sqlite3_stmt *statement = nullptr;
    QStringList values;
    int rc = sqlite3_prepare_v2(m_db, sql.toUtf8().constData(), -1, &statement, nullptr);
    while (rc == SQLITE_OK && (rc = sqlite3_step(statement)) == SQLITE_ROW) {
        const auto *value = reinterpret_cast<const char *>(sqlite3_column_text(statement, 0));
        values << QString::fromUtf8(value ? value : "");
        rc = SQLITE_OK;
    }
    sqlite3_finalize(statement);
    if (rc != SQLITE_DONE)
        fail(rc, doing);
    return values;
}

QString failureSentence(const QString &what, int error)
{
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("The disk is full: %1.").arg(what);
    case EFBIG:
        return QStringLiteral("The file is too large for the disk: %1.").arg(what);
    case EROFS:
        return capitalised(what) + QStringLiteral(": the disk is read-only.");
    default:
        return capitalised(what) + QStringLiteral(" (%1).").arg(qt_error_string(error));
    }
}

long failureNumber(int error)
{
    return error == ENOSPC || error == EDQUOT || error == EFBIG ? ErrorNumber::DiskFull
                                                                : ErrorNumber::PathFileAccess;
}

bool hasSqliteHeader(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray header = file.read(100);
    return header.size() == 100 && header.startsWith(QByteArrayLiteral("SQLite format 3\0"));
}

QStringList integrityProblems(Sqlite &db)
{
    const QStringList rows =
        db.column(QStringLiteral("PRAGMA integrity_check"),
                  QStringLiteral("\"%1\" could not be checked").arg(shown(db.path())));
    if (rows == QStringList{QStringLiteral("ok")})
        return {};
    return rows.isEmpty() ? QStringList{QStringLiteral("the check gave no answer")} : rows;
}

void makeFolder(const QString &dir)
{
    const QFileInfo info(dir);
    if (info.isDir())
        return;
    const QString what = QStringLiteral("the folder \"%1\" could not be made").arg(shown(dir));
    if (info.exists())
        failSystem(what, ENOTDIR);
    if (::mkdir(QFile::encodeName(dir).constData(), 0700) != 0 && errno != EEXIST)
        failSystem(what, errno);
    if (!QFileInfo(dir).isDir())
        failSystem(what, ENOTDIR);
}

TemporaryFile::TemporaryFile(const QString &dir, const QString &baseName)
{
    QByteArray name =
        QFile::encodeName(QDir(dir).filePath(u'.' + baseName + QStringLiteral(".part-XXXXXX")));
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0)
        failSystem(QStringLiteral("no new file could be made in \"%1\"").arg(shown(dir)), errno);
    ::close(fd);
    m_path = QFile::decodeName(name);
}

TemporaryFile::~TemporaryFile()
{
    if (m_path.isEmpty())
        return;
    QFile::remove(m_path);
    for (const QString &side : sideFiles(m_path))
        QFile::remove(side);
}

void syncFile(const QString &path)
{
    const QString what = QStringLiteral("\"%1\" could not be written to the disk").arg(shown(path));
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        failSystem(what, errno);
    const bool synced = syncDescriptor(fd);
    const int error = errno;
    ::close(fd);
    if (!synced)
        failSystem(what, error);
}

void syncDirectory(const QString &dir)
{
    const int fd = ::open(QFile::encodeName(dir).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    syncDescriptor(fd);
    ::close(fd);
}

void copyInto(const QString &from, const QString &to)
{
    const QString what =
        QStringLiteral("\"%1\" could not be copied to \"%2\"").arg(shown(from), shown(to));
    const int in = ::open(QFile::encodeName(from).constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        failSystem(what, errno);
    const int out = ::open(QFile::encodeName(to).constData(),
                           O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, S_IRUSR | S_IWUSR);
    if (out < 0) {
        const int error = errno;
        ::close(in);
        failSystem(what, error);
    }
    int error = copyDescriptor(in, out);
    if (error == 0 && !syncDescriptor(out))
        error = errno;
    // Some file systems report a failed write only when the file is closed.
    if (::close(out) != 0 && error == 0)
        error = errno;
    ::close(in);
    if (error != 0)
        failSystem(what, error);
}

void renameOver(const QString &from, const QString &to)
{
    if (::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) != 0)
        failSystem(
            QStringLiteral("\"%1\" could not be renamed to \"%2\"").arg(shown(from), shown(to)),
            errno);
    syncDirectory(QFileInfo(to).absolutePath());
}

QStringList sideFiles(const QString &path)
{
    return {path + QStringLiteral("-wal"), path + QStringLiteral("-shm"),
            path + QStringLiteral("-journal")};
}

qint64 sizeWithLog(const QString &path)
{
    return QFileInfo(path).size() + QFileInfo(path + QStringLiteral("-wal")).size();
}

} // namespace dbfile

namespace {

const QString Source = QStringLiteral("frmTimeCard: CompactAndRepairLocalDatabases");
constexpr int StepsPerFile = 3;

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

// The sentence of `error` with what was kept after it, and what to do when the
// disk was full.
[[noreturn]] void failKept(const QvError &error, const QString &kept)
{
    QString text = error.description() + u' ' + kept;
    if (error.number() == ErrorNumber::DiskFull)
        text += QStringLiteral(" Free some space on the disk and try again.");
    throw QvError(error.number(), text, Source, error.detail());
}

// The live file must not be in use when it is replaced: whoever has it open
// would go on writing to the old file, and their work would be lost. A last
// connection that closes removes its write-ahead log; ours has just closed, so
// a log still there belongs to another connection. An index without its log is
// left over and is removed: applied to the new file it would describe pages it
// does not have.
void ensureNotInUse(const QString &live, const QString &name)
{
    const QStringList side = dbfile::sideFiles(live);
    const QFileInfo journal(side[2]);
    if (QFileInfo::exists(side[0]) || (journal.exists() && journal.size() > 0))
        throw QvError(ErrorNumber::Generic,
                      QStringLiteral("%1 is still open in Quorvale or another program, so it "
                                     "could not be replaced by its compacted copy.")
                          .arg(name),
                      Source);
    QFile::remove(side[1]);
    QFile::remove(side[2]);
}

CompactedDatabase compactOne(const QString &programDir, const QString &name, int firstStep,
                             int steps, const StepProgress &progress, const QString &before)
{
    const QString folder = localBackupFolder(programDir);
    CompactedDatabase done;
    done.liveFile = joinPath(programDir, name);
    done.backupFile = joinPath(folder, name);
    done.bytesBefore = dbfile::sizeWithLog(done.liveFile);
    const QString liveKept = before + (QFileInfo::exists(done.backupFile)
                                           ? QStringLiteral("%1 was kept as it was, and so was "
                                                            "its backup from the last compaction.")
                                           : QStringLiteral("%1 was kept as it was."))
                                          .arg(name);
    const auto report = [&](int step, const QString &text) {
        if (progress)
            progress(firstStep + step, steps, text);
    };

    try {
        report(0, QStringLiteral("Compacting %1...").arg(name));
        dbfile::TemporaryFile compacted(folder, name);
        {
            dbfile::Sqlite live(done.liveFile);
            live.exec(QStringLiteral("VACUUM INTO ?"),
                      QStringLiteral("the compacted copy of %1 could not be written to \"%2\"")
                          .arg(name, shown(folder)),
                      compacted.path());
            live.close();
        }
        ensureNotInUse(done.liveFile, name);

        report(1, QStringLiteral("Checking the compacted copy of %1...").arg(name));
        {
            dbfile::Sqlite copy(compacted.path());
            // One file on its own, whatever journal the live file keeps.
            copy.exec(QStringLiteral("PRAGMA journal_mode=DELETE"),
                      QStringLiteral("the compacted copy of %1 could not be prepared").arg(name));
            const QStringList problems = dbfile::integrityProblems(copy);
            copy.close();
            if (!problems.isEmpty())
                throw QvError(ErrorNumber::Generic,
                              QStringLiteral("The compacted copy of %1 failed its check (%2).")
                                  .arg(name, problems.first()),
                              Source, problems.join(u'\n'));
        }
        // VACUUM INTO does not sync what it writes; the backup must be on the disk
        // before it takes the place of the previous one.
        dbfile::syncFile(compacted.path());
        dbfile::renameOver(compacted.path(), done.backupFile);
        compacted.release();
    } catch (const QvError &error) {
        failKept(error, liveKept);
    }

    try {
        report(2, QStringLiteral("Replacing %1 with its compacted copy...").arg(name));
        dbfile::TemporaryFile replacement(programDir, name);
        dbfile::copyInto(done.backupFile, replacement.path());
        ensureNotInUse(done.liveFile, name);
        dbfile::renameOver(replacement.path(), done.liveFile);
        replacement.release();
    } catch (const QvError &error) {
        failKept(error, before + QStringLiteral("%1 was kept as it was; its compacted copy is "
                                                "\"%2\".")
                                     .arg(name, shown(done.backupFile)));
    }
    done.bytesAfter = QFileInfo(done.liveFile).size();
    return done;
}

} // namespace

QString localBackupFolder(const QString &programDir)
{
    return joinPath(programDir, QStringLiteral("Database Backups"));
}

std::vector<CompactedDatabase> CompactAndRepairLocalDatabases(const QString &programDir,
                                                              const StepProgress &progress)
{
    TraceScope trace(u"frmTimeCard: CompactAndRepairLocalDatabases");
    const QStringList names = {QLatin1String(DatabaseFile::Local),
                               QLatin1String(DatabaseFile::Report)};
    // Both files are looked at before either is touched: a missing report
    // database must not leave the local one compacted and the run half done.
    for (const QString &name : names) {
        const QString live = joinPath(programDir, name);
        if (!QFileInfo(live).isFile())
            throw QvError(ErrorNumber::FileNotFound,
                          QStringLiteral("%1 was not found in \"%2\", so nothing was compacted "
                                         "and no file was changed.")
                              .arg(name, shown(programDir)),
                          Source);
        if (!dbfile::hasSqliteHeader(live))
            throw QvError(ErrorNumber::Generic,
                          QStringLiteral("\"%1\" is not a database, so nothing was compacted and "
                                         "no file was changed.")
                              .arg(shown(live)),
                          Source);
    }
    try {
        dbfile::makeFolder(localBackupFolder(programDir));
    } catch (const QvError &error) {
        failKept(error, QStringLiteral("Nothing was compacted and no file was changed."));
    }

    const int steps = int(names.size()) * StepsPerFile;
    std::vector<CompactedDatabase> done;
    QString before;
    for (qsizetype i = 0; i < names.size(); ++i) {
        done.push_back(
            compactOne(programDir, names[i], int(i) * StepsPerFile + 1, steps, progress, before));
        before += QStringLiteral("%1 was compacted. ").arg(names[i]);
    }
    return done;
}

} // namespace quorvale
