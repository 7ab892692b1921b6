#pragma once

// tblPermissions rows are read as "SELECT * FROM tblPermissions" and permissions
// 1 to 5 taken from columns 1 to 5, so those positions are fixed; the description
// stands after them, where a new column cannot shift a permission.
namespace quorvale::PermissionColumn {

inline constexpr int PermissionID = 0;
inline constexpr int Permission1 = 1;
inline constexpr int Permission2 = 2;
inline constexpr int Permission3 = 3;
inline constexpr int ContactManagement = 4; // with options 1 and 5: the contacts command
inline constexpr int Payments = 5;          // with option 1: the payment commands
inline constexpr int PermissionDescription = 6;

} // namespace quorvale::PermissionColumn
