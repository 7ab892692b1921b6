#pragma once

#include "timecards/CommandSet.h"

#include <QString>
#include <functional>

namespace quorvale {

class ErrorHandler;
class Prompts;
class Registry;
namespace db {
class Connection;
}
class OutlookSession;
struct AdminOptions;
struct RegSettings;
class TimeCardEditor;
class frmTimeCard;

// The person's own settings: the three time formats of the time fields, the
// user options dialog and the administrator's defaults taken on request, each
// applied to the window at once where it can be.
class SettingsCommands : public CommandSet {
public:
    SettingsCommands(frmTimeCard &window, OutlookSession &outlook, RegSettings &settings,
                     const AdminOptions &options, const QString &timeFormat, Registry &registry,
                     Prompts &prompts, TimeCardEditor &editor, db::Connection &cnnLink,
                     ErrorHandler &errors);

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
    // Called when the default link type may have changed, so that the Links
    // page shows that kind first.
    void setLinkTypeChanged(std::function<void(qint16)> linkTypeChanged)
    {
        m_linkTypeChanged = std::move(linkTypeChanged);
    }

private:
    void setTimeFormat(int setting);
    void checkTimeFormat(int setting);
    void userOptions();
    void retrieveAdminSettings();
    // What the window shows of the settings, after they changed.
    void settingsChanged();

    frmTimeCard &m_window;
    OutlookSession &m_outlook;
    RegSettings &m_settings;
    const AdminOptions &m_options;
    const QString &m_timeFormat;
    Registry &m_registry;
    Prompts &m_prompts;
    TimeCardEditor &m_editor;
    db::Connection &m_cnnLink;
    ErrorHandler &m_errors;
    std::function<void()> m_mailChanged;
    std::function<void(qint16)> m_linkTypeChanged;
};

} // namespace quorvale
