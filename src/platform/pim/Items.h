#pragma once

#include "platform/pim/Item.h"

#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

namespace quorvale::pim {

// Item files above these sizes are passed over (with a note in the log) where
// a folder is read as a whole: a calendar entry or card that large is no
// item a person wrote, and reading it would hold up every list of its folder.
// Messages may carry attachments: their limit is that of common mail servers
// with room for the base64 encoding.
inline constexpr qint64 MaxCalendarItemFileBytes = 8 * 1024 * 1024;
inline constexpr qint64 MaxMailItemFileBytes = 64 * 1024 * 1024;
qint64 maxItemFileBytes(ItemType type);

// The items of one folder. Nothing is cached: every read goes to the files, so
// an item another program changed or deleted is seen as it is now.
class Items {
public:
    explicit Items(Folder folder) : m_folder(std::move(folder)) {}

    // A new, unsaved item of the folder's kind.
    std::unique_ptr<Item> Add() const;
    // The names of the folder's item files, sorted.
    QStringList fileNames() const;
    int Count() const { return static_cast<int>(fileNames().size()); }

    // Reads every item in turn and hands it to `visit` until it returns false.
    // A file that holds no readable item, or is larger than maxItemFileBytes,
    // is passed over and named in skipped().
    void forEach(const std::function<bool(Item &)> &visit) const;
    // The first item whose property (standard or user property) equals value.
    std::unique_ptr<Item> Find(const QString &property, const QVariant &value) const;

    // Files the last forEach/Find could not read, each with the reason.
    const QStringList &skipped() const { return m_skipped; }

private:
    Folder m_folder;
    mutable QStringList m_skipped;
};

} // namespace quorvale::pim
