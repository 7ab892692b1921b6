#pragma once

#include <QString>
#include <QtGlobal>
#include <vector>

namespace quorvale {

namespace db {
class Command;
}
namespace pim {
class Namespace;
}

// One entry of the active-task list: the task's Subject and its TaskID.
struct ActiveTaskEntry {
    qint32 taskId = 0; // 0: "(None)"
    QString subject;

    bool operator==(const ActiveTaskEntry &) const = default;
};

inline constexpr const char *NoActiveTaskText = "(None)";

// Whether a task of this DelegationState is the user's own to work on: one never
// assigned (0) or one whose assignee declined it (3), which is back with its
// owner. A task waiting for (1) or accepted by (2) someone else is theirs.
bool isOwnTask(int delegationState);

// `FillActiveTasks`: "(None)" first, then the TimeCard's linked tasks
// (tasksOfTimeCard: TaskID, EntryID by TimeCardID) that can still be read from
// the task folder's store and are the user's own, each shown by its Subject. A
// link whose item is gone, or that names an item which is not a task, is left
// out. The TimeCard being new (timeCardId 0) gives "(None)" alone.
std::vector<ActiveTaskEntry> FillActiveTasks(db::Command &tasksOfTimeCard,
                                             const pim::Namespace &session,
                                             const QString &tasksStoreId, qint64 timeCardId);

} // namespace quorvale
