#include "qvadmin/BackupCommand.h"

#include "data/DatabaseSettings.h"
#include "platform/core/OutgoingText.h"
#include "platform/core/QvError.h"
#include "platform/db/Connection.h"
#include "qvadmin/Arguments.h"
#include "qvadmin/ProgramDatabase.h"
#include "settings/InstanceLock.h"
#include "settings/LocalCompaction.h"
#include "settings/ProgramBackup.h"

#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QTextStream>
#include <optional>

namespace quorvale::admin {

namespace {

const QString BackupUsage =
    QStringLiteral("backup [--to DIR] [--keep N] [--if-due] | backup --schedule --to DIR --every "
                   "DAYS [--keep N]");
const QString RestoreUsage = QStringLiteral("restore FILE [--force] [--to DIR]");
constexpr int MostCopies = 1000;
constexpr int MostDays = 3650;

// Paths reach a terminal: shown, never obeyed.
QString shown(const QString &path)
{
    return outgoingText(QDir::toNativeSeparators(path), ControlCharacters::Escape);
}

QString absolute(const QString &path)
{
    return QDir::cleanPath(QDir(path).absolutePath());
}

QString copies(int n)
{
    return n == 1 ? QStringLiteral("1 copy") : QStringLiteral("%1 copies").arg(n);
}

QString days(int n)
{
    return n == 1 ? QStringLiteral("day") : QStringLiteral("%1 days").arg(n);
}

QString sizeText(qint64 bytes)
{
    return QLocale::c().formattedDataSize(bytes, 1, QLocale::DataSizeSIFormat);
}

// The settings the library's backup and restore read: the data directory of a
// file, or the server's login without its password.
DatabaseSettings settingsOf(const Location &location)
{
    if (location.server) {
        DatabaseSettings settings = location.server->settings();
        settings.pwd.clear();
        return settings;
    }
    DatabaseSettings settings;
    settings.dataSource = location.dataDir;
    return settings;
}

void printServerCommand(QTextStream &out, const Location &location, const ServerCommand &command,
                        const QString &what)
{
    out << "The program database is on a database server (" << shown(location.describe())
        << "); Quorvale runs nothing there. To " << what << ", run:\n  "
        << outgoingText(command.commandLine(), ControlCharacters::Escape) << '\n';
}

int setSchedule(const Arguments &a, ProgramDatabase &program, const BackupOptions &current,
                QTextStream &out, const QDate &today)
{
    const auto to = a.value(QStringLiteral("to"));
    const auto every = a.number(QStringLiteral("every"), 0, MostDays);
    if (!to || !every)
        usageError(QStringLiteral("A schedule needs the folder (--to DIR) and how often, in days "
                                  "(--every DAYS, 0 for never). Usage: qvadmin ") +
                   BackupUsage);
    BackupOptions options = current;
    options.folder = absolute(*to);
    options.everyDays = int(*every);
    options.keepCopies =
        int(a.number(QStringLiteral("keep"), 1, MostCopies).value_or(current.keepCopies));
    saveBackupOptions(program.connection(), options);
    out << "Backups of " << shown(program.location().describe()) << " go to "
        << shown(options.folder) << ", keeping the newest " << copies(options.keepCopies) << ".\n";
    if (options.everyDays == 0) {
        out << "No backup is scheduled.\n";
    } else {
        out << "One is due every " << days(options.everyDays) << "; the next "
            << (backupDue(options, today)
                    ? QStringLiteral("is due now")
                    : QStringLiteral("on ") +
                          options.lastBackup.addDays(options.everyDays).toString(Qt::ISODate))
            << ".\n";
    }
    out << "Nothing was copied.\n";
    return 0;
}

} // namespace

int runBackup(const QStringList &args, const GlobalOptions &globals, QTextStream &out,
              const Now &now)
{
    const Arguments a(args, {QStringLiteral("to"), QStringLiteral("keep"), QStringLiteral("every")},
                      {QStringLiteral("schedule"), QStringLiteral("if-due")});
    a.requireWords(0, 0, BackupUsage);
    const bool schedule = a.has(QStringLiteral("schedule"));
    if (!schedule && a.has(QStringLiteral("every")))
        usageError(QStringLiteral("--every sets the schedule: give it with --schedule. Usage: "
                                  "qvadmin ") +
                   BackupUsage);
    if (schedule && a.has(QStringLiteral("if-due")))
        usageError(QStringLiteral("--schedule only sets the schedule; --if-due is for a backup. "
                                  "Usage: qvadmin ") +
                   BackupUsage);
    const QDateTime stamp = now();

    if (schedule) {
        ProgramDatabase program(globals);
        return setSchedule(a, program, readBackupOptions(program.connection()), out, stamp.date());
    }
    const auto registry = openRegistry(globals);
    const Location location = locationOfExisting(globals, *registry);
    std::optional<ProgramDatabase> program;
    BackupOptions options;
    if (location.server) {
        // Only the server's own tool can back it up; its command is shown even
        // when the server cannot be reached now, or its database was made before
        // there were backup options.
        try {
            db::Connection server;
            openProgramDatabase(server, location);
            options = readBackupOptions(server);
        } catch (const QvError &) {
        }
    } else {
        program.emplace(globals);
        options = readBackupOptions(program->connection());
    }

    const QString chosen = a.value(QStringLiteral("to"), options.folder);
    if (chosen.trimmed().isEmpty())
        usageError(QStringLiteral("No backup folder is set: give one with --to DIR, or set the "
                                  "schedule's with \"qvadmin backup --schedule --to DIR --every "
                                  "DAYS\"."));
    const int keep =
        int(a.number(QStringLiteral("keep"), 1, MostCopies).value_or(options.keepCopies));
    if (a.has(QStringLiteral("if-due")) && !backupDue(options, stamp.date())) {
        out << "No backup is due: ";
        if (options.everyDays <= 0)
            out << "none is scheduled.\n";
        else
            out << "the last was on " << options.lastBackup.toString(Qt::ISODate)
                << ", the next is due on "
                << options.lastBackup.addDays(options.everyDays).toString(Qt::ISODate) << ".\n";
        return 0;
    }

    const ProgramBackupResult result =
        backupProgramDatabase(settingsOf(location), absolute(chosen), keep, stamp);
    if (result.onServer()) {
        printServerCommand(out, location, result.server, QStringLiteral("back it up"));
        return 0;
    }
    recordBackup(program->connection(), stamp.date());
    out << "Backed up " << shown(location.dataFile()) << " to " << shown(result.file) << " ("
        << sizeText(QFileInfo(result.file).size()) << ", checked).\n";
    for (const QString &removed : result.removed)
        out << "Removed the older copy " << shown(removed) << ".\n";
    return 0;
}

int runRestore(const QStringList &args, const GlobalOptions &globals, QTextStream &out,
               const Now &now)
{
    const Arguments a(args, {QStringLiteral("to")}, {QStringLiteral("force")});
    a.requireWords(1, 1, RestoreUsage);
    const QString file = absolute(a.words().first());
    const auto registry = openRegistry(globals);
    const Location location = locationOfExisting(globals, *registry);
    const DatabaseSettings settings = settingsOf(location);
    if (location.server) {
        const RestoreResult result = restoreProgramDatabase(settings, file, {}, now());
        printServerCommand(out, location, result.server, QStringLiteral("restore it"));
        return 0;
    }
    // Refused first, whatever else was asked: a file that is no program
    // database is never worth a --force.
    checkProgramDatabaseFile(file);

    const QString live = location.dataFile();
    const bool liveExists = QFileInfo::exists(live);
    QString folder = a.value(QStringLiteral("to"), QString());
    if (folder.isEmpty() && liveExists) {
        // The schedule's folder, when the current database can tell it; the
        // connection is closed again before anything is replaced.
        try {
            db::Connection current;
            openProgramDatabase(current, location);
            folder = readBackupOptions(current).folder;
        } catch (const QvError &) {
        }
    }
    if (folder.isEmpty())
        folder = QFileInfo(file).absolutePath();
    folder = absolute(folder);
    if (liveExists && !a.has(QStringLiteral("force")))
        usageError(QStringLiteral("%1 exists. Restoring replaces it with \"%2\" (every change "
                                  "since that backup is lost; the current database is kept in "
                                  "%3). Close Quorvale everywhere and run the command again with "
                                  "--force.")
                       .arg(shown(live), shown(file), shown(folder)));

    const RestoreResult result = restoreProgramDatabase(settings, file, folder, now());
    out << "Restored " << shown(live) << " from " << shown(result.restoredFrom) << ".\n";
    if (!result.keptAs.isEmpty())
        out << "The database it replaced is kept as " << shown(result.keptAs) << ".\n";
    return 0;
}

int runCompact(const QStringList &args, const GlobalOptions &globals, QTextStream &out)
{
    const Arguments a(args, {}, {});
    a.requireWords(0, 0, QStringLiteral("compact"));
    const QString programDir = absolute(globals.programDir.value_or(programDirectory()));
    if (!QFileInfo(programDir).isDir())
        usageError(QStringLiteral("There is no program directory %1.").arg(shown(programDir)));
    // Held for the run: the program must not start on a file being replaced.
    const InstanceLock lock(programDir);
    if (lock.state() == InstanceLock::State::Taken)
        throw QvError(ErrorNumber::Generic,
                      QStringLiteral("Quorvale is running on %1 (process %2); close it and run "
                                     "the command again. No file was changed.")
                          .arg(shown(programDir))
                          .arg(lock.holder()),
                      QStringLiteral("qvadmin"));
    const std::vector<CompactedDatabase> done =
        CompactAndRepairLocalDatabases(programDir, [&](int step, int steps, const QString &text) {
            out << '[' << step << '/' << steps << "] " << text << '\n';
            out.flush();
        });
    for (const CompactedDatabase &file : done)
        out << shown(file.liveFile) << ": " << sizeText(file.bytesBefore) << " before, "
            << sizeText(file.bytesAfter) << " now; the compacted copy is " << shown(file.backupFile)
            << ".\n";
    return 0;
}

} // namespace quorvale::admin
