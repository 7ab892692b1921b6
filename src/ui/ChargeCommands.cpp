#include "ChargeCommands.h"

#include "data/DataStore.h"
#include "settings/AdminSettings.h"
#include "settings/RegSettings.h"
#include "timecards/CommandTable.h"
#include "timecards/TimeCardEditor.h"
#include "ui/PickListSources.h"
#include "ui/frmExpenses.h"
#include "ui/frmTimeCard.h"

namespace quorvale {

ChargeCommands::ChargeCommands(frmTimeCard &window, DataStore &store, const RegSettings &settings,
                               const AdminOptions &options, PickListSource pickLists,
                               TimeCardEditor &editor, Prompts &prompts)
    : m_window(window), m_store(store), m_settings(settings), m_options(options),
      m_pickLists(std::move(pickLists)), m_editor(editor), m_prompts(prompts)
{
}

bool ChargeCommands::expensesInUse() const
{
    return m_options.billingInUse && m_options.expensesInUse;
}

bool ChargeCommands::fixedChargesInUse() const
{
    return m_options.billingInUse && m_options.fixedChargesInUse;
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
    frmExpenses::ItemDialog(m_store.cnnLink(), *c, m_prompts, ChargeMode::ManageAll, false, true, 0,
                            &m_window);
}

std::optional<ChargeWindowContext> ChargeCommands::context(bool standalone, bool onlyThisTimeCard)
{
    const AdminOptions &o = m_options;
    ChargeWindowContext c;
    c.scope.userId = m_settings.userId;
    c.scope.userName = m_settings.license.userName;
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
    c.quickFilterType = quickFilterTypeOf(m_settings.settings.quickFilterType);
    c.pickLists = m_pickLists;
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
    frmExpenses::ItemDialog(m_store.cnnLink(), *c, m_prompts, mode, standalone, isExpense, itemId,
                            &m_window);
}

} // namespace quorvale
