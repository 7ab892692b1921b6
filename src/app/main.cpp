// Quorvale: the start-up chain, then the main window on the user's TimeCards.

#include "data/DatabaseSettings.h"
#include "platform/core/QvError.h"
#include "platform/pim/Namespace.h"
#include "platform/registry/Registry.h"
#include "settings/StartUp.h"
#include "support/ErrorHandler.h"
#include "support/ErrorReport.h"
#include "timecards/MainCommands.h"
#include "ui/QtPrompts.h"
#include "ui/frmTimeCard.h"

#include <QApplication>
#include <QDir>
#include <QLocale>
#include <QScreen>

using namespace quorvale;

namespace {

QString adminToolPath()
{
    return QDir(QCoreApplication::applicationDirPath())
        .absoluteFilePath(QStringLiteral("../../tools/qvadmin/qvadmin"));
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Kestrune Software"));
    QApplication::setApplicationName(QStringLiteral("Quorvale for Office"));

    QtPrompts prompts;
    ErrorReport report(prompts);
    ErrorHandler errors(report);
    errors.restorePointer = [] {
        while (QApplication::overrideCursor())
            QApplication::restoreOverrideCursor();
    };

    Registry registry;
    const QString programDir = programDirectory();
    StartUpEnvironment environment{programDir, pim::Namespace::defaultRoot(programDir),
                                   QLocale::system().timeFormat(QLocale::LongFormat),
                                   Version::Revision, adminToolPath()};
    StartUp startUp(registry, prompts, errors, environment);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (!startUp.Form_Load())
        return 1;
    QApplication::restoreOverrideCursor();

    WorkingSet &workingSet = startUp.workingSet();
    RegistryKey settingsKey = registry.openSubKey(QStringLiteral("Settings"));
    MainCommands commands(workingSet, startUp.store().cnnLink(), startUp.workingSetContext(),
                          startUp.settings().settings.showHiddenTimeCards, prompts,
                          [&](const QString &clause) {
                              settingsKey.writeText(QStringLiteral("Default Sort"), clause);
                          });
    frmTimeCard window(workingSet, commands, startUp.options().terms);
    prompts.setParent(&window);
    window.applyToolChanges(startUp.toolChanges());
    window.setErrorHandler([&](const std::exception &error) {
        if (const auto *qv = dynamic_cast<const QvError *>(&error))
            errors.handle(*qv);
        else
            errors.handle(ErrorNumber::Generic, QString::fromUtf8(error.what()),
                          QStringLiteral("Quorvale"));
    });
    const int dpi = window.logicalDpiX();
    window.setCloseHandler([&](const WindowState &state) {
        startUp.Form_QueryUnload(WindowClosing{
            state.lastRecord, workingSet.orderBy(),
            QSize(pixelsToTwips(state.size.width(), dpi), pixelsToTwips(state.size.height(), dpi)),
            state.showHidden, startUp.viewTimeDetail(), startUp.viewActiveTaskList()});
    });
    const QSize twips = startUp.windowSizeTwips();
    window.resize(twipsToPixels(twips.width(), dpi), twipsToPixels(twips.height(), dpi));
    window.show();
    startUp.Form_Activate();
    return QApplication::exec();
}
