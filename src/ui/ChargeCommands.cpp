#include "ChargeCommands.h"

#include "data/DataStore.h"
#include "settings/StartUp.h"
#include "timecards/CommandTable.h"
#include "timecards/TimeCardEditor.h"
#include "ui/PickListSources.h"
#include "ui/frmExpenses.h"
#include "ui/frmTimeCard.h"

namespace quorvale {

ChargeCommands::ChargeCommands(frmTimeCard &window, StartUp &startUp, TimeCardEditor &editor,
                               Prompts &prompts)
    : m_window(window), m_startUp(startUp), m_editor(editor), m_prompts(prompts)
{
}

bool ChargeCommands::expensesInUse() const
{
    return m_startUp.options().billingInUse && m_startUp.options().expensesInUse;
}

bool ChargeCommands::fixedChargesInUse() const
{
    return m_startUp.options().billingInUse && m_startUp.options().fixedChargesInUse;
}

bool ChargeCommands::handles(int toolId) const
{
    switch (toolId) {
    case ToolId::LinkedExpenses:
    case ToolId::AllExpenses:
        return expensesInUse();
    case ToolId::AllProductSales:
        return fixedChargesInUse();
    default:
        return false;
    }
}

void ChargeCommands::run(int toolId)
{
    if (!handles(toolId))
        return;
    if (toolId == ToolId::AllExpenses || toolId == ToolId::AllProductSales) {
        itemDialog(ChargeMode::ManageAll, true, toolId == ToolId::AllExpenses);
        return;
    }
    // The TimeCard's own expenses, managed as a linked set: new ones are
    // linked to it as well.
    std::optional<ChargeWindowContext> c = context(false, true);
    if (!c)
        return;
    frmExpenses::ItemDialog(m_startUp.store().cnnLink(), *c, m_prompts, ChargeMode::ManageAll,
                            false, true, 0, &m_window);
}

std::optional<ChargeWindowContext> ChargeCommands::context(bool standalone, bool onlyThisTimeCard)
{
    const AdminOptions &o = m_startUp.options();
    ChargeWindowContext c;
    c.scope.userId = m_startUp.settings().userId;
    c.scope.userName = m_startUp.settings().license.userName;
    c.scope.hideInactiveContacts = o.hideInactiveContacts;
    c.rules.contactInUse = o.contactInUse;
    c.rules.contactRequired = o.contactRequired;
    c.rules.activity1InUse = o.activity1InUse;
    c.rules.activity1Required = o.activity1Required;
    c.rules.activity2InUse = o.activity2InUse;
    c.rules.activity2Required = o.activity2Required;
    c.rules.jobOrderTerm = o.jobOrderTerm;
    c.rules.jobOrderRequired = o.jobOrderRequired;
    c.rules.terms = o.terms;
    c.realizationInUse = o.realizationInUse;
    c.jobOrderMask = o.jobOrderMask;
    c.quickFilterType = quickFilterTypeOf(m_startUp.settings().settings.quickFilterType);
    c.pickLists = pickListSource(m_startUp);
    if (standalone)
        return c;

    // A charge linked to a TimeCard that was never stored would point nowhere.
    if (!m_editor.ValidateCurrentRecord())
        return std::nullopt;
    const std::optional<qint64> id = m_editor.currentTimeCardId();
    if (!id)
        return std::nullopt;
    const db::Recordset &rs = m_editor.timeCards();
    const auto idOf = [&rs](const char *column) {
        return static_cast<qint32>(rs.value(QLatin1String(column)).toLongLong());
    };
    LinkedTimeCard card;
    card.timeCardId = *id;
    card.contactId = idOf("ContactID");
    card.activity1Id = idOf("Activity1ID");
    card.activity2Id = idOf("Activity2ID");
    card.jobOrder = rs.value(QStringLiteral("JobOrder")).toString();
    c.timeCard = card;
    if (onlyThisTimeCard)
        c.scope.timeCardId = *id;
    return c;
}

void ChargeCommands::itemDialog(ChargeMode mode, bool standalone, bool isExpense, qint64 itemId)
{
    if (isExpense ? !expensesInUse() : !fixedChargesInUse())
        return;
    const std::optional<ChargeWindowContext> c = context(standalone, false);
    if (!c)
        return;
    frmExpenses::ItemDialog(m_startUp.store().cnnLink(), *c, m_prompts, mode, standalone, isExpense,
                            itemId, &m_window);
}

} // namespace quorvale
