#include "ContactCommands.h"

#include "data/DataStore.h"
#include "session/TimeCardBinder.h"
#include "settings/AdminSettings.h"
#include "support/Prompts.h"
#include "timecards/CommandTable.h"
#include "timecards/ContactChoice.h"
#include "timecards/TimeCardEditor.h"
#include "timecards/TimeCardValue.h"
#include "ui/ContactPickerDialog.h"
#include "ui/LinkFollowing.h"
#include "ui/TimeCardFields.h"
#include "ui/frmTimeCard.h"

namespace quorvale {

ContactCommands::ContactCommands(frmTimeCard &window, DataStore &store, const AdminOptions &options,
                                 TimeCardEditor &editor, TimeCardBinder &binder, Prompts &prompts,
                                 const PickListSource &lists, LinkFollowing *links)
    : m_window(window), m_store(store), m_options(options), m_editor(editor), m_binder(binder),
      m_prompts(prompts), m_lists(lists), m_links(links)
{
}

bool ContactCommands::handles(int toolId) const
{
    return (toolId == ToolId::SelectContact || toolId == ToolId::ClearContact) &&
           m_options.contactInUse;
}

void ContactCommands::run(int toolId)
{
    if (!m_editor.currentTimeCardId())
        return;
    if (m_editor.locked()) {
        m_prompts.messageBox(QStringLiteral("Quorvale"),
                             QStringLiteral("This TimeCard has been invoiced; its contact cannot "
                                            "be changed."),
                             PromptButtons::Ok, PromptIcon::Information);
        return;
    }
    db::Connection &cnn = m_store.cnnLink();
    const AdminOptions &o = m_options;
    const auto idOf = [this](const char *column) -> std::optional<qint32> {
        const QVariant v = m_editor.timeCards().value(QLatin1String(column));
        return v.isNull() || v.toInt() == 0 ? std::nullopt : std::optional<qint32>(v.toInt());
    };
    ContactChoiceHooks hooks;
    hooks.locked = [this] { return m_editor.locked(); };
    hooks.contactId = [idOf] { return idOf("ContactID"); };
    hooks.hasLinkedItems = [this, &cnn] {
        const std::optional<qint64> id = m_editor.currentTimeCardId();
        return id && hasLinkedItems(cnn, *id);
    };
    hooks.write = [this](const QString &column, const QVariant &value) {
        return m_binder.write(column, value);
    };
    hooks.activityId = [idOf](int level) {
        return idOf(level == 1 ? "Activity1ID" : "Activity2ID");
    };
    hooks.activities = m_lists.activities;
    hooks.realization = [&cnn, &o](std::optional<qint32> id) {
        return applicableRealization(cnn, RealizationKind::Time, id, o.realizationInUse);
    };
    hooks.rateSource = [this] {
        return m_editor.timeCards().value(QStringLiteral("RateSource")).toString();
    };
    hooks.lookUpRate = [this] {
        m_binder.rateSourceChosen(
            m_editor.timeCards().value(QStringLiteral("RateSource")).toString());
    };
    hooks.recomputeValue = [this] { m_binder.recomputeValue(); };
    ContactChoice choice(std::move(hooks),
                         {o.billingInUse, o.activity1InUse, o.activity2InUse, o.terms.contact},
                         m_prompts);
    const ContactChange change =
        toolId == ToolId::SelectContact
            ? choice.choose(ContactPickerDialog::OpenItemList(&m_window, cnn, o.terms.contact))
            : choice.clear();
    if (!change.changed)
        return;
    m_editor.setCurrentContactId(change.contactId.value_or(0));
    if (m_links && change.update.asked)
        m_links->currentChanged(QStringLiteral("ContactID"),
                                change.contactId ? QVariant(*change.contactId) : QVariant(),
                                LinkRewrite{change.update.modifySubject, change.update.modifyBody});
}

} // namespace quorvale
