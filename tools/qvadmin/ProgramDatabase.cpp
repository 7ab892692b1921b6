#include "qvadmin/ProgramDatabase.h"

#include "data/DatabaseUpgrader.h"
#include "platform/core/QvError.h"

namespace quorvale::admin {

ProgramDatabase::ProgramDatabase(const GlobalOptions &options)
{
    const auto registry = openRegistry(options);
    m_location = locationOfExisting(options, *registry);
    // A database an older program made gains this program's tables first, as
    // the program itself would do at its next start.
    if (!m_location.server && DatabaseUpgrader::isBehind(m_location.dataDir)) {
        DatabaseUpgrader upgrader;
        upgrader.prepare(DatabaseUpgrader::ModeUpgrade, m_location.programDir, m_location.dataDir);
        if (!upgrader.run())
            throw QvError(ErrorNumber::Generic,
                          QStringLiteral("The database in %1 could not be brought up to date: %2")
                              .arg(m_location.dataDir, upgrader.lastError()),
                          QStringLiteral("qvadmin"));
    }
    openProgramDatabase(m_connection, m_location);
}

QString yesNo(const QVariant &stored)
{
    return stored.toInt() != 0 ? QStringLiteral("Yes") : QStringLiteral("No");
}

} // namespace quorvale::admin
