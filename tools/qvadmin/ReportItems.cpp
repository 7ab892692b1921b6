#include "qvadmin/ReportItems.h"

#include "outlook/DurationTexts.h"
#include "platform/core/QvError.h"
#include "platform/pim/FolderCache.h"
#include "platform/pim/Item.h"
#include "platform/pim/ItemRelocation.h"
#include "platform/pim/ItemSummary.h"
#include "platform/pim/Namespace.h"

#include <optional>

namespace quorvale::admin {

namespace {

std::optional<pim::ItemSummary> readItem(const pim::Namespace &items, pim::FolderCache &cache,
                                         const QString &entryId, pim::ItemType type)
{
    if (entryId.isEmpty())
        return std::nullopt;
    try {
        if (const auto item = items.itemFromId(entryId, {}))
            return pim::summarize(*item);
        const pim::RelocationScope scope = pim::relocationScope(items, entryId, {}, type);
        const auto results = pim::relocate(cache, scope, {{entryId, {}}});
        if (results && results->front().outcome == pim::RelocationOutcome::Found)
            return results->front().item;
    } catch (const QvError &) {
        // A folder or file the store cannot read is, for a report, not found.
    }
    return std::nullopt;
}

QString when(const QDateTime &time)
{
    return time.isValid() ? time.toString(QStringLiteral("yyyy-MM-dd HH:mm")) : QString();
}

} // namespace

void addItemColumns(ReportTable &table, int entryIdColumn, pim::ItemType type,
                    const pim::Namespace *items)
{
    const bool task = type == pim::ItemType::Task;
    const bool appointment = type == pim::ItemType::Appointment;
    const QString due = task          ? QStringLiteral("Due")
                        : appointment ? QStringLiteral("End")
                                      : QString();
    std::vector<ReportColumn> added{{QStringLiteral("Subject"), ReportFormat::Text, false},
                                    {appointment ? QStringLiteral("Start") : QStringLiteral("Date"),
                                     ReportFormat::Text, false}};
    if (!due.isEmpty())
        added.push_back({due, ReportFormat::Text, false});
    const bool hasStatus = task || type == pim::ItemType::Mail;
    if (hasStatus)
        added.push_back({QStringLiteral("Status"), ReportFormat::Text, false});
    table.columns.insert(table.columns.begin() + entryIdColumn, added.begin(), added.end());

    pim::FolderCache cache;
    for (QVariantList &row : table.rows) {
        const auto item =
            items ? readItem(*items, cache, row.at(entryIdColumn).toString(), type) : std::nullopt;
        QVariantList cells;
        if (!item) {
            cells << QString::fromLatin1(ItemNotFound);
            while (cells.size() < qsizetype(added.size()))
                cells << QVariant();
        } else {
            cells << item->subject;
            if (appointment)
                cells << when(item->start);
            else if (type == pim::ItemType::Mail && item->sentOn.isValid())
                cells << when(item->sentOn);
            else
                cells << when(item->creationTime);
            if (task)
                cells << when(item->dueDate);
            else if (appointment)
                cells << when(item->start.addSecs(qint64(item->durationMinutes) * 60));
            if (task)
                cells << taskStatusText(item->status);
            else if (type == pim::ItemType::Mail)
                cells << (item->sentOn.isValid() ? QStringLiteral("Sent")
                                                 : QStringLiteral("Not sent"));
        }
        for (qsizetype i = 0; i < cells.size(); ++i)
            row.insert(entryIdColumn + i, cells.at(i));
    }
}

} // namespace quorvale::admin
