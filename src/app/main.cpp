// Quorvale: opens the program database named by the user's settings and shows
// their open TimeCards.

#include "data/AdminOptionOrdinals.h"
#include "data/DataStore.h"
#include "data/WorkingSet.h"
#include "platform/registry/Registry.h"
#include "platform/registry/RegistryKey.h"
#include "support/ErrorHandler.h"
#include "support/ErrorReport.h"
#include "timecards/MainCommands.h"
#include "ui/QtPrompts.h"
#include "ui/frmTimeCard.h"

#include <QApplication>

using namespace quorvale;

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
    const DatabaseSettings settings =
        DatabaseSettings::read(registry.openSubKey(QStringLiteral("Database")));
    const RegistryKey license = registry.openSubKey(QStringLiteral("License"));
    const RegistryKey userSettings = registry.openSubKey(QStringLiteral("Settings"));

    DataStore store(settings, programDirectory(), prompts, errors);
    if (!store.VerifyDirectoriesAndFiles() || !store.OpenDB())
        return 1;

    db::Recordset &options = store.rsAdminOptions();
    WorkingSetContext context;
    context.contactInUse = options.collect(AdminOption::ContactInUse).toInt() != 0;
    context.terms = Terms{options.collect(AdminOption::ContactTerm).toString(),
                          options.collect(AdminOption::Activity1Term).toString(),
                          options.collect(AdminOption::Activity2Term).toString()};
    context.userId = license.readText(QStringLiteral("User ID")).toInt();
    context.userName = license.readText(QStringLiteral("User Name"));

    WorkingSet workingSet(errors);
    workingSet.setOrderBy(userSettings.readText(QStringLiteral("Default Sort"),
                                                QString::fromLatin1(SortOrders::DefaultClause)));
    const bool showHidden = userSettings.readInt(QStringLiteral("Show Hidden TimeCards"), 0) != 0;
    if (!workingSet.SetRecordSet(showHidden, store.cnnLink(), context))
        return 1;

    RegistryKey settingsKey = registry.openSubKey(QStringLiteral("Settings"));
    MainCommands commands(workingSet, store.cnnLink(), context, showHidden, prompts,
                          [&](const QString &clause) {
                              settingsKey.writeText(QStringLiteral("Default Sort"), clause);
                          });
    frmTimeCard window(workingSet, commands, context.terms);
    window.resize(640, 480);
    window.show();
    return QApplication::exec();
}
