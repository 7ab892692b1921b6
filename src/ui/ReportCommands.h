#pragma once

#include "timecards/CommandSet.h"

namespace quorvale {

class Prompts;
class Registry;
class WindowLifecycle;
class OutlookSession;
struct AdminOptions;
struct RegSettings;
class frmTimeCard;
namespace db {
class Connection;
}

// The reports and billing tools (run by the administrator tool, shown in the
// browser), the item store's folder views, and the administrator tool itself.
class ReportCommands : public CommandSet {
public:
    ReportCommands(frmTimeCard &window, OutlookSession &outlook, const RegSettings &settings,
                   const AdminOptions &options, const WindowLifecycle &lifecycle,
                   Registry &registry, db::Connection &cnnLink, Prompts &prompts);

    bool handles(int toolId) const override;
    void run(int toolId) override;

private:
    void report(int toolId);
    void folderView(int toolId);
    void administrator();

    frmTimeCard &m_window;
    OutlookSession &m_outlook;
    const RegSettings &m_settings;
    const AdminOptions &m_options;
    const WindowLifecycle &m_lifecycle;
    Registry &m_registry;
    db::Connection &m_cnnLink;
    Prompts &m_prompts;
};

} // namespace quorvale
