#include "ViewCommands.h"

#include "data/WorkingSet.h"
#include "platform/core/QvError.h"
#include "timecards/CommandTable.h"
#include "timecards/MainCommands.h"
#include "timecards/TimeCardDelete.h"
#include "timecards/TimeCardEditor.h"
#include "ui/LinksSummaryDialog.h"
#include "ui/TimeCardListDialog.h"
#include "ui/frmTimeCard.h"

#include <QAction>

namespace quorvale {

ViewCommands::ViewCommands(frmTimeCard &window, TimeCardEditor &editor, MainCommands &commands,
                           WorkingSet &workingSet, db::Connection &cnnLink, Shown shown)
    : m_window(window), m_editor(editor), m_commands(commands), m_workingSet(workingSet),
      m_cnnLink(cnnLink), m_shown(shown)
{
}

bool ViewCommands::handles(int toolId) const
{
    return toolId == ToolId::ViewTimeDetail || toolId == ToolId::ViewActiveTaskList ||
           toolId == ToolId::ViewLinks || toolId == ToolId::TimeCardList;
}

void ViewCommands::run(int toolId)
{
    switch (toolId) {
    case ToolId::ViewTimeDetail:
        m_shown.timeDetail = !m_shown.timeDetail;
        apply();
        break;
    case ToolId::ViewActiveTaskList:
        m_shown.activeTaskList = !m_shown.activeTaskList;
        apply();
        break;
    case ToolId::ViewLinks:
        showLinks();
        break;
    default:
        showTimeCardList();
        break;
    }
}

void ViewCommands::apply()
{
    m_window.fields().setTimeSegmentShown(m_shown.timeDetail);
    m_window.fields().setActiveTaskListShown(m_shown.activeTaskList);
    if (QAction *tool = m_window.toolById(ToolId::ViewTimeDetail))
        tool->setChecked(m_shown.timeDetail);
    if (QAction *tool = m_window.toolById(ToolId::ViewActiveTaskList))
        tool->setChecked(m_shown.activeTaskList);
}

void ViewCommands::showLinks()
{
    const std::optional<qint64> id = m_editor.currentTimeCardId();
    if (!id)
        return;
    LinksSummaryDialog dialog(*id, countLinks(m_cnnLink, *id, m_editor.currentJournalEntryId()),
                              &m_window);
    dialog.exec();
}

void ViewCommands::showTimeCardList()
{
    const qint64 current = m_editor.currentTimeCardId().value_or(0);
    std::optional<qint64> chosen;
    if (m_chooser) {
        chosen = m_chooser(current);
    } else {
        db::Recordset &rs = m_editor.timeCards();
        if (!rs.isOpen() || !rs.connection())
            return;
        // A filtered set's statement carries the filter's values.
        TimeCardListDialog dialog(
            loadTimeCardList(*rs.connection(), rs.source(), m_workingSet.filter().params), current,
            &m_window);
        if (dialog.exec() == QDialog::Accepted)
            chosen = dialog.chosen();
    }
    if (!chosen || *chosen == current)
        return;
    if (!m_editor.leaveCurrent()) {
        m_window.focusField(m_editor.focus().field);
        return;
    }
    m_commands.goToTimeCard(QVariant::fromValue<qlonglong>(*chosen));
}

} // namespace quorvale
