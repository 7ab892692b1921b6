#include "FolderKind.h"

namespace quorvale {

QString folderDisplayName(FolderKind kind)
{
    switch (kind) {
    case FolderKind::Contacts:
        return QStringLiteral("Contacts");
    case FolderKind::Journal:
        return QStringLiteral("Journal");
    case FolderKind::ScheduledAppointments:
        return QStringLiteral("Scheduled Appointments");
    case FolderKind::TimeCardAppointments:
        return QStringLiteral("TimeCard Appointments");
    case FolderKind::Tasks:
        return QStringLiteral("Tasks");
    case FolderKind::Notes:
        return QStringLiteral("Notes");
    }
    return QString();
}

} // namespace quorvale
