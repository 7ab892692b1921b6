#include "qvadmin/ContactCardsWriter.h"

#include "outlook/FieldCodes.h"
#include "platform/db/Command.h"
#include "platform/db/Connection.h"
#include "platform/pim/Namespace.h"
#include "qvadmin/DemoNames.h"
#include "settings/UserOptions.h"

#include <QSqlRecord>

namespace quorvale::admin {

QString itemStoreRoot(const Location &location, Registry &registry)
{
    const QString chosen = readItemStoreFolder(registry);
    return chosen.isEmpty() ? pim::Namespace::defaultRoot(location.programDir) : chosen;
}

namespace {

// "Abernathy & Sons Joinery" -> "abernathy-sons-joinery.example": a domain
// reserved for examples, so no demonstration message can reach anybody.
QString domainOf(const QString &company)
{
    QString slug;
    for (const QChar c : company.toLower()) {
        if (c.unicode() < 128 && c.isLetterOrNumber())
            slug += c;
        else if (!slug.isEmpty() && !slug.endsWith(u'-'))
            slug += u'-';
    }
    while (slug.endsWith(u'-'))
        slug.chop(1);
    return slug + QStringLiteral(".example");
}

// "Dr. Siobhán O'Malley" -> "siobhan.omalley"
QString mailboxOf(const QString &person)
{
    QStringList words = person.split(u' ', Qt::SkipEmptyParts);
    if (!words.isEmpty() && words.first().endsWith(u'.'))
        words.removeFirst(); // a title
    QStringList parts;
    for (const QString &word : words) {
        QString plain;
        for (const QChar c : word.normalized(QString::NormalizationForm_D))
            if (c.unicode() < 128 && c.isLetter())
                plain += c.toLower();
        if (!plain.isEmpty())
            parts << plain;
    }
    return parts.join(u'.');
}

} // namespace

ContactCardsWriter::ContactCardsWriter(const Location &location, Registry &registry,
                                       db::Connection &program)
    : m_items(std::make_unique<pim::Namespace>(itemStoreRoot(location, registry))),
      m_program(program)
{
    m_cards = std::make_unique<ContactCards>(
        *m_items, m_items->GetDefaultFolder(pim::DefaultFolder::Contacts), program);
}

ContactCardsWriter::~ContactCardsWriter() = default;

const QString &ContactCardsWriter::storeRoot() const
{
    return m_items->root();
}

void ContactCardsWriter::write(qint32 contactId, const ContactCardFields &fields)
{
    m_cards->write(contactId, fields);
}

ContactCards::Card ContactCardsWriter::read(qint32 contactId) const
{
    return m_cards->read(contactId);
}

int ContactCardsWriter::writeDemoCards()
{
    db::Command contacts(m_program, QStringLiteral("SELECT ContactID, ContactName FROM tblContacts "
                                                   "ORDER BY ContactID"));
    int written = 0;
    for (const QSqlRecord &row : contacts.all()) {
        const QString company = row.value(1).toString();
        std::size_t i = 0;
        while (i < demo::CompanyNames.size() && company != QString::fromUtf8(demo::CompanyNames[i]))
            ++i;
        if (i == demo::CompanyNames.size())
            continue; // a contact of the administrator's own
        const demo::Town &town = demo::Towns[i % demo::Towns.size()];
        const QString person = QString::fromUtf8(demo::ContactPeople[i]);
        ContactCardFields card;
        card.fullName = person;
        card.company = company;
        card.email = mailboxOf(person) + u'@' + domainOf(company);
        card.businessPhone = QStringLiteral("+44 117 496 %1").arg(1000 + int(i) * 37);
        if (i % 3 == 0)
            card.mobilePhone = QStringLiteral("+44 7700 900%1").arg(100 + int(i) * 11);
        card.street = QStringLiteral("%1 %2")
                          .arg(3 + int(i) * 7 % 90)
                          .arg(QString::fromUtf8(demo::Streets[i % demo::Streets.size()]));
        card.city = QString::fromUtf8(town.city);
        card.region = QString::fromUtf8(town.region);
        card.postalCode = QString::fromUtf8(town.postalCode);
        card.country = QString::fromUtf8(town.country);
        m_cards->write(row.value(0).toInt(), card);
        ++written;
    }
    return written;
}

namespace {

qint16 contactCode(const char *name)
{
    for (qint16 code = 10; code <= 97; ++code)
        if (contactPropertyListName(code) == QLatin1String(name))
            return code;
    return 0;
}

} // namespace

AutoFillTemplates demoAutoFillTemplates()
{
    constexpr qint16 Contact = 2;
    constexpr qint16 Activity1 = 3;
    constexpr qint16 Activity2 = 4;
    constexpr qint16 Description = 5;
    constexpr qint16 Date = 8;
    const qint16 company = contactCode("Company Name");
    const qint16 phone = contactCode("Business Telephone Number");
    const qint16 email = contactCode("Email 1 Address");
    AutoFillTemplates t;
    t.journal = {Contact, phone, Activity1, Activity2, Description, 0, company, Activity1, 0, 0};
    t.appointments = {Contact, phone,   Activity1, Activity2, Description,
                      0,       company, Activity1, 0,         0};
    t.tasks = {Contact, phone, email, Activity1, Description, 0, company, Description, 0, 0};
    t.notes = {Contact, Activity1, Description, Date, 0, 0};
    return t;
}

} // namespace quorvale::admin
