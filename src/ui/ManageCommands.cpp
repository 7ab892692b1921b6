#include "ManageCommands.h"

#include "timecards/CommandTable.h"
#include "ui/TimeCardMirror.h"
#include "ui/frmAutoFill.h"
#include "ui/frmTimeCard.h"

namespace quorvale {

ManageCommands::ManageCommands(frmTimeCard &window, Registry &registry, Prompts &prompts,
                               TimeCardMirror &mirror)
    : m_window(window), m_registry(registry), m_prompts(prompts), m_mirror(mirror)
{
}

bool ManageCommands::handles(int toolId) const
{
    return toolId == ToolId::AutoFill;
}

void ManageCommands::run(int toolId)
{
    if (toolId == ToolId::AutoFill)
        autoFill();
}

void ManageCommands::autoFill()
{
    AutoFillTemplates templates = m_mirror.templates();
    // Items written from now on follow what was applied.
    if (frmAutoFill::AutoFillDialog(templates, m_mirror.terms(), m_registry, m_prompts, &m_window))
        m_mirror.setTemplates(templates);
}

} // namespace quorvale
