#include "qvadmin/ProgramDatabase.h"

namespace quorvale::admin {

ProgramDatabase::ProgramDatabase(const GlobalOptions &options)
{
    const auto registry = openRegistry(options);
    m_location = locationOfExisting(options, *registry);
    openProgramDatabase(m_connection, m_location);
}

QString yesNo(const QVariant &stored)
{
    return stored.toInt() != 0 ? QStringLiteral("Yes") : QStringLiteral("No");
}

} // namespace quorvale::admin
