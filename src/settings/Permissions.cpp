#include "settings/Permissions.h"

#include "data/SchemaPermissionOrdinals.h"
#include "platform/db/Recordset.h"
#include "settings/AdminSettings.h"
#include "settings/Guarded.h"
#include "support/Trace.h"

namespace quorvale {

namespace {

bool flag(const db::Recordset &set, int ordinal)
{
    const QVariant v = set.collect(ordinal);
    return !v.isNull() && v.toLongLong() != 0;
}

} // namespace

bool RetrieveUserPermissions(qint32 staffId, qint32 userPermissionId, const AdminOptions &options,
                             db::Connection &cnnLink, ErrorHandler &errors,
                             Permissions &permissions)
{
    TraceScope trace(u"modAdminSettings:  RetrieveUserPermissions");
    permissions = Permissions{};
    return guarded(errors, [&] {
        QVariant permissionId = userPermissionId;
        if (options.permissionsFromStaffLevel) {
            permissionId = cnnLink.scalar(
                QStringLiteral("SELECT PermissionID FROM tblStaff WHERE StaffID = ?"), {staffId});
        }
        if (permissionId.isNull() || !permissionId.isValid())
            return true;

        db::Recordset set;
        set.open(cnnLink, QStringLiteral("SELECT * FROM tblPermissions WHERE PermissionID = ?"),
                 db::CursorType::Keyset, db::LockType::ReadOnly, {permissionId});
        if (set.recordCount() != 1)
            return true;
        Permissions read;
        read.permission1 = flag(set, PermissionColumn::Permission1);
        read.permission2 = flag(set, PermissionColumn::Permission2);
        read.permission3 = flag(set, PermissionColumn::Permission3);
        read.contactManagement = flag(set, PermissionColumn::ContactManagement);
        read.payments = flag(set, PermissionColumn::Payments);
        permissions = read;
        return true;
    });
}

} // namespace quorvale
