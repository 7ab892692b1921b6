#pragma once

#include "timecards/CommandSet.h"

#include <QString>
#include <functional>

namespace quorvale {

class Prompts;
class Registry;
class OutlookSession;
struct AdminOptions;
struct RegSettings;
class TimeCardEditor;
class frmTimeCard;

// The person's own settings: the three time formats of the time fields and the
// user options dialog, each applied to the window at once where it can be.
class SettingsCommands : public CommandSet {
public:
    SettingsCommands(frmTimeCard &window, OutlookSession &outlook, RegSettings &settings,
                     const AdminOptions &options, const QString &timeFormat, Registry &registry,
                     Prompts &prompts, TimeCardEditor &editor);

    bool handles(int toolId) const override;
    void run(int toolId) override;

    // The format tools checked and the tips shown as the settings say.
    void applySettings();
    // Called when the options changed the mail command or address, so that
    // messages waiting in the Outbox go with the new ones.
    void setMailChanged(std::function<void()> mailChanged)
    {
        m_mailChanged = std::move(mailChanged);
    }

private:
    void setTimeFormat(int setting);
    void checkTimeFormat(int setting);
    void userOptions();

    frmTimeCard &m_window;
    OutlookSession &m_outlook;
    RegSettings &m_settings;
    const AdminOptions &m_options;
    const QString &m_timeFormat;
    Registry &m_registry;
    Prompts &m_prompts;
    TimeCardEditor &m_editor;
    std::function<void()> m_mailChanged;
};

} // namespace quorvale
