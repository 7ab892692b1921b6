#include "settings/ProgramBackup.h"

#include "data/DatabaseSettings.h"
#include "data/Migrations.h"
#include "platform/core/QvError.h"
#include "platform/db/Connection.h"
#include "platform/db/ConnectionString.h"
#include "platform/db/Values.h"
#include "support/Trace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSettings>
#include <QSqlQuery>
#include <algorithm>
#include <sqlite3.h>

namespace quorvale {

namespace {

const QString Source = QStringLiteral("Quorvale: program database backup");
const QString RestoreSource = QStringLiteral("Quorvale: program database restore");
const QString StampFormat = QStringLiteral("yyyyMMdd-HHmmss");

QString shown(const QString &path)
{
    return QDir::toNativeSeparators(path);
}

[[noreturn]] void failKept(const QvError &error, const QString &kept, const QString &source)
{
    QString text = error.description() + u' ' + kept;
    if (error.number() == ErrorNumber::DiskFull)
        text += QStringLiteral(" Free some space on the disk and try again.");
    throw QvError(error.number(), text, source, error.detail());
}

// --- the server's own tools ---------------------------------------------------

QString quotedForShell(const QString &argument)
{
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_@%+=:,./-]+$"));
    if (plain.match(argument).hasMatch())
        return argument;
    QString quoted = argument;
    quoted.replace(u'\'', QStringLiteral("'\\''"));
    return u'\'' + quoted + u'\'';
}

// The attributes of an ODBC data source as unixODBC finds it: the user's own
// file first, then the system's.
QString dataSourceValue(const QString &dsn, const QStringList &keys)
{
    QStringList files;
    if (qEnvironmentVariableIsSet("ODBCINI"))
        files << qEnvironmentVariable("ODBCINI");
    files << QDir::homePath() + QStringLiteral("/.odbc.ini");
    files << (qEnvironmentVariableIsSet("ODBCSYSINI")
                  ? qEnvironmentVariable("ODBCSYSINI") + QStringLiteral("/odbc.ini")
                  : QStringLiteral("/etc/odbc.ini"));
    for (const QString &file : std::as_const(files)) {
        if (!QFileInfo::exists(file))
            continue;
        QSettings ini(file, QSettings::IniFormat);
        if (!ini.childGroups().contains(dsn, Qt::CaseInsensitive))
            continue;
        const QStringList groups = ini.childGroups();
        const auto group = std::ranges::find_if(
            groups, [&](const QString &g) { return g.compare(dsn, Qt::CaseInsensitive) == 0; });
        ini.beginGroup(*group);
        const QStringList present = ini.childKeys();
        for (const QString &key : keys) {
            const auto found = std::ranges::find_if(present, [&](const QString &k) {
                return k.compare(key, Qt::CaseInsensitive) == 0;
            });
            if (found != present.end())
                return ini.value(*found).toString().trimmed();
        }
        return {};
    }
    return {};
}

struct ServerTarget {
    QString database;
    QString host;
    QString port;
    QString user;
    bool sqlServer = false;
};

// What the settings say about the server: from the connect string, and for a
// data source name from its entry; the password is never read.
ServerTarget serverTarget(const DatabaseSettings &settings)
{
    QString part = settings.dataSource;
    if (!part.isEmpty() && !part.endsWith(u';'))
        part += u';';
    const db::ConnectionString cs(part + QStringLiteral("Database=") + settings.catalog + u';');
    const auto first = [&](const QStringList &keys) {
        for (const QString &key : keys)
            if (!cs.value(key).isEmpty())
                return cs.value(key);
        return QString();
    };
    ServerTarget target;
    target.database =
        settings.catalog.isEmpty() ? cs.value(QStringLiteral("Database")) : settings.catalog;
    target.host =
        first({QStringLiteral("SERVER"), QStringLiteral("Servername"), QStringLiteral("Host")});
    target.port = first({QStringLiteral("PORT")});
    target.user = settings.uid.isEmpty() ? first({QStringLiteral("UID")}) : settings.uid;
    QString driver = cs.value(QStringLiteral("DRIVER"));
    const QString dsn = cs.value(QStringLiteral("DSN"));
    if (!dsn.isEmpty()) {
        if (target.host.isEmpty())
            target.host = dataSourceValue(dsn, {QStringLiteral("Servername"),
                                                QStringLiteral("Server"), QStringLiteral("Host")});
        if (target.port.isEmpty())
            target.port = dataSourceValue(dsn, {QStringLiteral("Port")});
        if (driver.isEmpty())
            driver = dataSourceValue(dsn, {QStringLiteral("Driver")});
    }
    target.sqlServer = driver.contains(QStringLiteral("SQL Server"), Qt::CaseInsensitive);
    return target;
}

ServerCommand serverBackupCommand(const DatabaseSettings &settings, const QString &folder,
                                  const QDateTime &now)
{
    const ServerTarget target = serverTarget(settings);
    const QString stem =
        QDir(folder).filePath(QStringLiteral("QVData-") + now.toString(StampFormat));
    ServerCommand command;
    if (target.sqlServer) {
        command.program = QStringLiteral("sqlcmd");
        if (!target.host.isEmpty())
            command.arguments << QStringLiteral("-S") << target.host;
        if (!target.user.isEmpty())
            command.arguments << QStringLiteral("-U") << target.user;
        QString database = target.database;
        database.replace(u']', QStringLiteral("]]"));
        QString file = stem + QStringLiteral(".bak");
        file.replace(u'\'', QStringLiteral("''"));
        command.arguments << QStringLiteral("-Q")
                          << QStringLiteral("BACKUP DATABASE [%1] TO DISK = N'%2' WITH CHECKSUM")
                                 .arg(database, file);
        return command;
    }
    command.program = QStringLiteral("pg_dump");
    command.arguments << QStringLiteral("--format=custom")
                      << QStringLiteral("--file=") + stem + QStringLiteral(".dump");
    if (!target.host.isEmpty())
        command.arguments << QStringLiteral("--host=") + target.host;
    if (!target.port.isEmpty())
        command.arguments << QStringLiteral("--port=") + target.port;
    if (!target.user.isEmpty())
        command.arguments << QStringLiteral("--username=") + target.user;
    command.arguments << target.database;
    return command;
}

ServerCommand serverRestoreCommand(const DatabaseSettings &settings, const QString &file)
{
    const ServerTarget target = serverTarget(settings);
    ServerCommand command;
    if (target.sqlServer) {
        command.program = QStringLiteral("sqlcmd");
        if (!target.host.isEmpty())
            command.arguments << QStringLiteral("-S") << target.host;
        if (!target.user.isEmpty())
            command.arguments << QStringLiteral("-U") << target.user;
        QString database = target.database;
        database.replace(u']', QStringLiteral("]]"));
        QString from = file;
        from.replace(u'\'', QStringLiteral("''"));
        command.arguments << QStringLiteral("-Q")
                          << QStringLiteral("RESTORE DATABASE [%1] FROM DISK = N'%2' WITH REPLACE")
                                 .arg(database, from);
        return command;
    }
    command.program = QStringLiteral("pg_restore");
    command.arguments << QStringLiteral("--clean") << QStringLiteral("--if-exists")
                      << QStringLiteral("--single-transaction");
    if (!target.host.isEmpty())
        command.arguments << QStringLiteral("--host=") + target.host;
    if (!target.port.isEmpty())
        command.arguments << QStringLiteral("--port=") + target.port;
    if (!target.user.isEmpty())
        command.arguments << QStringLiteral("--username=") + target.user;
    command.arguments << QStringLiteral("--dbname=") + target.database << file;
    return command;
}

// --- the copy ------------------------------------------------------------------

bool isBackupName(const QString &name)
{
    static const QRegularExpression pattern(QStringLiteral("^QVData-\\d{8}-\\d{6}\\.db$"));
    return pattern.match(name).hasMatch();
}

// Deletes the oldest copies so that `keep` remain, the new one among them
// whatever its name says: a clock set back must not make it the first to go.
QStringList pruneCopies(const QString &folder, const QString &newest, int keep)
{
    QStringList older;
    for (const QString &name : QDir(folder).entryList(QDir::Files, QDir::Name | QDir::Reversed))
        if (isBackupName(name) && name != newest)
            older << name;
    QStringList removed;
    for (qsizetype i = std::max(0, keep - 1); i < older.size(); ++i) {
        const QString path = QDir(folder).filePath(older[i]);
        if (QFile::remove(path))
            removed << path;
    }
    return removed;
}

// Between the engine's steps of a long statement: a cancel interrupts it.
struct Interrupt {
    const CopySteps *steps;
    bool interrupted = false;
};

int interruptWhenCancelled(void *context)
{
    auto *interrupt = static_cast<Interrupt *>(context);
    interrupt->interrupted = interrupt->steps->cancelled();
    return interrupt->interrupted ? 1 : 0;
}

// Copies the live database page by page into `target` inside one read
// transaction, so the copy is one consistent state however long it takes and
// whatever other connections write meanwhile. False when cancelled.
bool copyPages(const QString &live, const QString &target, const CopySteps &steps, qint64 &pages)
{
    dbfile::Sqlite source(live);
    dbfile::Sqlite copy(target);
    const QString reading = QStringLiteral("QVData.db could not be read");
    source.exec(QStringLiteral("BEGIN"), reading);
    source.column(QStringLiteral("SELECT count(*) FROM sqlite_master"), reading);

    const QString writing =
        QStringLiteral("the copy could not be written to \"%1\"").arg(shown(target));
    // Until it is checked the copy is only a temporary file: a crash meanwhile
    // loses nothing, so it needs no journal, and it is synced once when whole.
    copy.exec(QStringLiteral("PRAGMA journal_mode=OFF"), writing);
    copy.exec(QStringLiteral("PRAGMA synchronous=OFF"), writing);
    sqlite3_backup *backup = sqlite3_backup_init(copy.handle(), "main", source.handle(), "main");
    if (!backup)
        copy.fail(sqlite3_extended_errcode(copy.handle()), writing);
    const int perStep = std::max(1, steps.pagesPerStep);
    for (;;) {
        const int rc = sqlite3_backup_step(backup, perStep);
        const qint64 total = sqlite3_backup_pagecount(backup);
        pages = total - sqlite3_backup_remaining(backup);
        if (steps.progress)
            steps.progress(pages, total);
        if (rc == SQLITE_DONE)
            break;
        if (rc != SQLITE_OK && rc != SQLITE_BUSY && rc != SQLITE_LOCKED) {
            sqlite3_backup_finish(backup);
            copy.fail(rc, writing);
        }
        if (steps.cancelled && steps.cancelled()) {
            sqlite3_backup_finish(backup);
            return false;
        }
        // Another connection is writing its pages into the file right now.
        if (rc != SQLITE_OK)
            sqlite3_sleep(20);
    }
    const int rc = sqlite3_backup_finish(backup);
    if (rc != SQLITE_OK)
        copy.fail(rc, writing);
    source.exec(QStringLiteral("COMMIT"), reading);
    source.close();
    copy.close();
    return true;
}

// The copy as a file on its own: the header of a database kept in WAL mode
// comes across with the pages.
void makeSelfContained(dbfile::Sqlite &copy)
{
    copy.exec(QStringLiteral("PRAGMA journal_mode=DELETE"),
              QStringLiteral("\"%1\" could not be prepared").arg(shown(copy.path())));
}

// --- checks ----------------------------------------------------------------------

[[noreturn]] void refuse(const QString &name, const QString &why)
{
    throw QvError(ErrorNumber::Generic,
                  QStringLiteral("\"%1\" is not a Quorvale program database: %2.").arg(name, why),
                  RestoreSource);
}

void checkOpen(dbfile::Sqlite &db, const QString &name)
{
    const QStringList problems = dbfile::integrityProblems(db);
    if (!problems.isEmpty())
        refuse(name, QStringLiteral("it failed its check (%1)").arg(problems.first()));
    const QStringList tables =
        db.column(QStringLiteral("SELECT name FROM sqlite_master WHERE type = 'table'"),
                  QStringLiteral("\"%1\" could not be read").arg(name));
    QStringList missing;
    for (const QString &needed : {QStringLiteral("tblTimeCards"), QStringLiteral("tblUsers"),
                                  QStringLiteral("tblAdminOptions")})
        if (!tables.contains(needed, Qt::CaseInsensitive))
            missing << needed;
    if (!missing.isEmpty())
        refuse(name, QStringLiteral("it has no %1").arg(missing.join(QStringLiteral(", "))));
    const int version = db.column(QStringLiteral("PRAGMA user_version"),
                                  QStringLiteral("\"%1\" could not be read").arg(name))
                            .value(0)
                            .toInt();
    if (version > schema::programSchemaVersion())
        refuse(name, QStringLiteral("it was made by a newer version of Quorvale (schema %1; this "
                                    "version knows up to %2)")
                         .arg(version)
                         .arg(schema::programSchemaVersion()));
}

// Opens `path` (the file itself or a copy of it) and checks it as the file
// `name`. A file too damaged for the engine to read it through is refused as
// such; a disk that fails is reported as the disk's failure.
void checkDatabase(const QString &path, const QString &name, bool ownCopy)
{
    try {
        dbfile::Sqlite db(path);
        if (ownCopy)
            makeSelfContained(db);
        checkOpen(db, name);
        db.close();
    } catch (const QvError &error) {
        if (error.source() == RestoreSource || error.number() == ErrorNumber::DiskFull ||
            error.number() == ErrorNumber::PathFileAccess)
            throw;
        static const QRegularExpression codes(QStringLiteral(" \\(\\d+, system error -?\\d+\\)$"));
        const QString engine = error.detail().section(QStringLiteral("Engine: "), 1).remove(codes);
        refuse(name, QStringLiteral("it is damaged (%1)")
                         .arg(engine.isEmpty() ? error.description() : engine));
    }
}

void checkHeader(const QString &file)
{
    if (!QFileInfo(file).isFile())
        throw QvError(ErrorNumber::FileNotFound,
                      QStringLiteral("The backup \"%1\" was not found.").arg(shown(file)),
                      RestoreSource);
    if (!dbfile::hasSqliteHeader(file))
        throw QvError(ErrorNumber::Generic,
                      QStringLiteral("\"%1\" is not a Quorvale program database: it is not a "
                                     "database at all.")
                          .arg(shown(file)),
                      RestoreSource);
}

// Whether another connection still has the live file open. Ours, opened and
// closed as the last one, takes the write-ahead log with it; one still there
// is another's. False as well when the file cannot even be read (damaged): it
// is then kept whole, log and all.
bool stillInUse(const QString &live, bool &readable)
{
    sqlite3 *db = nullptr;
    int rc =
        sqlite3_open_v2(QFile::encodeName(live).constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_busy_timeout(db, 2000);
        rc = sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    }
    sqlite3_close_v2(db);
    if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED)
        return true;
    readable = rc == SQLITE_OK;
    const QStringList side = dbfile::sideFiles(live);
    const QFileInfo journal(side[2]);
    return readable && (QFileInfo::exists(side[0]) || (journal.exists() && journal.size() > 0));
}

} // namespace

