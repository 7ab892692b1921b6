#include "platform/core/QvError.h"
#include "platform/pim/Namespace.h"
#include "platform/pim/PrivateFiles.h"

// Item lookups by EntryID, apart from the folder lookups so that a program that
// only uses folders does not take in the item kinds.

namespace quorvale::pim {

std::unique_ptr<Item> Namespace::itemFromId(const QString &entryId, const QString &storeId) const
{
    const auto parts = splitEntryId(entryId);
    if (!parts)
        return nullptr;
    const std::optional<Folder> folder = findFolder(parts->first, storeId);
    if (!folder)
        return nullptr;
    return readItem(*folder, parts->second);
}

std::unique_ptr<Item> Namespace::GetItemFromID(const QString &entryId, const QString &storeId) const
{
    std::unique_ptr<Item> item = itemFromId(entryId, storeId);
    if (!item)
        throw QvError(NotFoundError, QStringLiteral("The item %1 could not be found.").arg(entryId),
                      QString::fromLatin1(ErrorSource));
    return item;
}

} // namespace quorvale::pim
