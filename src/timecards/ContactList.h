#pragma once

#include "timecards/BillingRounding.h"
#include "timecards/RateFields.h"
#include "timecards/TimeCardValue.h"

#include <QString>
#include <QtGlobal>
#include <optional>
#include <vector>

namespace quorvale {

namespace db {
class Connection;
}

// One row of tblContacts as the contact maintenance edits it. The Outlook
// contact's EntryID is not edited here and is kept as it is.
struct ContactRow {
    std::optional<qint32> id; // nullopt until the row is first saved
    QString name;
    QString account;
    bool active = true;
    Realization timeRealization; // full unless set
    BillingRounding rounding;    // billed as recorded unless set
    RateSet rates{};
};

// What removing a contact or an activity did.
enum class RemoveOutcome {
    Deleted,     // nothing referred to the row
    Deactivated, // TimeCards or charges refer to it: it stays, inactive
};

// The contact maintenance over tblContacts. Every write is one transaction;
// database failures are thrown as QvError.
class ContactList {
public:
    explicit ContactList(db::Connection &cnnLink) : m_link(cnnLink) {}

    // Every contact, active or not, by name.
    std::vector<ContactRow> load();

    // The contact's name; empty when there is no such contact.
    QString nameOf(qint32 contactId);

    // Why the row cannot be saved ("" when it can): a name is required.
    static QString problem(const ContactRow &row);

    // Inserts a new row or updates the existing one; returns its ContactID.
    // Throws QvError (number InvalidCharacter) when problem() is not empty.
    qint32 save(const ContactRow &row);

    // Deletes the contact, or makes it inactive when TimeCards, charges,
    // payments or activities refer to it, so that their ContactIDs stay valid.
    RemoveOutcome remove(qint32 contactId);

private:
    bool isReferenced(qint32 contactId);

    db::Connection &m_link;
};

} // namespace quorvale
