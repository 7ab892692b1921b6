#include "ActiveTasks.h"

#include "platform/core/QvError.h"
#include "platform/db/Command.h"
#include "platform/pim/Namespace.h"
#include "platform/pim/TaskItem.h"

#include <QSqlRecord>

namespace quorvale {

bool isOwnTask(int delegationState)
{
    return delegationState == 0 || delegationState == 3;
}

std::vector<ActiveTaskEntry> FillActiveTasks(db::Command &tasksOfTimeCard,
                                             const pim::Namespace &session,
                                             const QString &tasksStoreId, qint64 timeCardId)
{
    std::vector<ActiveTaskEntry> entries{{0, QLatin1String(NoActiveTaskText)}};
    if (timeCardId == 0)
        return entries;
    for (const QSqlRecord &row : tasksOfTimeCard.all({timeCardId})) {
        const QString entryId = row.value(1).toString();
        if (entryId.isEmpty())
            continue;
        std::unique_ptr<pim::Item> item;
        try {
            item = session.itemFromId(entryId, tasksStoreId);
        } catch (const QvError &) {
            // A task file that cannot be read costs only its own entry.
            continue;
        }
        const auto *task = dynamic_cast<const pim::TaskItem *>(item.get());
        if (task && isOwnTask(task->DelegationState()))
            entries.push_back({row.value(0).toInt(), task->Subject()});
    }
    return entries;
}

} // namespace quorvale
