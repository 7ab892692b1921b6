#pragma once

#include "timecards/CommandSet.h"

namespace quorvale {

class Prompts;
class Registry;
class TimeCardMirror;
class frmTimeCard;

// The Manage and Administration menus: the windows that keep the program's
// lists and settings.
class ManageCommands : public CommandSet {
public:
    ManageCommands(frmTimeCard &window, Registry &registry, Prompts &prompts,
                   TimeCardMirror &mirror);

    bool handles(int toolId) const override;
    void run(int toolId) override;

private:
    void autoFill();

    frmTimeCard &m_window;
    Registry &m_registry;
    Prompts &m_prompts;
    TimeCardMirror &m_mirror;
};

} // namespace quorvale
