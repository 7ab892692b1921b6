#include "ManageCommands.h"

#include "outlook/OutlookSession.h"
#include "session/TimeCardMirror.h"
#include "timecards/CommandTable.h"
#include "ui/ActivityMaintenanceDialog.h"
#include "ui/ContactMaintenanceDialog.h"
#include "ui/frmAutoFill.h"
#include "ui/frmTimeCard.h"

namespace quorvale {

ManageCommands::ManageCommands(frmTimeCard &window, Registry &registry, Prompts &prompts,
                               TimeCardMirror &mirror, OutlookSession &outlook,
                               db::Connection &cnnLink, const Terms &terms,
                               std::function<void()> listsChanged)
    : m_window(window), m_registry(registry), m_prompts(prompts), m_mirror(mirror),
      m_outlook(outlook), m_link(cnnLink), m_terms(terms), m_listsChanged(std::move(listsChanged))
{
}

bool ManageCommands::handles(int toolId) const
{
    return toolId == ToolId::AutoFill || toolId == ToolId::Contacts ||
           toolId == ToolId::EditActivity1List || toolId == ToolId::EditActivity2List;
}

void ManageCommands::run(int toolId)
{
    switch (toolId) {
    case ToolId::AutoFill:
        autoFill();
        return;
    case ToolId::Contacts:
        contacts();
        break;
    case ToolId::EditActivity1List:
        ActivityMaintenanceDialog::showModal(m_link, ActivityLevel::Activity1, m_terms, &m_window);
        break;
    default:
        ActivityMaintenanceDialog::showModal(m_link, ActivityLevel::Activity2, m_terms, &m_window);
        break;
    }
    // Renamed, added or deactivated entries show in the TimeCard's lists at once.
    if (m_listsChanged)
        m_listsChanged();
}

void ManageCommands::contacts()
{
    const std::unique_ptr<ContactCards> cards = contactCardsOf(m_outlook, m_link);
    ContactMaintenanceDialog::showModal(m_link, m_terms, cards.get(), &m_window);
}

void ManageCommands::autoFill()
{
    AutoFillTemplates templates = m_mirror.templates();
    // Items written from now on follow what was applied.
    if (frmAutoFill::AutoFillDialog(templates, m_mirror.terms(), m_registry, m_prompts, &m_window))
        m_mirror.setTemplates(templates);
}

} // namespace quorvale
