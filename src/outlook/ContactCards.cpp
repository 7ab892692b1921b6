#include "outlook/ContactCards.h"

#include "outlook/OutlookSession.h"
#include "platform/core/QvError.h"
#include "platform/db/Command.h"
#include "platform/db/Connection.h"
#include "platform/db/Transaction.h"
#include "platform/pim/ContactItem.h"
#include "platform/pim/MailMessage.h"
#include "platform/pim/Namespace.h"

#include <QLoggingCategory>
#include <functional>

namespace quorvale {

namespace {

Q_LOGGING_CATEGORY(lcCards, "quorvale.outlook.contacts")

using Kind = pim::ContactItem::AddressKind;
using Part = pim::ContactItem::AddressPart;
using Phone = pim::ContactItem::Phone;

ContactCardFields fieldsOf(const pim::ContactItem &card)
{
    ContactCardFields f;
    f.fullName = card.FullName();
    f.company = card.CompanyName();
    f.email = card.emailAddress(0);
    f.businessPhone = card.telephone(Phone::Business);
    f.mobilePhone = card.telephone(Phone::Mobile);
    f.street = card.addressPart(Kind::Business, Part::Street);
    f.city = card.addressPart(Kind::Business, Part::City);
    f.region = card.addressPart(Kind::Business, Part::State);
    f.postalCode = card.addressPart(Kind::Business, Part::PostalCode);
    f.country = card.addressPart(Kind::Business, Part::Country);
    return f;
}

// Only what differs is set: a card another program wrote keeps its own forms
// of what the person did not change here.
void setChanged(const QString &now, const QString &wanted, const std::function<void()> &set)
{
    if (now != wanted)
        set();
}

void apply(pim::ContactItem &card, const ContactCardFields &f, const QString &rowName)
{
    const ContactCardFields now = fieldsOf(card);
    const QString name = f.fullName.trimmed().isEmpty() ? rowName : f.fullName.trimmed();
    setChanged(now.fullName, name, [&] { card.setFullName(name); });
    // A person's name typed here also fills the structured name address books
    // sort by ("Dr. Ada Mensah": title, given, family), where the card has none.
    if (!f.fullName.trimmed().isEmpty() && card.FirstName().isEmpty() &&
        card.LastName().isEmpty() && card.Title().isEmpty()) {
        QStringList words = name.split(u' ', Qt::SkipEmptyParts);
        if (words.size() > 1 && words.first().endsWith(u'.'))
            card.setTitle(words.takeFirst());
        if (!words.isEmpty())
            card.setLastName(words.takeLast());
        card.setFirstName(words.join(u' '));
    }
    setChanged(now.company, f.company, [&] { card.setCompanyName(f.company); });
    setChanged(now.email, f.email.trimmed(), [&] { card.setEmailAddress(0, f.email.trimmed()); });
    setChanged(now.businessPhone, f.businessPhone,
               [&] { card.setTelephone(Phone::Business, f.businessPhone); });
    setChanged(now.mobilePhone, f.mobilePhone,
               [&] { card.setTelephone(Phone::Mobile, f.mobilePhone); });
    const std::pair<Part, const QString *> parts[] = {
        {Part::Street, &f.street},         {Part::City, &f.city},       {Part::State, &f.region},
        {Part::PostalCode, &f.postalCode}, {Part::Country, &f.country},
    };
    for (const auto &[part, value] : parts)
        setChanged(card.addressPart(Kind::Business, part), *value,
                   [&] { card.setAddressPart(Kind::Business, part, *value); });
}

} // namespace

ContactCards::ContactCards(pim::Namespace &items, pim::Folder contacts, db::Connection &cnnLink)
    : m_items(items), m_contacts(std::move(contacts)), m_link(cnnLink)
{
}

std::unique_ptr<pim::ContactItem> ContactCards::card(const QString &entryId) const
{
    if (entryId.isEmpty())
        return nullptr;
    std::unique_ptr<pim::Item> item = m_items.itemFromId(entryId, QString());
    if (auto *contact = dynamic_cast<pim::ContactItem *>(item.get())) {
        item.release();
        return std::unique_ptr<pim::ContactItem>(contact);
    }
    return nullptr;
}

ContactCards::Card ContactCards::read(qint32 contactId) const
{
    const QString entryId =
        m_link
            .scalar(QStringLiteral("SELECT ContactEntryID FROM tblContacts WHERE ContactID = ?"),
                    {contactId})
            .toString();
    if (entryId.isEmpty())
        return {};
    const std::unique_ptr<pim::ContactItem> found = card(entryId);
    if (!found) {
        qCWarning(lcCards) << "the card of contact" << contactId << "is gone:" << entryId;
        return {State::Missing, {}};
    }
    return {State::Present, fieldsOf(*found)};
}

void ContactCards::write(qint32 contactId, const ContactCardFields &fields)
{
    db::Command lookup(m_link, QStringLiteral("SELECT ContactName, ContactEntryID FROM "
                                              "tblContacts WHERE ContactID = ?"));
    const std::optional<QSqlRecord> row = lookup.first({contactId});
    if (!row)
        throw QvError(ErrorNumber::NoCurrentRecord,
                      QStringLiteral("The contact is no longer in the database."),
                      QStringLiteral("Quorvale"));
    std::unique_ptr<pim::ContactItem> existing = card(row->value(1).toString());
    const bool made = !existing;
    if (made)
        existing = std::make_unique<pim::ContactItem>(m_contacts);
    apply(*existing, fields, row->value(0).toString());
    if (made) {
        // The row names the card before the card exists: a failed write then
        // leaves a name that reads as gone, and is made again on next use.
        existing->AssignEntryID();
        db::Transaction transaction(m_link);
        m_link.execute(
            QStringLiteral("UPDATE tblContacts SET ContactEntryID = ? WHERE ContactID = ?"),
            {existing->EntryID(), contactId});
        existing->Save();
        transaction.commit();
        return;
    }
    existing->Save();
}

int ContactCards::makeMissing(int limit, QDeadlineTimer until)
{
    // Only as many as may be made, and one more to tell whether any are left: a
    // big firm's rows without a card are not all read to make a few.
    std::vector<qint32> ids;
    m_link.readRows(QStringLiteral("SELECT ContactID FROM tblContacts WHERE Active <> 0 AND "
                                   "(ContactEntryID IS NULL OR ContactEntryID = '') ORDER BY "
                                   "ContactID LIMIT %1")
                        .arg(qint64(limit) + 1),
                    {}, [&ids](QVariant *values, int) { ids.push_back(values[0].toInt()); });
    int made = 0;
    for (const qint32 id : ids) {
        if (made == limit || until.hasExpired()) {
            qCInfo(lcCards) << "more contacts without a card are left for the next start";
            break;
        }
        write(id, {});
        ++made;
    }
    if (made)
        qCInfo(lcCards) << "made" << made << "contact cards from their rows";
    return made;
}

QString ContactCards::problem(const ContactCardFields &fields)
{
    const QString email = fields.email.trimmed();
    if (!email.isEmpty() && !pim::parseMailbox(email))
        return QStringLiteral("\"%1\" is not an e-mail address. An address looks like "
                              "name@example.org.")
            .arg(email);
    return QString();
}

std::unique_ptr<ContactCards> contactCardsOf(OutlookSession &session, db::Connection &cnnLink)
{
    if (!session.EnsureOutlook())
        return nullptr;
    const std::optional<pim::Folder> &folder = session.folder(FolderSlot::Contacts);
    if (!folder)
        return nullptr;
    return std::make_unique<ContactCards>(session.nameSpace(), *folder, cnnLink);
}

QStringList postalLines(const ContactCardFields &fields)
{
    QStringList out;
    for (const QString &line : fields.street.split(QLatin1Char('\n')))
        if (!line.trimmed().isEmpty())
            out << line.trimmed();
    const QString place =
        QStringList{fields.postalCode.trimmed(), fields.city.trimmed()}.join(QLatin1Char(' '));
    for (const QString &part : {place.trimmed(), fields.region.trimmed(), fields.country.trimmed()})
        if (!part.isEmpty())
            out << part;
    return out;
}

QStringList addressBlock(const QString &rowName, const ContactCardFields &fields)
{
    const QString name = fields.company.trimmed().isEmpty() ? rowName : fields.company.trimmed();
    QStringList block{name};
    if (!fields.fullName.trimmed().isEmpty() && fields.fullName.trimmed() != name)
        block << fields.fullName.trimmed();
    return block + postalLines(fields);
}

} // namespace quorvale
