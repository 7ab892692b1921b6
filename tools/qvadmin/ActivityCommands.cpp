#include "qvadmin/ActivityCommands.h"

#include "platform/core/OutgoingText.h"
#include "qvadmin/Arguments.h"
#include "qvadmin/MasterRows.h"
#include "qvadmin/ProgramDatabase.h"
#include "qvadmin/TextTable.h"

#include <QSqlQuery>
#include <QTextStream>

namespace quorvale::admin {

namespace {

const QString Usage = QStringLiteral("activity add NAME [--level 1|2] [--number N] [--contact ID] "
                                     "| activity list [--level 1|2]");

std::optional<ActivityLevel> levelOption(const Arguments &a)
{
    const auto level = a.number(QStringLiteral("level"), 1, 2);
    if (!level)
        return std::nullopt;
    return *level == 1 ? ActivityLevel::Activity1 : ActivityLevel::Activity2;
}

int addActivity(const Arguments &a, const GlobalOptions &globals, QTextStream &out)
{
    a.requireWords(2, 2, Usage);
    Activity activity;
    activity.level = levelOption(a).value_or(ActivityLevel::Activity1);
    activity.name = a.words()[1].trimmed();
    if (activity.name.isEmpty())
        usageError(QStringLiteral("The activity name must not be empty."));
    activity.number = a.value(QStringLiteral("number"), QString());
    ProgramDatabase program(globals);
    db::Connection &db = program.connection();
    if (const auto contact = a.number(QStringLiteral("contact"), 1, INT_MAX)) {
        activity.contactId = int(*contact);
        requireRow(db, QStringLiteral("tblContacts"), QStringLiteral("ContactID"),
                   *activity.contactId, QStringLiteral("contact"));
    }
    const int id = insertActivity(db, activity);
    out << "Added Activity " << int(activity.level) << ' ' << id << ": "
        << outgoingText(activity.name, ControlCharacters::Escape) << '\n';
    return 0;
}

void listLevel(db::Connection &db, ActivityLevel level, TextTable &table)
{
    QSqlQuery q = db.prepare(
        QStringLiteral("SELECT a.ActivityID, a.ActivityNumber, a.ActivityName, a.Active, "
                       "c.ContactName, a.Rate1 FROM ") +
        activityTable(level) +
        QStringLiteral(" a LEFT JOIN tblContacts c ON c.ContactID = a.ContactID "
                       "ORDER BY a.ActivityName, a.ActivityID"));
    db.run(q, {});
    while (q.next())
        table.addRow({QString::number(int(level)), q.value(0).toString(), q.value(1).toString(),
                      q.value(2).toString(), yesNo(q.value(3)),
                      q.value(4).isNull() ? QStringLiteral("(all)") : q.value(4).toString(),
                      Money::fromStored(q.value(5)).toDisplayString()});
}

int listActivities(const Arguments &a, const GlobalOptions &globals, QTextStream &out)
{
    a.requireWords(1, 1, Usage);
    const auto level = levelOption(a);
    ProgramDatabase program(globals);
    TextTable table({QStringLiteral("Level>"), QStringLiteral("ID>"), QStringLiteral("Number"),
                     QStringLiteral("Name"), QStringLiteral("Active"), QStringLiteral("Contact"),
                     QStringLiteral("Rate 1>")});
    if (!level || *level == ActivityLevel::Activity1)
        listLevel(program.connection(), ActivityLevel::Activity1, table);
    if (!level || *level == ActivityLevel::Activity2)
        listLevel(program.connection(), ActivityLevel::Activity2, table);
    table.print(out);
    return 0;
}

} // namespace

int runActivity(const QStringList &args, const GlobalOptions &globals, QTextStream &out)
{
    const Arguments a(
        args, {QStringLiteral("level"), QStringLiteral("number"), QStringLiteral("contact")}, {});
    const QString verb = a.words().value(0);
    if (verb == QStringLiteral("add"))
        return addActivity(a, globals, out);
    if (verb == QStringLiteral("list"))
        return listActivities(a, globals, out);
    usageError(QStringLiteral("Usage: qvadmin ") + Usage);
}

} // namespace quorvale::admin