QString ServerCommand::commandLine() const
{
    QStringList words{quotedForShell(program)};
    for (const QString &argument : arguments)
        words << quotedForShell(argument);
    return words.join(u' ');
}

BackupOptions readBackupOptions(db::Connection &program)
{
    BackupOptions options;
    QSqlQuery q = program.prepare(QStringLiteral("SELECT BackupFolder, KeepCopies, EveryDays, "
                                                 "LastBackup FROM tblBackupOptions ORDER BY "
                                                 "BackupOptionsID"));
    program.run(q, {});
    if (q.next()) {
        options.folder = q.value(0).toString();
        if (!q.value(1).isNull())
            options.keepCopies = q.value(1).toInt();
        if (!q.value(2).isNull())
            options.everyDays = q.value(2).toInt();
        options.lastBackup = db::dateFrom(q.value(3));
    }
    return options;
}

void saveBackupOptions(db::Connection &program, const BackupOptions &options)
{
    const QVariantList values{options.folder, options.keepCopies, options.everyDays,
                              options.lastBackup.isValid() ? QVariant(options.lastBackup)
                                                           : QVariant(QMetaType(QMetaType::QDate))};
    if (program.scalar(QStringLiteral("SELECT COUNT(*) FROM tblBackupOptions")).toLongLong() > 0)
        program.execute(QStringLiteral("UPDATE tblBackupOptions SET BackupFolder = ?, KeepCopies "
                                       "= ?, EveryDays = ?, LastBackup = ?"),
                        values);
    else
        program.execute(QStringLiteral("INSERT INTO tblBackupOptions (BackupFolder, KeepCopies, "
                                       "EveryDays, LastBackup) VALUES (?, ?, ?, ?)"),
                        values);
}

