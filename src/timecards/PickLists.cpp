#include "PickLists.h"

#include "platform/db/Command.h"

#include <QSqlRecord>

namespace quorvale {

std::vector<PickEntry> activityEntries(db::Command &list, bool takesContact,
                                       std::optional<qint32> contactId)
{
    std::vector<PickEntry> entries{PickEntry{}};
    // Null matches no ContactID, which leaves the activities of nobody.
    const QVariantList params =
        takesContact ? QVariantList{contactId ? QVariant(*contactId) : QVariant()} : QVariantList{};
    for (const QSqlRecord &row : list.all(params)) {
        const QString name = row.value(1).toString();
        const QString number = row.value(2).toString().trimmed();
        entries.push_back(
            {row.value(0).toInt(), number.isEmpty() ? name : number + QStringLiteral("  ") + name});
    }
    return entries;
}

int selectActivity(std::vector<PickEntry> &entries, std::optional<qint32> id,
                   const QString &storedName)
{
    const qint32 wanted = id.value_or(0);
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (entries[i].id == wanted)
            return static_cast<int>(i);
    if (wanted == 0)
        return -1;
    entries.push_back({wanted, storedName.isEmpty() ? QString::number(wanted) : storedName});
    return static_cast<int>(entries.size()) - 1;
}

std::optional<int> offeredActivity(const std::vector<PickEntry> &entries, std::optional<qint32> id)
{
    const qint32 wanted = id.value_or(0);
    for (std::size_t i = 0; i < entries.size(); ++i)
        if (entries[i].id == wanted)
            return static_cast<int>(i);
    return wanted == 0 ? std::optional<int>(0) : std::nullopt;
}

QString RetrieveContactName(db::Command &contact, std::optional<qint32> contactId)
{
    if (!contactId || *contactId == 0)
        return QString();
    const std::optional<QSqlRecord> row = contact.first({*contactId});
    return row ? row->value(1).toString() : QString();
}

} // namespace quorvale
