#include "qvadmin/UserCommands.h"

#include "platform/core/OutgoingText.h"
#include "platform/core/QvError.h"
#include "platform/db/Transaction.h"
#include "qvadmin/Arguments.h"
#include "qvadmin/MasterRows.h"
#include "qvadmin/ProgramDatabase.h"
#include "qvadmin/TextTable.h"

#include <QSqlQuery>
#include <QTextStream>

namespace quorvale::admin {

namespace {

const QString Usage = QStringLiteral("user add NAME [--staff ID] [--permission ID] [--inactive] | "
                                     "user list");

int addUser(const Arguments &a, const GlobalOptions &globals, QTextStream &out)
{
    a.requireWords(2, 2, Usage);
    const QString name = a.words()[1].trimmed();
    if (name.isEmpty())
        usageError(QStringLiteral("The user name must not be empty."));
    ProgramDatabase program(globals);
    db::Connection &db = program.connection();
    db::Transaction tx(db);

    // The program picks a user by name at first start: two of the same name could
    // not be told apart there.
    const QVariant existing =
        db.scalar(QStringLiteral("SELECT UserID FROM tblUsers WHERE UserName = ?"), {name});
    if (existing.isValid())
        throw QvError(ErrorNumber::Generic,
                      QStringLiteral("A user named '%1' already exists (UserID %2).")
                          .arg(name, existing.toString()),
                      QStringLiteral("qvadmin: user add"));

    User user;
    user.name = name;
    user.active = !a.has(QStringLiteral("inactive"));
    if (const auto staff = a.number(QStringLiteral("staff"), 1, INT_MAX)) {
        user.staffId = int(*staff);
        requireRow(db, QStringLiteral("tblStaff"), QStringLiteral("StaffID"), user.staffId,
                   QStringLiteral("staff level"));
    } else {
        const QVariant first = db.scalar(QStringLiteral("SELECT MIN(StaffID) FROM tblStaff"));
        // A user without a staff level would have no rates and no permissions.
        if (first.isNull())
            throw QvError(ErrorNumber::Generic,
                          QStringLiteral("There is no staff level to give the user; add one "
                                         "first."),
                          QStringLiteral("qvadmin: user add"));
        user.staffId = first.toInt();
    }
    // A new user takes the staff level's rates and, unless told otherwise, its
    // permission set.
    QSqlQuery q = db.prepare(
        QStringLiteral("SELECT PermissionID, Rate1, Rate2, Rate3, Rate4, Rate5, Rate6 FROM "
                       "tblStaff WHERE StaffID = ?"));
    db.run(q, {user.staffId});
    if (q.next()) {
        user.permissionId = q.value(0).toInt();
        for (int i = 0; i < 6; ++i)
            user.rates[std::size_t(i)] = Money::fromStored(q.value(i + 1));
    }
    if (const auto permission = a.number(QStringLiteral("permission"), 1, INT_MAX)) {
        user.permissionId = int(*permission);
        requireRow(db, QStringLiteral("tblPermissions"), QStringLiteral("PermissionID"),
                   user.permissionId, QStringLiteral("permission set"));
    }
    const int id = insertUser(db, user);
    tx.commit();
    out << "Added user " << id << ": " << outgoingText(name, ControlCharacters::Escape)
        << (user.active ? "" : " (inactive)") << '\n';
    return 0;
}

int listUsers(const Arguments &a, const GlobalOptions &globals, QTextStream &out)
{
    a.requireWords(1, 1, Usage);
    ProgramDatabase program(globals);
    db::Connection &db = program.connection();
    QSqlQuery q = db.prepare(QStringLiteral(
        "SELECT u.UserID, u.UserName, u.Active, s.StaffName, p.PermissionDescription, u.Rate1 "
        "FROM (tblUsers u LEFT JOIN tblStaff s ON s.StaffID = u.StaffID) "
        "LEFT JOIN tblPermissions p ON p.PermissionID = u.PermissionID ORDER BY u.UserID"));
    db.run(q, {});
    TextTable table({QStringLiteral("ID>"), QStringLiteral("Name"), QStringLiteral("Active"),
                     QStringLiteral("Staff level"), QStringLiteral("Permissions"),
                     QStringLiteral("Rate 1>")});
    while (q.next())
        table.addRow({q.value(0).toString(), q.value(1).toString(), yesNo(q.value(2)),
                      q.value(3).toString(), q.value(4).toString(),
                      Money::fromStored(q.value(5)).toDisplayString()});
    table.print(out);
    return 0;
}

} // namespace

int runUser(const QStringList &args, const GlobalOptions &globals, QTextStream &out)
{
    const Arguments a(args, {QStringLiteral("staff"), QStringLiteral("permission")},
                      {QStringLiteral("inactive")});
    const QString verb = a.words().value(0);
    if (verb == QStringLiteral("add"))
        return addUser(a, globals, out);
    if (verb == QStringLiteral("list"))
        return listUsers(a, globals, out);
    usageError(QStringLiteral("Usage: qvadmin ") + Usage);
}

} // namespace quorvale::admin
