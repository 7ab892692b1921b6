#pragma once

#include <QList>
#include <QString>

namespace quorvale {

class Registry;

// A task the person makes again and again ("Send the monthly statement"):
// kept once, created for any TimeCard with its own due date, reminder and
// priority texts (the same duration texts as the task defaults).
struct AutoTask {
    QString subject;
    QString dueDate = QStringLiteral("Today");
    QString reminder = QStringLiteral("None");
    QString priority = QStringLiteral("Normal");
    QString notes; // added below the body the templates make

    bool operator==(const AutoTask &) const = default;
};

// The person's AutoTasks under the "AutoTasks" key: "Count", then per task
// "<n> Subject", "<n> Due Date", "<n> Reminder", "<n> Priority", "<n> Notes".
// Values past the count are left over from longer lists and ignored.
QList<AutoTask> readAutoTasks(Registry &registry);
// Throws QvError when the settings file cannot be written.
void writeAutoTasks(Registry &registry, const QList<AutoTask> &tasks);

} // namespace quorvale
