#pragma once

#include "outlook/TimeCardSnapshot.h"

#include <QString>
#include <memory>

namespace quorvale {

class OutlookSession;

namespace pim {
class ContactItem;
class IcalItem;
class MailItem;
class Item;
} // namespace pim

// The administrator's terms that name the user properties beyond the fixed
// three, and whether their fields are in use.
struct UserPropertyTerms {
    QString activity1Term;
    bool activity1InUse = false;
    QString activity2Term;
    bool activity2InUse = false;
    QString jobOrderTerm; // empty: no job order property
};

// Marks an item as the TimeCard's: "TimeCardID", "QuorvaleID" (the item's own
// EntryID, so the item must have been saved once), "Quorvale Staff", then the
// activity and job order properties under their terms. A term left empty
// writes nothing, as a property needs a name. Does not save the item.
void WriteUserProperties(pim::Item &item, const TimeCardSnapshot &card,
                         const UserPropertyTerms &terms);

// The TimeCard's contact item, read by its EntryID from any store; nullptr
// when there is none or it cannot be read (a stale EntryID is no error).
std::unique_ptr<pim::ContactItem> contactItemFor(OutlookSession &session,
                                                 const QString &contactEntryId);

// Ties an item to the TimeCard's contact: Links made to hold that contact
// only, named by its full name or else its company name (version code 8 and up; older versions keep
// the name as "Contacts" text), Companies when the contact has a company name.
void setContactFields(pim::IcalItem &item, const pim::ContactItem &contact,
                      const QString &versionCode);
// A message's Links, made to hold that contact only (version code 8 and up;
// older messages had none). Nothing else of a message is touched: what was
// sent stays as it was sent.
void setContactLink(pim::MailItem &message, const pim::ContactItem &contact,
                    const QString &versionCode);

} // namespace quorvale
