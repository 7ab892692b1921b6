// Quorvale: the start-up chain, then the main window on the user's TimeCards.

#include "data/DatabaseSettings.h"
#include "platform/core/QvError.h"
#include "platform/pim/Namespace.h"
#include "platform/registry/Registry.h"
#include "settings/InstanceLock.h"
#include "settings/StartUp.h"
#include "settings/UserOptions.h"
#include "support/ErrorHandler.h"
#include "support/ErrorReport.h"
#include "timecards/ReportRunner.h"
#include "ui/GuardedApplication.h"
#include "ui/MainWindowHost.h"
#include "ui/QtPrompts.h"
#include "ui/frmInitialSetup.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QIcon>
#include <QLocale>
#include <QTimer>
#include <cstdio>

using namespace quorvale;

int main(int argc, char **argv)
{
    GuardedApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Kestrune Software"));
    QApplication::setApplicationName(QStringLiteral("Quorvale for Office"));
    // Desktops match the window to the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("quorvale"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("quorvale")));

    QtPrompts prompts;
    ErrorReport report(prompts);
    ErrorHandler errors(report);
    errors.restorePointer = [] {
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
    };
    app.setErrorHandler([&errors](const std::exception &error) { errors.handle(error); });

    Registry registry;
    if (!registry.damageNotice().isEmpty())
        prompts.messageBox(QStringLiteral("Settings Damaged"), registry.damageNotice(),
                           PromptButtons::Ok, PromptIcon::Warning);
    const QString programDir = programDirectory();
    // One program per user: a second one would take the first one's running
    // timer for a crashed run and settle it.
    const std::optional<InstanceLock> instance = claimProgramDirectory(programDir, prompts);
    if (!instance)
        return 1;
    // The person may keep the item store elsewhere (User Options); it applies from this start.
    const QString itemStore = readItemStoreFolder(registry);
    StartUpEnvironment environment{
        programDir, itemStore.isEmpty() ? pim::Namespace::defaultRoot(programDir) : itemStore,
        QLocale::system().timeFormat(QLocale::LongFormat), Version::Revision,
        ReportRunner(prompts, QCoreApplication::applicationDirPath()).locateAdministrator()};
    StartUp startUp(registry, prompts, errors, environment);
    // A second person of a firm starts here: the set-up joins the firm's database.
    startUp.setInitialSetup([&prompts, &errors](Registry &settings, const QString &dir) {
        // Start-up shows the busy pointer; the person chooses with the plain one.
        QApplication::restoreOverrideCursor();
        frmInitialSetup setup(settings, dir, prompts, errors);
        const bool done = setup.exec() == QDialog::Accepted;
        QApplication::setOverrideCursor(Qt::WaitCursor);
        return done;
    });
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (!startUp.Form_Load())
        return 1;
    QApplication::restoreOverrideCursor();

    MainWindowHost host(programParts(startUp), startUp, registry, prompts, errors);
    prompts.setParent(&host.window());
    host.show();
    // For measuring start-up: the process ends once the window is up, after
    // saying how much memory it holds then.
    if (qEnvironmentVariableIsSet("QUORVALE_QUIT_AFTER_START")) {
        QTimer::singleShot(0, [] {
            QFile status(QStringLiteral("/proc/self/status"));
            if (status.open(QIODevice::ReadOnly))
                for (const QByteArray &line : status.readAll().split('\n'))
                    if (line.startsWith("VmRSS:"))
                        std::fprintf(stdout, "%s\n", line.simplified().constData());
            QApplication::exit(0);
        });
    }
    return QApplication::exec();
}
