#pragma once

#include "timecards/CommandSet.h"

namespace quorvale {

class OutlookSession;

class Prompts;
class DataStore;
struct AdminOptions;
struct Permissions;
struct RegSettings;
class frmTimeCard;

// "&Payment/Credit": the payment window, for a user allowed to record payments
// while billing is in use. Otherwise the tool is not handled and stays off.
class PaymentCommands : public CommandSet {
public:
    PaymentCommands(frmTimeCard &window, DataStore &store, OutlookSession &outlook,
                    const RegSettings &settings, const AdminOptions &options,
                    const Permissions &permissions, Prompts &prompts);

    bool handles(int toolId) const override;
    void run(int toolId) override;

private:
    frmTimeCard &m_window;
    DataStore &m_store;
    OutlookSession &m_outlook;
    const RegSettings &m_settings;
    const AdminOptions &m_options;
    const Permissions &m_permissions;
    Prompts &m_prompts;
};

} // namespace quorvale
