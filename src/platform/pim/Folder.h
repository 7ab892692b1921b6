#pragma once

#include "platform/pim/ItemType.h"

#include <QString>
#include <optional>

namespace quorvale::pim {

// One collection directory of a store. A plain value: it names the folder, it
// does not hold it open, so it stays valid to copy while the directory is
// renamed (path() then goes stale; entryId() does not).
//
// On disk a folder is a directory directly inside its store's root holding
//   .quorvale-folder   JSON: "id" (the EntryID), "name", "defaultItemType"
//   displayname        the name, for vdir readers (vdirsyncer, khal, todoman)
//   color              a colour for vdir readers (not for mail folders)
// and, for mail folders, the Maildir directories cur, new and tmp.
class Folder {
public:
    static constexpr const char *MetadataFileName = ".quorvale-folder";

    Folder(QString entryId, QString storeId, QString name, ItemType defaultItemType, QString path);

    // Stable for the folder's life and independent of its directory's name.
    const QString &entryId() const { return m_entryId; }
    const QString &storeId() const { return m_storeId; }
    // The displayname file when there is one (a vdir tool may have renamed the
    // collection), else the name in the metadata.
    const QString &name() const { return m_name; }
    ItemType defaultItemType() const { return m_defaultItemType; }
    const QString &path() const { return m_path; }

    // The folder in directory `dir` of the store `storeId`; nothing when the
    // directory holds no readable, valid folder metadata.
    static std::optional<Folder> read(const QString &dir, const QString &storeId);
    // Reads only the EntryID of directory `dir` (empty when it is no folder):
    // the cheap test a lookup runs over a store's directories.
    static QString readEntryId(const QString &dir);

    bool operator==(const Folder &) const = default;

private:
    QString m_entryId;
    QString m_storeId;
    QString m_name;
    ItemType m_defaultItemType;
    QString m_path;
};

} // namespace quorvale::pim
