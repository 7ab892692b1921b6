#include "qvadmin/ContactCommands.h"

#include "platform/core/OutgoingText.h"
#include "qvadmin/Arguments.h"
#include "qvadmin/MasterRows.h"
#include "qvadmin/ProgramDatabase.h"
#include "qvadmin/TextTable.h"

#include <QSqlQuery>
#include <QTextStream>

namespace quorvale::admin {

namespace {

const QString Usage = QStringLiteral("contact add NAME [--account A] [--inactive] | contact list");

int addContact(const Arguments &a, const GlobalOptions &globals, QTextStream &out)
{
    a.requireWords(2, 2, Usage);
    Contact contact;
    contact.name = a.words()[1].trimmed();
    if (contact.name.isEmpty())
        usageError(QStringLiteral("The contact name must not be empty."));
    contact.account = a.value(QStringLiteral("account"), QString());
    contact.active = !a.has(QStringLiteral("inactive"));
    ProgramDatabase program(globals);
    const int id = insertContact(program.connection(), contact);
    out << "Added contact " << id << ": " << outgoingText(contact.name, ControlCharacters::Escape)
        << (contact.active ? "" : " (inactive)") << '\n';
    return 0;
}

int listContacts(const Arguments &a, const GlobalOptions &globals, QTextStream &out)
{
    a.requireWords(1, 1, Usage);
    ProgramDatabase program(globals);
    db::Connection &db = program.connection();
    QSqlQuery q = db.prepare(QStringLiteral(
        "SELECT ContactID, ContactName, ContactAccount, Active, Rate1, TimeRealization "
        "FROM tblContacts ORDER BY ContactName, ContactID"));
    db.run(q, {});
    TextTable table({QStringLiteral("ID>"), QStringLiteral("Name"), QStringLiteral("Account"),
                     QStringLiteral("Active"), QStringLiteral("Rate 1>"),
                     QStringLiteral("Realization>")});
    while (q.next())
        table.addRow({q.value(0).toString(), q.value(1).toString(), q.value(2).toString(),
                      yesNo(q.value(3)), Money::fromStored(q.value(4)).toDisplayString(),
                      QString::number(qRound(q.value(5).toDouble() * 100)) + u'%'});
    table.print(out);
    return 0;
}

} // namespace

int runContact(const QStringList &args, const GlobalOptions &globals, QTextStream &out)
{
    const Arguments a(args, {QStringLiteral("account")}, {QStringLiteral("inactive")});
    const QString verb = a.words().value(0);
    if (verb == QStringLiteral("add"))
        return addContact(a, globals, out);
    if (verb == QStringLiteral("list"))
        return listContacts(a, globals, out);
    usageError(QStringLiteral("Usage: qvadmin ") + Usage);
}

} // namespace quorvale::admin
