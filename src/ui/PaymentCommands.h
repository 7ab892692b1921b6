#pragma once

#include "timecards/CommandSet.h"

namespace quorvale {

class Prompts;
class StartUp;
class frmTimeCard;

// "&Payment/Credit": the payment window, for a user allowed to record payments
// while billing is in use. Otherwise the tool is not handled and stays off.
class PaymentCommands : public CommandSet {
public:
    PaymentCommands(frmTimeCard &window, StartUp &startUp, Prompts &prompts);

    bool handles(int toolId) const override;
    void run(int toolId) override;

private:
    frmTimeCard &m_window;
    StartUp &m_startUp;
    Prompts &m_prompts;
};

} // namespace quorvale
