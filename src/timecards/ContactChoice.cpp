#include "ContactChoice.h"

#include "support/Prompts.h"
#include "timecards/Rates.h"
#include "timecards/TimeCardDelete.h"

#include <QVariantMap>

namespace quorvale {

namespace {

QString activityColumn(int level)
{
    return level == 1 ? QStringLiteral("Activity1ID") : QStringLiteral("Activity2ID");
}

} // namespace

bool hasLinkedItems(db::Connection &cnnLink, qint64 timeCardId)
{
    const LinkCounts counts = countLinks(cnnLink, timeCardId, QString());
    for (const int n : counts.perKind)
        if (n > 0)
            return true;
    return false;
}

ContactChoice::ContactChoice(ContactChoiceHooks hooks, ContactChoiceOptions options,
                             Prompts &prompts)
    : m_hooks(std::move(hooks)), m_options(std::move(options)), m_prompts(prompts)
{
}

ContactChange ContactChoice::choose(const std::optional<PickedContact> &picked)
{
    // A picker that returns no ID has chosen nothing either.
    if (!picked || picked->QuorvaleID == 0)
        return {};
    return change(picked->QuorvaleID, picked->ContactName);
}

ContactChange ContactChoice::clear()
{
    return change(std::nullopt, QString());
}

UpdatePromptAnswer ContactChoice::ask(bool &cancelled)
{
    UpdatePromptAnswer answer;
    if (!m_hooks.hasLinkedItems || !m_hooks.hasLinkedItems())
        return answer;
    answer.asked = true;
    QVariantMap values{{QLatin1String(ModifySubjectKey), false},
                       {QLatin1String(ModifyBodyKey), false}};
    if (!m_prompts.showDialog(QLatin1String(UpdatePromptDialogName), values)) {
        cancelled = true;
        return answer;
    }
    answer.modifySubject = values.value(QLatin1String(ModifySubjectKey)).toBool();
    answer.modifyBody = values.value(QLatin1String(ModifyBodyKey)).toBool();
    return answer;
}

ActivityRefill ContactChoice::refill(int level, std::optional<qint32> contactId)
{
    ActivityRefill list;
    const bool inUse = level == 1 ? m_options.activity1InUse : m_options.activity2InUse;
    if (!inUse || !m_hooks.activities)
        return list;
    list.inUse = true;
    list.entries = m_hooks.activities(level, contactId);
    const std::optional<qint32> current =
        m_hooks.activityId ? m_hooks.activityId(level) : std::nullopt;
    const std::optional<int> offered = offeredActivity(list.entries, current);
    if (offered) {
        list.selected = *offered;
    } else {
        list.selected = 0;
        list.cleared = m_hooks.write(activityColumn(level), QVariant());
    }
    return list;
}

ContactChange ContactChoice::change(std::optional<qint32> id, const QString &name)
{
    ContactChange result;
    if ((m_hooks.locked && m_hooks.locked()) || m_hooks.contactId() == id)
        return result;
    result.update = ask(result.cancelled);
    if (result.cancelled)
        return result;
    if (!m_hooks.write(QStringLiteral("ContactID"), id ? QVariant(*id) : QVariant()))
        return result;
    result.changed = true;
    result.contactId = id;
    result.contactName = name;

    for (int level = 1; level <= 2; ++level)
        result.activities[static_cast<std::size_t>(level - 1)] = refill(level, id);

    if (!m_options.billingInUse)
        return result;
    if (m_hooks.realization) {
        result.realization = m_hooks.realization(id);
        m_hooks.write(QStringLiteral("Realization"), result.realization->toStored());
    }
    const QString source = m_hooks.rateSource ? m_hooks.rateSource() : QString();
    if (source == termRates(m_options.contactTerm) && m_hooks.lookUpRate) {
        m_hooks.lookUpRate();
        result.rateLookedUp = true;
    } else if (m_hooks.recomputeValue) {
        // The realization takes part in the value.
        m_hooks.recomputeValue();
    }
    return result;
}

} // namespace quorvale
