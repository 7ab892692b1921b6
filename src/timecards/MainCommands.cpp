#include "MainCommands.h"

#include "platform/core/QvError.h"
#include "support/Prompts.h"
#include "support/Trace.h"
#include "timecards/CommandTable.h"

namespace quorvale {

MainCommands::MainCommands(WorkingSet &workingSet, db::Connection &cnnLink,
                           WorkingSetContext context, bool showHidden, Prompts &prompts,
                           std::function<void(const QString &)> saveDefaultSort)
    : m_set(workingSet), m_link(cnnLink), m_context(std::move(context)), m_showHidden(showHidden),
      m_prompts(prompts), m_saveDefaultSort(std::move(saveDefaultSort)),
      m_sortToolId(workingSet.sortToolId())
{
}

bool MainCommands::handles(int toolId) const
{
    return (toolId >= ToolId::GoToFirst && toolId <= ToolId::GoToLast) ||
           toolId == ToolId::ShowHiddenTimeCards ||
           (toolId >= ToolId::SortFirst && toolId <= ToolId::SortLast);
}

void MainCommands::run(int toolId)
{
    if (m_leave && !m_leave())
        return;
    if (toolId >= ToolId::GoToFirst && toolId <= ToolId::GoToLast)
        RecordNavigation(NavigationAction(toolId - ToolId::GoToFirst));
    else if (toolId == ToolId::ShowHiddenTimeCards)
        SetShowHidden(!m_showHidden);
    else if (toolId >= ToolId::SortFirst && toolId <= ToolId::SortLast)
        ProcessSort(toolId);
}

bool MainCommands::hasCurrent() const
{
    const db::Recordset &rs = m_set.timeCards();
    return rs.isOpen() && !rs.bof() && !rs.eof();
}

QVariant MainCommands::currentTimeCardId() const
{
    return hasCurrent() ? m_set.timeCards().bookmark() : QVariant();
}

void MainCommands::RecordNavigation(NavigationAction action)
{
    TraceScope trace(u"frmTimeCard: RecordNavigation");
    db::Recordset &rs = m_set.timeCards();
    if (!rs.isOpen() || rs.recordCount() == 0)
        return;
    switch (action) {
    case NavigationAction::First:
        rs.moveFirst();
        break;
    case NavigationAction::Previous:
        if (!rs.bof())
            rs.movePrevious();
        if (rs.bof())
            rs.moveFirst();
        break;
    case NavigationAction::Next:
        if (!rs.eof())
            rs.moveNext();
        if (rs.eof())
            rs.moveLast();
        break;
    case NavigationAction::Last:
        rs.moveLast();
        break;
    case NavigationAction::DiscardEmpty:
        if (m_discardEmpty)
            m_discardEmpty();
        break;
    default:
        throw QvError(ErrorNumber::InvalidCharacter,
                      QStringLiteral("Unknown navigation action %1.").arg(int(action)),
                      QStringLiteral("frmTimeCard: RecordNavigation"));
    }
}

void MainCommands::findTimeCard(const QVariant &id)
{
    db::Recordset &rs = m_set.timeCards();
    if (!id.isValid() || !rs.isOpen() || rs.recordCount() == 0)
        return;
    // A find looks from the current row on, and the TimeCard may stand before it
    // (after F11 the current one is the last): the set's keys are TimeCardIDs,
    // so the bookmark reaches it wherever it stands.
    try {
        rs.setBookmark(id);
    } catch (const QvError &) {
        // A TimeCard no longer in the set leaves the first one current.
        rs.moveFirst();
    }
}

bool MainCommands::goToTimeCard(const QVariant &id)
{
    findTimeCard(id);
    return currentTimeCardId() == id;
}

bool MainCommands::ProcessSort(int toolId)
{
    const SortOrder *order = SortOrders::findByToolId(toolId);
    if (!order)
        return false;
    m_sortToolId = toolId;
    db::Recordset &rs = m_set.timeCards();
    if (!rs.isOpen() || rs.recordCount() == 0) {
        m_prompts.messageBox(QStringLiteral("No Records"), QStringLiteral("No records to sort."));
        return false;
    }
    const QVariant current = currentTimeCardId();
    if (rs.editMode() != db::EditMode::None) {
        // Unsaved changes go in before the set closes; a refusal must not stop
        // the sort, the row is simply re-read.
        try {
            rs.update();
        } catch (const QvError &) {
            rs.cancelUpdate();
        }
    }
    const QString clause = QString::fromLatin1(order->clause);
    m_saveDefaultSort(clause);
    if (!m_set.Reorder(clause, m_context.terms))
        return false;
    findTimeCard(current);
    return true;
}

bool MainCommands::SetShowHidden(bool showHidden)
{
    const QVariant current = currentTimeCardId();
    m_showHidden = showHidden;
    if (!m_set.SetRecordSet(m_showHidden, m_link, m_context))
        return false;
    findTimeCard(current);
    return true;
}

QString MainCommands::positionText() const
{
    const db::Recordset &rs = m_set.timeCards();
    const int count = rs.isOpen() ? rs.recordCount() : 0;
    const int position = hasCurrent() ? rs.absolutePosition() : 0;
    return QString::number(position) + QStringLiteral(" of ") + QString::number(count);
}

NavigationButtons MainCommands::navigationButtons() const
{
    NavigationButtons b;
    if (!hasCurrent())
        return b;
    const db::Recordset &rs = m_set.timeCards();
    const int position = rs.absolutePosition();
    const int count = rs.recordCount();
    b.first = b.previous = position > 1;
    b.next = b.last = position < count;
    return b;
}

} // namespace quorvale
