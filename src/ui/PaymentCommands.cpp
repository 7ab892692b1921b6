#include "PaymentCommands.h"

#include "data/DataStore.h"
#include "outlook/ContactCards.h"
#include "settings/AdminSettings.h"
#include "settings/Permissions.h"
#include "settings/RegSettings.h"
#include "timecards/CommandTable.h"
#include "ui/frmPayments.h"
#include "ui/frmTimeCard.h"

namespace quorvale {

PaymentCommands::PaymentCommands(frmTimeCard &window, DataStore &store, OutlookSession &outlook,
                                 const RegSettings &settings, const AdminOptions &options,
                                 const Permissions &permissions, Prompts &prompts)
    : m_window(window), m_store(store), m_outlook(outlook), m_settings(settings),
      m_options(options), m_permissions(permissions), m_prompts(prompts)
{
}

bool PaymentCommands::handles(int toolId) const
{
    // The same condition that shows the tool at start-up.
    return toolId == ToolId::NewPayment && m_options.billingInUse && m_permissions.payments;
}

void PaymentCommands::run(int toolId)
{
    if (!handles(toolId))
        return;
    PaymentWindowContext context;
    context.userId = m_settings.userId;
    context.terms = m_options.terms;
    context.contactManagement = m_permissions.contactManagement && m_options.contactInUse;
    context.contactCards = [this] { return contactCardsOf(m_outlook, m_store.cnnLink()); };
    frmPayments::showModal(m_store.cnnLink(), context, m_prompts, &m_window);
}

} // namespace quorvale
