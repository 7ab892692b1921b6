#include "ui/DatabaseCommands.h"

#include "data/DataStore.h"
#include "data/DatabaseSettings.h"
#include "platform/core/QvError.h"
#include "platform/db/Connection.h"
#include "settings/LocalCompaction.h"
#include "settings/ProgramBackup.h"
#include "support/Prompts.h"
#include "timecards/CommandTable.h"
#include "ui/PointerScope.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLocale>
#include <QProgressDialog>
#include <QTimer>
#include <atomic>
#include <exception>
#include <optional>
#include <thread>

namespace quorvale {

namespace {

const QString CompactTitle = QStringLiteral("Compact Local Database");
const QString BackupTitle = QStringLiteral("Back Up Program Database");
const QString RestoreTitle = QStringLiteral("Restore Program Database");

QString sizeText(qint64 bytes)
{
    return QLocale().formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat);
}

// A connection of its own to the program database: the backup options live
// there, and the link database may predate their table.
std::unique_ptr<db::Connection> openProgramDatabase(DataStore &store)
{
    auto connection = std::make_unique<db::Connection>();
    const DatabaseSettings &settings = store.settings();
    if (settings.isJet())
        connection->open(ConnectionStrings::programDatabase(settings.dataDirectory()));
    else
        connection->open(ConnectionStrings::odbcLink(settings, store.serverPassword()));
    return connection;
}

// The options as the administrator set them; none (the defaults) when the
// database cannot say, which must not stop a backup asked for by hand.
BackupOptions backupOptionsOf(db::Connection *program)
{
    if (!program)
        return {};
    try {
        return readBackupOptions(*program);
    } catch (const QvError &) {
        return {};
    }
}

QString serverCommandText(const ServerCommand &command, const QString &purpose)
{
    return QStringLiteral("Quorvale cannot %1 a database server itself. Run this command where "
                          "the server's tools are installed (it asks for the password):\n\n%2")
        .arg(purpose, command.commandLine());
}

} // namespace

DatabaseCommands::DatabaseCommands(QWidget &window, DataStore &store, Prompts &prompts, Hooks hooks)
    : m_window(window), m_store(store), m_prompts(prompts), m_hooks(std::move(hooks))
{
    if (!m_hooks.chooseFolder)
        m_hooks.chooseFolder = [this](const QString &current) {
            return QFileDialog::getExistingDirectory(
                &m_window, QStringLiteral("Folder for Program Database Backups"), current);
        };
    if (!m_hooks.chooseBackup)
        m_hooks.chooseBackup = [this](const QString &folder) {
            return QFileDialog::getOpenFileName(
                &m_window, QStringLiteral("Restore From Backup"), folder,
                QStringLiteral("Program database backups (QVData*.db);;All files (*)"));
        };
    if (!m_hooks.now)
        m_hooks.now = [] { return QDateTime::currentDateTime(); };
    if (!m_hooks.quit)
        m_hooks.quit = [] { QCoreApplication::quit(); };
}

bool DatabaseCommands::handles(int toolId) const
{
    return toolId == ToolId::CompactLocalDatabase || toolId == ToolId::BackupProgramDatabase ||
           toolId == ToolId::RestoreProgramDatabase;
}

void DatabaseCommands::run(int toolId)
{
    if (toolId == ToolId::CompactLocalDatabase)
        compact();
    else if (toolId == ToolId::BackupProgramDatabase)
        backup(false);
    else
        restore();
}

void DatabaseCommands::tell(const QString &title, const QString &text, bool warning)
{
    m_prompts.messageBox(title, text, PromptButtons::Ok,
                         warning ? PromptIcon::Warning : PromptIcon::Information);
}

