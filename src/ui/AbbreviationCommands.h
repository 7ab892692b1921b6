#pragma once

#include "timecards/CommandSet.h"

namespace quorvale {

class AbbreviationList;
class AbbreviationTarget;
class Clock;
class Prompts;
class DataStore;
class WorkingSet;
struct AdminOptions;
class frmTimeCard;

// Edit > Abbreviations: the drop-down list on its own tool bar, Insert (Ctrl+U)
// into the note field last typed in, and Edit (Ctrl+W).
class AbbreviationCommands : public CommandSet {
public:
    AbbreviationCommands(frmTimeCard &window, DataStore &store, const AdminOptions &options,
                         WorkingSet &workingSet, Prompts &prompts, const Clock &clock);

    bool handles(int toolId) const override;
    void run(int toolId) override;

    AbbreviationList &list() const { return *m_list; }

private:
    // Children of the window, which deletes them.
    AbbreviationList *m_list = nullptr;
    AbbreviationTarget *m_target = nullptr;
};

} // namespace quorvale
