#pragma once

#include "platform/pim/Folder.h"

#include <QDeadlineTimer>
#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <limits>
#include <memory>
#include <optional>

namespace quorvale {

class OutlookSession;

namespace db {
class Connection;
}
namespace pim {
class ContactItem;
class Namespace;
} // namespace pim

// What a biller keeps of a client beyond the row: kept on the client's card,
// where the address book, the templates and the invoice read it.
struct ContactCardFields {
    QString fullName; // the card's name; the row's name when left empty
    QString company;
    QString email;
    QString businessPhone;
    QString mobilePhone;
    // The business address, the one an invoice goes to.
    QString street;
    QString city;
    QString region;
    QString postalCode;
    QString country;

    bool operator==(const ContactCardFields &) const = default;
};

// The business address as it is written on an envelope: street lines, then
// postal code and city, region, country; empty parts left out.
QStringList postalLines(const ContactCardFields &fields);
// Whom a letter or an invoice is addressed to: the company (else the row's
// name), the person when another name, then the postal lines.
QStringList addressBlock(const QString &rowName, const ContactCardFields &fields);

// Every contact row's card in the contacts folder, found by the row's
// ContactEntryID. A card is made from the row where there is none, and again
// where another program deleted it; what another program changed on it is
// what is read.
class ContactCards {
public:
    enum class State {
        Present,
        None,    // the row names no card
        Missing, // the row names a card whose file is gone
    };
    struct Card {
        State state = State::None;
        ContactCardFields fields;
    };

    ContactCards(pim::Namespace &items, pim::Folder contacts, db::Connection &cnnLink);

    Card read(qint32 contactId) const;
    // Writes the fields to the contact's card, making the card (and storing its
    // EntryID in the row) when there is none or it is gone. Throws QvError
    // when the row is gone or the card cannot be written; the row is then
    // left as it was.
    void write(qint32 contactId, const ContactCardFields &fields);
    // A card for every active contact that names none (up to `limit` of them,
    // and no more once `until` has passed), made from its row; the number made.
    // Cards named but gone are left to be reported where they are used.
    int makeMissing(int limit = std::numeric_limits<int>::max(),
                    QDeadlineTimer until = QDeadlineTimer(QDeadlineTimer::Forever));

    // Why the fields cannot be kept ("" when they can): the e-mail address.
    static QString problem(const ContactCardFields &fields);

private:
    std::unique_ptr<pim::ContactItem> card(const QString &entryId) const;

    pim::Namespace &m_items;
    pim::Folder m_contacts;
    db::Connection &m_link;
};

// The cards of the session's contacts folder; none when the item store cannot
// be reached now (the rows are still kept then).
std::unique_ptr<ContactCards> contactCardsOf(OutlookSession &session, db::Connection &cnnLink);

} // namespace quorvale
