#pragma once

#include "timecards/CommandSet.h"

#include <functional>

namespace quorvale {

class LinkFollowing;
class Prompts;
class DataStore;
struct AdminOptions;
class TimeCardBinder;
class TimeCardEditor;
class frmTimeCard;
struct PickListSource;

// The TimeCard's contact: "Select TimeCard contact." opens the contact picker,
// "Delete TimeCard contact." clears it; either way the activity lists, the
// realization and a contact rate follow, and, as the person answered, the
// linked charges and items.
class ContactCommands : public CommandSet {
public:
    ContactCommands(frmTimeCard &window, DataStore &store, const AdminOptions &options,
                    TimeCardEditor &editor, TimeCardBinder &binder, Prompts &prompts,
                    const PickListSource &lists, LinkFollowing *links = nullptr);

    bool handles(int toolId) const override;
    void run(int toolId) override;

private:
    frmTimeCard &m_window;
    DataStore &m_store;
    const AdminOptions &m_options;
    TimeCardEditor &m_editor;
    TimeCardBinder &m_binder;
    Prompts &m_prompts;
    const PickListSource &m_lists;
    LinkFollowing *m_links;
};

} // namespace quorvale
