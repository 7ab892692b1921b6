#pragma once

#include "timecards/CommandSet.h"

namespace quorvale {

class Prompts;
class Registry;
class StartUp;
class TimeCardEditor;
class frmTimeCard;

// The person's own settings: the three time formats of the time fields and the
// user options dialog, each applied to the window at once where it can be.
class SettingsCommands : public CommandSet {
public:
    SettingsCommands(frmTimeCard &window, StartUp &startUp, Registry &registry, Prompts &prompts,
                     TimeCardEditor &editor);

    bool handles(int toolId) const override;
    void run(int toolId) override;

    // The format tools checked and the tips shown as the settings say.
    void applySettings();

private:
    void setTimeFormat(int setting);
    void checkTimeFormat(int setting);
    void userOptions();

    frmTimeCard &m_window;
    StartUp &m_startUp;
    Registry &m_registry;
    Prompts &m_prompts;
    TimeCardEditor &m_editor;
};

} // namespace quorvale
