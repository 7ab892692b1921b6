#pragma once

#include <QString>

namespace quorvale::db {
class Connection;
}

namespace quorvale::admin {

// The administrator's terms a new database starts with.
inline constexpr const char *ContactTermText = "Client";
inline constexpr const char *Activity1TermText = "Service";
inline constexpr const char *Activity2TermText = "Project";

struct BaseRowIds {
    int fullPermissionId = 0;
    int standardPermissionId = 0;
    int restrictedPermissionId = 0;
    int staffId = 0;
    int userId = 0;
};

// What every new program database holds beyond the schema's default rows: the
// options row set up for billing by client, service and project, the permission
// sets "Full", "Standard" and "Restricted", one staff level and one active user,
// who gets full permissions. Runs in the caller's transaction.
BaseRowIds insertBaseRows(db::Connection &db, const QString &userName);

// Switches options on by their ordinals in tblAdminOptions.
void switchAdminOptionsOn(db::Connection &db, std::initializer_list<int> ordinals);

} // namespace quorvale::admin