void DatabaseCommands::compact()
{
    std::vector<CompactedDatabase> compacted;
    try {
        const PointerScope busy(Qt::WaitCursor);
        // Not modal: a modal progress window would run the window's events,
        // and its timer writes to QVLocal.db, which is closed meanwhile.
        QProgressDialog progress(QStringLiteral("Compacting local databases..."), QString(), 0, 1,
                                 &m_window);
        progress.setWindowTitle(CompactTitle);
        progress.setCancelButton(nullptr);
        progress.setMinimumDuration(0);
        progress.show();
        m_store.withLocalClosed([&] {
            compacted = CompactAndRepairLocalDatabases(
                m_store.programDir(), [&progress](int step, int steps, const QString &text) {
                    progress.setMaximum(steps);
                    progress.setValue(step - 1);
                    progress.setLabelText(text);
                    progress.repaint();
                });
        });
    } catch (const QvError &error) {
        tell(CompactTitle, error.description(), true);
        return;
    }
    QStringList lines;
    for (const CompactedDatabase &file : compacted)
        lines << QStringLiteral("%1: %2 before, %3 now")
                     .arg(QFileInfo(file.liveFile).fileName(), sizeText(file.bytesBefore),
                          sizeText(file.bytesAfter));
    tell(CompactTitle,
         QStringLiteral("Your local databases were compacted.\n\n%1\n\nA copy of each is kept in "
                        "\"%2\" until the next compaction.")
             .arg(lines.join(u'\n'),
                  QDir::toNativeSeparators(localBackupFolder(m_store.programDir()))),
         false);
}

