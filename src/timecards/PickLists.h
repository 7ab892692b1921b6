#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>
#include <vector>

namespace quorvale {

namespace db {
class Command;
}

// One entry of a drop-down list: what it shows and the ID it stands for.
struct PickEntry {
    qint32 id = 0; // 0: the empty entry, no choice
    QString text;

    bool operator==(const PickEntry &) const = default;
};

// The activity list of one level for a contact (`ProcessActivityLists`): an empty
// entry first, so that index 0 means "none chosen", then the active activities in
// the statement's order. A list that takes the contact offers that contact's
// activities and those of nobody; without a contact, those of nobody only.
std::vector<PickEntry> activityEntries(db::Command &list, bool takesContact,
                                       std::optional<qint32> contactId);

// The index of the entry standing for id. An ID the list does not offer (an
// activity made inactive since) is added at the end with its stored name, so
// that the TimeCard keeps it; -1 only when nothing stands for it at all.
int selectActivity(std::vector<PickEntry> &entries, std::optional<qint32> id,
                   const QString &storedName);

// After a change of contact: the index of the entry standing for id in the new
// list (0 for no activity), or nullopt when the list no longer offers it; the
// TimeCard's activity is then cleared rather than kept for another contact.
std::optional<int> offeredActivity(const std::vector<PickEntry> &entries, std::optional<qint32> id);

// `RetrieveContactName`: the contact's name; empty when there is none.
QString RetrieveContactName(db::Command &contact, std::optional<qint32> contactId);

} // namespace quorvale
