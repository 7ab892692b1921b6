#pragma once

#include "filters/MassEdit.h"
#include "timecards/CommandSet.h"

namespace quorvale {

class LinkFollowing;
class Prompts;
class StartUp;
class TimeCardEditor;
class frmMassEdit;
class frmTimeCard;
struct MassEditSetup;

// "&Mass Edit" (Ctrl+Z): one value for chosen fields of every TimeCard the
// window shows, then the set read again so the window shows the new values.
class MassEditCommands : public CommandSet {
public:
    MassEditCommands(frmTimeCard &window, StartUp &startUp, TimeCardEditor &editor,
                     Prompts &prompts, LinkFollowing &links);

    bool handles(int toolId) const override;
    void run(int toolId) override;

    // The dialog's lists for the options in force; Apply runs through `dialog`.
    MassEditSetup dialogSetup(frmMassEdit *&dialog);
    MassEdit::Outcome apply(frmMassEdit &dialog, const MassEditRequest &request);

private:
    frmTimeCard &m_window;
    StartUp &m_startUp;
    TimeCardEditor &m_editor;
    Prompts &m_prompts;
    LinkFollowing &m_links;
};

} // namespace quorvale
