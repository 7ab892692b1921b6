#pragma once

#include <QString>

namespace quorvale {

// The person's defaults for new tasks (Defaults\Tasks), those of telephone-call
// tasks included: duration texts (see DurationTexts.h), status, priority and
// category texts as the options dialog keeps them.
struct TaskDefaults {
    QString category = QStringLiteral("None");
    QString dueDate = QStringLiteral("6 days");
    QString start = QStringLiteral("None");
    QString reminder = QStringLiteral("2 days");
    QString priority = QStringLiteral("Normal");
    QString status = QStringLiteral("Not Started");
    QString phoneDueDate = QStringLiteral("Today");
    QString phoneReminder = QStringLiteral("2 hours");
    QString phonePriority = QStringLiteral("High");
    QString phoneCategory = QStringLiteral("None");

    bool operator==(const TaskDefaults &) const = default;
};

} // namespace quorvale
