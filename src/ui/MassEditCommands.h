#pragma once

#include "filters/MassEdit.h"
#include "timecards/CommandSet.h"

namespace quorvale {

class LinkFollowing;
class Prompts;
class DataStore;
class WorkingSet;
struct AdminOptions;
struct PreparedCommands;
struct RegSettings;
class TimeCardEditor;
class frmMassEdit;
class frmTimeCard;
struct MassEditSetup;

// "&Mass Edit" (Ctrl+Z): one value for chosen fields of every TimeCard the
// window shows, then the set read again so the window shows the new values.
class MassEditCommands : public CommandSet {
public:
    MassEditCommands(frmTimeCard &window, DataStore &store, WorkingSet &workingSet,
                     const RegSettings &settings, const AdminOptions &options,
                     const PreparedCommands &commands, TimeCardEditor &editor, Prompts &prompts,
                     LinkFollowing &links);

    bool handles(int toolId) const override;
    void run(int toolId) override;

    // The dialog's lists for the options in force; Apply runs through `dialog`.
    MassEditSetup dialogSetup(frmMassEdit *&dialog);
    MassEdit::Outcome apply(frmMassEdit &dialog, const MassEditRequest &request);

private:
    frmTimeCard &m_window;
    DataStore &m_store;
    WorkingSet &m_workingSet;
    const RegSettings &m_settings;
    const AdminOptions &m_options;
    const PreparedCommands &m_commands;
    TimeCardEditor &m_editor;
    Prompts &m_prompts;
    LinkFollowing &m_links;
};

} // namespace quorvale
