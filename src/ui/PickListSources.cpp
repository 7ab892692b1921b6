#include "PickListSources.h"

#include "outlook/ActiveTasks.h"
#include "outlook/OutlookSession.h"
#include "platform/db/Command.h"
#include "platform/pim/Namespace.h"
#include "settings/AdminSettings.h"
#include "settings/PreparedCommands.h"
#include "timecards/PickLists.h"

#include <QSqlRecord>

namespace quorvale {

PickListSource pickListSource(const PreparedCommands &commands, const AdminOptions &o,
                              OutlookSession &outlook)
{
    PickListSource source;
    source.contactInUse = o.contactInUse;
    source.activity1InUse = o.activity1InUse;
    source.activity2InUse = o.activity2InUse;
    source.contactName = [&commands](std::optional<qint32> id) {
        db::Command *contact = commands.contact.get();
        return contact ? RetrieveContactName(*contact, id) : QString();
    };
    source.contactRounding = [&commands](std::optional<qint32> id) {
        db::Command *rounding = commands.contactRounding.get();
        const std::optional<QSqlRecord> row =
            rounding && id ? rounding->first({*id}) : std::nullopt;
        return row ? BillingRounding::fromStored(row->value(0), row->value(1)) : BillingRounding{};
    };
    source.activities = [&c = commands](int level, std::optional<qint32> contactId) {
        db::Command *list = (level == 1 ? c.activity1List : c.activity2List).get();
        if (!list)
            return std::vector<PickEntry>{PickEntry{}};
        return activityEntries(
            *list, level == 1 ? c.activity1ListTakesContact : c.activity2ListTakesContact,
            contactId);
    };
    source.categories = [&outlook] { return outlook.nameSpace().categories(); };
    source.activeTasks = [&commands, &outlook](qint64 timeCardId) {
        std::vector<PickEntry> entries;
        db::Command *tasks = commands.tasksOfTimeCard.get();
        if (!tasks)
            return std::vector<PickEntry>{{0, QStringLiteral("(None)")}};
        const std::optional<pim::Folder> &folder = outlook.folder(FolderSlot::Tasks);
        for (const ActiveTaskEntry &e : FillActiveTasks(
                 *tasks, outlook.nameSpace(), folder ? folder->storeId() : QString(), timeCardId))
            entries.push_back({e.taskId, e.subject});
        return entries;
    };
    source.activityName = [&c = commands](int level, qint32 id) {
        db::Command *name = (level == 1 ? c.activity1Name : c.activity2Name).get();
        const std::optional<QSqlRecord> row = name ? name->first({id}) : std::nullopt;
        return row ? row->value(0).toString() : QString();
    };
    return source;
}

} // namespace quorvale