void recordBackup(db::Connection &program, const QDate &day)
{
    BackupOptions options = readBackupOptions(program);
    options.lastBackup = day;
    saveBackupOptions(program, options);
}

bool backupDue(const BackupOptions &options, const QDate &today)
{
    if (options.everyDays <= 0 || options.folder.trimmed().isEmpty())
        return false;
    if (!options.lastBackup.isValid() || options.lastBackup > today)
        return true;
    return options.lastBackup.daysTo(today) >= options.everyDays;
}

QString backupFileName(const QDateTime &when)
{
    return QStringLiteral("QVData-") + when.toString(StampFormat) + QStringLiteral(".db");
}

ProgramBackupResult backupProgramDatabase(const DatabaseSettings &settings, const QString &folder,
                                          int keepCopies, const QDateTime &now,
                                          const CopySteps &steps)
{
    TraceScope trace(u"ProgramBackup: backupProgramDatabase");
    ProgramBackupResult result;
    if (!settings.isJet()) {
        result.server = serverBackupCommand(settings, folder, now);
        return result;
    }
    const QString live = joinPath(settings.dataDirectory(), QLatin1String(DatabaseFile::Data));
    if (!QFileInfo(live).isFile())
        throw QvError(ErrorNumber::FileNotFound,
                      QStringLiteral("QVData.db was not found in \"%1\", so no backup was made.")
                          .arg(shown(settings.dataDirectory())),
                      Source);
    const QString kept = QStringLiteral("No backup was made; the earlier copies were kept.");
    const QString name = backupFileName(now);
    const QString target = QDir(folder).filePath(name);
    try {
        dbfile::makeFolder(folder);
        dbfile::TemporaryFile part(folder, name);
        if (!copyPages(live, part.path(), steps, result.pages)) {
            result.cancelled = true;
            return result;
        }
        {
            dbfile::Sqlite copy(part.path());
            makeSelfContained(copy);
            Interrupt interrupt{&steps};
            if (steps.cancelled)
                sqlite3_progress_handler(copy.handle(), 10000, interruptWhenCancelled, &interrupt);
            QStringList problems;
            try {
                problems = dbfile::integrityProblems(copy);
            } catch (const QvError &) {
                if (!interrupt.interrupted)
                    throw;
                result.cancelled = true;
                return result;
            }
            copy.close();
            if (!problems.isEmpty())
                throw QvError(ErrorNumber::Generic,
                              QStringLiteral("The copy of QVData.db failed its check (%1).")
                                  .arg(problems.first()),
                              Source, problems.join(u'\n'));
        }
        dbfile::syncFile(part.path());
        dbfile::renameOver(part.path(), target);
        part.release();
    } catch (const QvError &error) {
        failKept(error, kept, Source);
    }
    result.file = target;
    result.removed = pruneCopies(folder, name, std::max(1, keepCopies));
    return result;
}

