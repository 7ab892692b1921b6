#include "PaymentCommands.h"

#include "settings/StartUp.h"
#include "timecards/CommandTable.h"
#include "ui/frmPayments.h"
#include "ui/frmTimeCard.h"

namespace quorvale {

PaymentCommands::PaymentCommands(frmTimeCard &window, StartUp &startUp, Prompts &prompts)
    : m_window(window), m_startUp(startUp), m_prompts(prompts)
{
}

bool PaymentCommands::handles(int toolId) const
{
    // The same condition that shows the tool at start-up.
    return toolId == ToolId::NewPayment && m_startUp.options().billingInUse &&
           m_startUp.permissions().payments;
}

void PaymentCommands::run(int toolId)
{
    if (!handles(toolId))
        return;
    PaymentWindowContext context;
    context.userId = m_startUp.settings().userId;
    context.terms = m_startUp.options().terms;
    context.contactManagement =
        m_startUp.permissions().contactManagement && m_startUp.options().contactInUse;
    frmPayments::showModal(m_startUp.store().cnnLink(), context, m_prompts, &m_window);
}

} // namespace quorvale
