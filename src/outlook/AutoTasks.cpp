#include "outlook/AutoTasks.h"

#include "platform/registry/Registry.h"

namespace quorvale {

namespace {

const QString KeyName = QStringLiteral("AutoTasks");

QString valueName(int index, const char *field)
{
    return QStringLiteral("%1 %2").arg(index).arg(QLatin1String(field));
}

} // namespace

QList<AutoTask> readAutoTasks(Registry &registry)
{
    const RegistryKey key = registry.openSubKey(KeyName);
    const int count = key.readText(QStringLiteral("Count")).toInt();
    QList<AutoTask> tasks;
    for (int i = 0; i < count; ++i) {
        AutoTask task;
        task.subject = key.readText(valueName(i, "Subject"));
        if (task.subject.trimmed().isEmpty())
            continue;
        task.dueDate = key.readText(valueName(i, "Due Date"), task.dueDate);
        task.reminder = key.readText(valueName(i, "Reminder"), task.reminder);
        task.priority = key.readText(valueName(i, "Priority"), task.priority);
        task.notes = key.readText(valueName(i, "Notes"));
        tasks.append(task);
    }
    return tasks;
}

void writeAutoTasks(Registry &registry, const QList<AutoTask> &tasks)
{
    RegistryKey key = registry.openSubKey(KeyName);
    for (int i = 0; i < tasks.size(); ++i) {
        const AutoTask &task = tasks[i];
        key.writeText(valueName(i, "Subject"), task.subject);
        key.writeText(valueName(i, "Due Date"), task.dueDate);
        key.writeText(valueName(i, "Reminder"), task.reminder);
        key.writeText(valueName(i, "Priority"), task.priority);
        key.writeText(valueName(i, "Notes"), task.notes);
    }
    // The count last: a write that fails half-way never counts values not yet written.
    key.writeText(QStringLiteral("Count"), QString::number(tasks.size()));
    registry.sync();
}

} // namespace quorvale
