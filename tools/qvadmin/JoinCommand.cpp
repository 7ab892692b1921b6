#include "qvadmin/JoinCommand.h"

#include "data/DatabaseSettings.h"
#include "data/LocalDatabases.h"
#include "platform/core/QvError.h"
#include "platform/db/Connection.h"
#include "platform/registry/Registry.h"
#include "qvadmin/Arguments.h"
#include "settings/JoinDatabase.h"
#include "settings/RegistrySettings.h"

#include <QFileInfo>
#include <QTextStream>

namespace quorvale::admin {

namespace {

const QString Usage = QStringLiteral(
    "join --user NAME|ID [--force], with --data-dir DIR (the folder of QVData.db) or a server");

ProgramUser chosenUser(const std::vector<ProgramUser> &users, const QString &wanted)
{
    bool numeric = false;
    const int id = wanted.toInt(&numeric);
    for (const ProgramUser &u : users)
        if ((numeric && u.id == id) || u.name.compare(wanted, Qt::CaseInsensitive) == 0)
            return u;
    QStringList names;
    for (const ProgramUser &u : users)
        names << QStringLiteral("%1 (%2)").arg(u.name).arg(u.id);
    usageError(QStringLiteral("There is no user \"%1\" in that database; its users are: %2.")
                   .arg(wanted, names.join(QStringLiteral(", "))));
}

} // namespace

int runJoin(const QStringList &args, const GlobalOptions &globals, QTextStream &out)
{
    const Arguments a(args, {QStringLiteral("user")}, {QStringLiteral("force")});
    a.requireWords(0, 0, Usage);
    const auto wanted = a.value(QStringLiteral("user"));
    if (!wanted)
        usageError(QStringLiteral("Name the user to join as: --user NAME or --user ID."));
    if (!globals.dataDir && !globals.server)
        usageError(QStringLiteral("Name the database to join: --data-dir DIR (the folder that "
                                  "holds QVData.db), or a server with --server-file FILE."));
    const Location location = locationForInit(globals);
    // This computer's own databases stay unless asked: they may reach another firm.
    if (!a.has(QStringLiteral("force")) &&
        QFileInfo::exists(joinPath(location.programDir, QLatin1String(DatabaseFile::Link))))
        usageError(QStringLiteral("%1 already reaches a program database; use --force to reach "
                                  "this one instead (the local databases are kept).")
                       .arg(location.programDir));

    const JoinChoice choice = location.joinChoice();
    const ProgramUser user = chosenUser(listProgramUsers(choice), *wanted);
    const auto registry = openRegistry(globals);
    joinProgramDatabase(*registry, location.programDir, choice, user);

    db::Connection chosen;
    openChosenDatabase(chosen, choice);
    const bool defaults = administratorDefaultsApply(chosen);
    if (defaults)
        copyAdministratorDefaults(*registry, chosen);
    out << "Joined " << location.describe() << " as " << user.name << " (UserID " << user.id
        << ")\n"
        << "Local databases in " << location.programDir << '\n'
        << (defaults ? "The administrator's default settings were copied.\n" : "")
        << "Settings written to " << registry->filePath() << '\n';
    return 0;
}

} // namespace quorvale::admin
