#pragma once

#include "outlook/FolderKind.h"
#include "platform/pim/ItemType.h"

#include <QString>

namespace quorvale {

// The seven folders of the connection. Two of them share the kind Contacts, so
// the connection keeps its folders by slot, not by kind.
enum class FolderSlot {
    Contacts,
    SecondContacts,
    Journal,
    Tasks,
    TimeCardAppointments,
    ScheduledAppointments,
    Notes,
};

// The order in which SetFolderObjects resolves them: a person asked for several
// folders is asked in this order every time.
inline constexpr FolderSlot FolderSlotsInOrder[] = {
    FolderSlot::Contacts, FolderSlot::SecondContacts,       FolderSlot::Journal,
    FolderSlot::Tasks,    FolderSlot::TimeCardAppointments, FolderSlot::ScheduledAppointments,
    FolderSlot::Notes,
};

FolderKind folderKindOf(FolderSlot slot);
// The slot a kind's own folder lives in (Contacts: the first contacts folder).
FolderSlot folderSlotOf(FolderKind kind);
// The DefaultItemType a folder of that kind must have.
pim::ItemType expectedItemType(FolderKind kind);
// The name the wrong-type message uses: "Calendar" for both appointment kinds.
QString wrongTypeName(FolderKind kind);
// The default folder that stands in for a kind whose id was never chosen.
pim::DefaultFolder defaultFolderFor(FolderKind kind);

// The stored ids of the seven folders, as the settings module hands them over.
struct FolderIds {
    FolderId contacts;
    FolderId secondContacts;
    FolderId journal;
    FolderId tasks;
    FolderId timeCardAppointments;
    FolderId scheduledAppointments;
    FolderId notes;

    FolderId &operator[](FolderSlot slot);
    const FolderId &operator[](FolderSlot slot) const;
    bool operator==(const FolderIds &) const = default;
};

} // namespace quorvale