void checkProgramDatabaseFile(const QString &file)
{
    checkHeader(file);
    checkDatabase(file, shown(file), false);
}

RestoreResult restoreProgramDatabase(const DatabaseSettings &settings, const QString &file,
                                     const QString &folder, const QDateTime &now,
                                     const StepProgress &progress)
{
    TraceScope trace(u"ProgramBackup: restoreProgramDatabase");
    RestoreResult result;
    result.restoredFrom = file;
    if (!settings.isJet()) {
        result.server = serverRestoreCommand(settings, file);
        return result;
    }
    const QString dataDir = settings.dataDirectory();
    const QString live = joinPath(dataDir, QLatin1String(DatabaseFile::Data));
    const auto report = [&](int step, const QString &text) {
        if (progress)
            progress(step, 4, text);
    };
    const QString unchanged = QStringLiteral("QVData.db was not changed.");

    try {
        report(1, QStringLiteral("Checking \"%1\"...").arg(shown(file)));
        checkHeader(file);
        const QFileInfo liveInfo(live);
        if (liveInfo.exists() &&
            QFileInfo(file).canonicalFilePath() == liveInfo.canonicalFilePath())
            throw QvError(ErrorNumber::Generic,
                          QStringLiteral("\"%1\" is the program database itself; choose one of "
                                         "its backups.")
                              .arg(shown(file)),
                          RestoreSource);

        // The copy that is checked is the one that will be renamed into place,
        // so a fault in copying cannot slip past the check.
        report(2, QStringLiteral("Copying and checking the backup..."));
        dbfile::TemporaryFile incoming(dataDir, QLatin1String(DatabaseFile::Data));
        dbfile::copyInto(file, incoming.path());
        // A copy taken of a live file may have committed work in its log still.
        const QFileInfo log(file + QStringLiteral("-wal"));
        if (log.exists() && log.size() > 0)
            dbfile::copyInto(log.filePath(), incoming.path() + QStringLiteral("-wal"));
        checkDatabase(incoming.path(), shown(file), true);
        dbfile::syncFile(incoming.path());

        QStringList stale;
        if (liveInfo.exists()) {
            report(3, QStringLiteral("Keeping a copy of the current program database..."));
            bool readable = false;
            if (stillInUse(live, readable))
                throw QvError(ErrorNumber::Generic,
                              QStringLiteral("QVData.db is still open in Quorvale or another "
                                             "program, here or on another computer; close it "
                                             "everywhere and try again."),
                              RestoreSource);
            dbfile::makeFolder(folder);
            const QString keptName = QStringLiteral("QVData-before-restore-") +
                                     now.toString(StampFormat) + QStringLiteral(".db");
            const QString kept = QDir(folder).filePath(keptName);
            dbfile::TemporaryFile keep(folder, keptName);
            dbfile::copyInto(live, keep.path());
            // A file too damaged to open keeps its log beside it, by the name
            // the engine looks for.
            const QFileInfo liveLog(live + QStringLiteral("-wal"));
            if (!readable && liveLog.exists() && liveLog.size() > 0)
                dbfile::copyInto(liveLog.filePath(), kept + QStringLiteral("-wal"));
            dbfile::renameOver(keep.path(), kept);
            keep.release();
            result.keptAs = kept;
            stale = dbfile::sideFiles(live);
        }

        report(4, QStringLiteral("Replacing the program database..."));
        // The old file's log and index would be applied to the new file. Nobody
        // uses them (checked above) and their content is in the kept copy.
        for (const QString &side : std::as_const(stale))
            QFile::remove(side);
        dbfile::renameOver(incoming.path(), live);
        incoming.release();
    } catch (const QvError &error) {
        failKept(error,
                 result.keptAs.isEmpty()
                     ? unchanged
                     : QStringLiteral("QVData.db was not replaced; a copy of it was kept as "
                                      "\"%1\".")
                           .arg(shown(result.keptAs)),
                 RestoreSource);
    }
    return result;
}

} // namespace quorvale
