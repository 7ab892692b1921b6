#pragma once

#include "timecards/CommandSet.h"

#include <functional>

namespace quorvale {

class Prompts;
struct Terms;

namespace db {
class Connection;
}
class OutlookSession;
class Registry;
class TimeCardMirror;
class frmTimeCard;

// The Manage and Administration menus: the windows that keep the program's
// lists and settings.
class ManageCommands : public CommandSet {
public:
    // listsChanged: the contact or activity lists were maintained; what shows them refills.
    ManageCommands(frmTimeCard &window, Registry &registry, Prompts &prompts,
                   TimeCardMirror &mirror, OutlookSession &outlook, db::Connection &cnnLink,
                   const Terms &terms, std::function<void()> listsChanged);

    bool handles(int toolId) const override;
    void run(int toolId) override;

private:
    void autoFill();
    void contacts();

    frmTimeCard &m_window;
    Registry &m_registry;
    Prompts &m_prompts;
    TimeCardMirror &m_mirror;
    OutlookSession &m_outlook;
    db::Connection &m_link;
    const Terms &m_terms;
    std::function<void()> m_listsChanged;
};

} // namespace quorvale