template <typename Result>
Result DatabaseCommands::withCopyProgress(const QString &label,
                                          const std::function<Result(const CopySteps &)> &copy)
{
    const PointerScope busy(Qt::BusyCursor);
    QProgressDialog progress(label, QStringLiteral("&Cancel"), 0, 1000, &m_window);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(300);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    std::atomic<bool> cancel{false};
    std::atomic<qint64> done{0};
    std::atomic<qint64> total{0};
    QObject::connect(&progress, &QProgressDialog::canceled, [&cancel] { cancel = true; });

    CopySteps steps;
    steps.progress = [&done, &total](qint64 pagesDone, qint64 pagesTotal) {
        done = pagesDone;
        total = pagesTotal;
    };
    steps.cancelled = [&cancel] { return cancel.load(); };

    std::optional<Result> result;
    std::exception_ptr failure;
    QEventLoop loop;
    std::atomic<bool> finished{false};
    std::thread worker([&] {
        try {
            result.emplace(copy(steps));
        } catch (...) {
            failure = std::current_exception();
        }
        finished = true;
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, &progress, [&] {
        if (total > 0)
            progress.setValue(int(done * 1000 / total));
    });
    tick.start(50);
    if (!finished)
        loop.exec();
    worker.join();
    if (failure)
        std::rethrow_exception(failure);
    return std::move(*result);
}

void DatabaseCommands::backupIfDue()
{
    if (!m_store.settings().isJet())
        return; // a server is backed up there, by its own schedule
    std::unique_ptr<db::Connection> program;
    try {
        program = openProgramDatabase(m_store);
    } catch (const QvError &) {
        return; // start-up has opened it; nothing to add here
    }
    const BackupOptions options = backupOptionsOf(program.get());
    if (options.folder.isEmpty() || !backupDue(options, m_hooks.now().date()))
        return;
    program.reset();
    backup(true);
}

void DatabaseCommands::backup(bool scheduled)
{
    const DatabaseSettings settings = m_store.settings();
    std::unique_ptr<db::Connection> program;
    try {
        program = openProgramDatabase(m_store);
    } catch (const QvError &error) {
        if (settings.isJet()) {
            tell(BackupTitle, error.description() + QStringLiteral(" No backup was made."), true);
            return;
        }
    }
    const BackupOptions options = backupOptionsOf(program.get());
    const QDateTime now = m_hooks.now();
    if (!settings.isJet()) {
        const ProgramBackupResult result =
            backupProgramDatabase(settings, options.folder, options.keepCopies, now);
        tell(BackupTitle, serverCommandText(result.server, QStringLiteral("back up")), false);
        return;
    }
    QString folder = options.folder;
    if (folder.isEmpty()) {
        folder = m_hooks.chooseFolder(QDir::homePath());
        if (folder.isEmpty())
            return;
    }
    ProgramBackupResult result;
    try {
        result = withCopyProgress<ProgramBackupResult>(
            QStringLiteral("Backing up the program database..."), [&](const CopySteps &steps) {
                return backupProgramDatabase(settings, folder, options.keepCopies, now, steps);
            });
    } catch (const QvError &error) {
        tell(BackupTitle,
             error.description() +
                 QStringLiteral(" The program database and the earlier backups are as they were."),
             true);
        return;
    }
    if (result.cancelled) {
        tell(BackupTitle, QStringLiteral("The backup was cancelled; nothing was written."), false);
        return;
    }
    try {
        recordBackup(*program, now.date());
    } catch (const QvError &) {
        // The copy is made and checked; only the schedule's date is behind, so
        // the next start offers another backup, which is harmless.
    }
    QString text =
        QStringLiteral("The program database was backed up to \"%1\" (%2, checked).")
            .arg(QDir::toNativeSeparators(result.file), sizeText(QFileInfo(result.file).size()));
    if (!result.removed.isEmpty())
        text += QStringLiteral("\n\nOlder copies beyond the %1 kept were removed.")
                    .arg(options.keepCopies);
    if (scheduled)
        text = QStringLiteral("A backup was due. ") + text;
    tell(BackupTitle, text, false);
}

void DatabaseCommands::restore()
{
    const DatabaseSettings settings = m_store.settings();
    std::unique_ptr<db::Connection> program;
    try {
        program = openProgramDatabase(m_store);
    } catch (const QvError &) {
    }
    const BackupOptions options = backupOptionsOf(program.get());
    program.reset();
    const QString start = options.folder.isEmpty() ? settings.dataDirectory() : options.folder;
    const QString file = m_hooks.chooseBackup(start);
    if (file.isEmpty())
        return;
    const QDateTime now = m_hooks.now();
    if (!settings.isJet()) {
        const RestoreResult result = restoreProgramDatabase(settings, file, {}, now);
        tell(RestoreTitle, serverCommandText(result.server, QStringLiteral("restore")), false);
        return;
    }
    try {
        const PointerScope busy(Qt::WaitCursor);
        checkProgramDatabaseFile(file);
    } catch (const QvError &error) {
        tell(RestoreTitle, error.description() + QStringLiteral(" Nothing was changed."), true);
        return;
    }
    const QString folder = start;
    const QString crlf = QStringLiteral("\r\n");
    const PromptResult answer = m_prompts.messageBox(
        RestoreTitle,
        QStringLiteral("Restoring replaces the program database with the backup \"%1\" of %2. "
                       "Everything anyone entered since then is lost; the current database is "
                       "kept in \"%3\".")
                .arg(QFileInfo(file).fileName(),
                     QLocale().toString(QFileInfo(file).lastModified(), QLocale::ShortFormat),
                     QDir::toNativeSeparators(folder)) +
            crlf + crlf +
            QStringLiteral("Everyone else must close Quorvale first. Quorvale closes to restore; "
                           "start it again afterwards.") +
            crlf + crlf + QStringLiteral("Restore now?"),
        PromptButtons::YesNo, PromptIcon::Warning);
    if (answer != PromptResult::Yes)
        return;
    // The window closes as at any other time (its questions, its settings),
    // but the program stays to restore and say how it went.
    const bool quitOnClose = QGuiApplication::quitOnLastWindowClosed();
    QGuiApplication::setQuitOnLastWindowClosed(false);
    if (!m_closeWindow || !m_closeWindow()) {
        QGuiApplication::setQuitOnLastWindowClosed(quitOnClose);
        return;
    }
    m_store.closeAll();
    try {
        const PointerScope busy(Qt::WaitCursor);
        const RestoreResult result = restoreProgramDatabase(settings, file, folder, now);
        QString text = QStringLiteral("The program database was restored from \"%1\".")
                           .arg(QDir::toNativeSeparators(result.restoredFrom));
        if (!result.keptAs.isEmpty())
            text += QStringLiteral(" The database it replaced is kept as \"%1\".")
                        .arg(QDir::toNativeSeparators(result.keptAs));
        tell(RestoreTitle, text + QStringLiteral("\n\nStart Quorvale again to work on it."), false);
    } catch (const QvError &error) {
        tell(RestoreTitle,
             error.description() +
                 QStringLiteral(" The program database was not changed. Start Quorvale again to "
                                "go on with it."),
             true);
    }
    QGuiApplication::setQuitOnLastWindowClosed(quitOnClose);
    m_hooks.quit();
}

} // namespace quorvale
