#include "qvadmin/ContactCommands.h"

#include "platform/core/OutgoingText.h"
#include "platform/db/Transaction.h"
#include "qvadmin/Arguments.h"
#include "qvadmin/ContactCardsWriter.h"
#include "qvadmin/MasterRows.h"
#include "qvadmin/ProgramDatabase.h"
#include "qvadmin/TextTable.h"

#include <QSqlQuery>
#include <QTextStream>

namespace quorvale::admin {

namespace {

const QString Usage = QStringLiteral(
    "contact add NAME [--account A] [--inactive] [--full-name N] [--company C] [--email E]\n"
    "                   [--phone P] [--mobile P] [--street S] [--city C] [--region R]\n"
    "                   [--postal-code P] [--country C]\n"
    "       qvadmin contact list");

ContactCardFields cardFields(const Arguments &a)
{
    ContactCardFields f;
    f.fullName = a.value(QStringLiteral("full-name"), QString());
    f.company = a.value(QStringLiteral("company"), QString());
    f.email = a.value(QStringLiteral("email"), QString());
    f.businessPhone = a.value(QStringLiteral("phone"), QString());
    f.mobilePhone = a.value(QStringLiteral("mobile"), QString());
    f.street = a.value(QStringLiteral("street"), QString());
    f.city = a.value(QStringLiteral("city"), QString());
    f.region = a.value(QStringLiteral("region"), QString());
    f.postalCode = a.value(QStringLiteral("postal-code"), QString());
    f.country = a.value(QStringLiteral("country"), QString());
    return f;
}

int addContact(const Arguments &a, const GlobalOptions &globals, QTextStream &out)
{
    a.requireWords(2, 2, Usage);
    Contact contact;
    contact.name = a.words()[1].trimmed();
    if (contact.name.isEmpty())
        usageError(QStringLiteral("The contact name must not be empty."));
    contact.account = a.value(QStringLiteral("account"), QString());
    contact.active = !a.has(QStringLiteral("inactive"));
    const ContactCardFields card = cardFields(a);
    if (const QString problem = ContactCards::problem(card); !problem.isEmpty())
        usageError(problem);
    ProgramDatabase program(globals);
    // The row and its card stand or fall together: a card that cannot be
    // written takes the row back out.
    db::Connection &cnn = program.connection();
    db::Transaction transaction(cnn);
    const int id = insertContact(cnn, contact);
    QString cardNote;
    if (contact.active) {
        const auto registry = openRegistry(globals);
        ContactCardsWriter cards(program.location(), *registry, cnn);
        cards.write(id, card);
        cardNote = QStringLiteral(", card in ") + cards.storeRoot();
    }
    transaction.commit();
    out << "Added contact " << id << ": " << outgoingText(contact.name, ControlCharacters::Escape)
        << (contact.active ? "" : " (inactive)") << cardNote << '\n';
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
    const Arguments a(args,
                      {QStringLiteral("account"), QStringLiteral("full-name"),
                       QStringLiteral("company"), QStringLiteral("email"), QStringLiteral("phone"),
                       QStringLiteral("mobile"), QStringLiteral("street"), QStringLiteral("city"),
                       QStringLiteral("region"), QStringLiteral("postal-code"),
                       QStringLiteral("country")},
                      {QStringLiteral("inactive")});
    const QString verb = a.words().value(0);
    if (verb == QStringLiteral("add"))
        return addContact(a, globals, out);
    if (verb == QStringLiteral("list"))
        return listContacts(a, globals, out);
    usageError(QStringLiteral("Usage: qvadmin ") + Usage);
}

} // namespace quorvale::admin
