#pragma once

#include <QString>

namespace quorvale::pim {

// A contact an item is linked to: its display name, its EntryID and its card's
// UID (which finds the card again when a sync tool renames its file).
// Calendar items write it as CONTACT;ALTREP="urn:uuid:<uid>" with the EntryID
// as a parameter, messages as a private header (MailHeaders::Contact).
struct ContactLink {
    QString name;
    QString entryId;
    QString uid;
    bool operator==(const ContactLink &) const = default;
};

} // namespace quorvale::pim
