#include "settings/InitialSetup.h"

#include "data/DataStore.h"
#include "data/DatabaseSettings.h"
#include "platform/core/QvError.h"
#include "platform/db/Connection.h"
#include "platform/registry/Registry.h"
#include "platform/registry/RegistryPaths.h"
#include "settings/RegistrySettings.h"
#include "support/ErrorHandler.h"
#include "support/Prompts.h"
#include "support/Trace.h"

namespace quorvale {

QString setupCompleteText()
{
    const QString crlf = QStringLiteral("\r\n");
    return QStringLiteral("Congratulations! You have completed Quorvale' user setup.  ") + crlf +
           crlf + QStringLiteral("Please wait while Quorvale configures your connection to") +
           crlf + QStringLiteral("the program database.  There may be a short delay while this") +
           crlf + QStringLiteral("process completes.");
}

bool CompleteInitialSetup(Registry &registry, const QString &programDir, const JoinChoice &choice,
                          const ProgramUser &user, Prompts &prompts, ErrorHandler &errors,
                          const SetupProgress &progress)
{
    TraceScope trace(u"frmInitialSetup: Command2_Click");
    constexpr int Steps = 5;
    try {
        joinProgramDatabase(registry, programDir, choice, user,
                            [&](int step, int, const QString &text) {
                                if (progress)
                                    progress(step, Steps, text);
                            });
    } catch (const QvError &e) {
        prompts.messageBox(QStringLiteral("Initial Set-up"),
                           e.description() +
                               QStringLiteral("\n\nNothing was changed; choose the database or "
                                              "the user again."),
                           PromptButtons::Ok, PromptIcon::Warning);
        return false;
    }
    prompts.messageBox(QStringLiteral(" User Setup Complete"), setupCompleteText(),
                       PromptButtons::Ok, PromptIcon::Information);

    if (progress)
        progress(4, Steps, QStringLiteral("Taking the administrator's settings..."));
    try {
        db::Connection chosen;
        openChosenDatabase(chosen, choice);
        if (administratorDefaultsApply(chosen) && !RetrieveAdminDefaults(registry, chosen, errors))
            return false;
    } catch (const QvError &e) {
        errors.handle(e);
        return false;
    }
    if (progress)
        progress(5, Steps, QStringLiteral("Opening the databases..."));
    DataStore store(
        DatabaseSettings::read(registry.openSubKey(QLatin1String(RegistryPaths::Database))),
        programDir, prompts, errors);
    if (!store.VerifyDirectoriesAndFiles() || !store.OpenDB())
        return false;
    return true;
}

} // namespace quorvale
