#pragma once

#include <QString>
#include <vector>

namespace quorvale {

struct AdminOptions;
struct Permissions;
struct Terms;

// A change to one tool of the main window: shown or hidden, and a new caption
// when it is renamed (empty: keep it). Tools are named as the command table
// names them; a name the window does not carry is passed over.
struct ToolChange {
    QString toolName;
    bool visible = true;
    QString caption;
};

// The administrator's terms on the menus that name them (start-up's menu step).
std::vector<ToolChange> AdaptMenus(const Terms &terms);

// Terms, options and permissions applied to the main window's tools.
std::vector<ToolChange> AdjustInterface(const AdminOptions &options,
                                        const Permissions &permissions);

} // namespace quorvale
