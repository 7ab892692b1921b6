#pragma once

#include <QtGlobal>

namespace quorvale {

class ErrorHandler;
struct AdminOptions;

namespace db {
class Connection;
}

// The five permissions of the user's permission set (tblPermissions columns 1
// to 5). A user without a set has none of them.
struct Permissions {
    bool permission1 = false;
    bool permission2 = false;
    bool permission3 = false;
    bool contactManagement = false; // with billing and contacts in use: the contacts command
    bool payments = false;          // with billing in use: the payment commands

    bool operator==(const Permissions &) const = default;
};

// Reads the user's permissions: from the staff level's permission set when the
// options say so, else from the user's own (userPermissionId, the PermissionID
// of the user's tblUsers row). A set that has no row gives no permissions.
// Errors go to the error handler; false then, with permissions all off.
bool RetrieveUserPermissions(qint32 staffId, qint32 userPermissionId, const AdminOptions &options,
                             db::Connection &cnnLink, ErrorHandler &errors,
                             Permissions &permissions);

} // namespace quorvale
