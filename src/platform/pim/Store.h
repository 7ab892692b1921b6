#pragma once

#include "platform/pim/Folder.h"
#include "platform/pim/ItemType.h"

#include <QHash>
#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

namespace quorvale::pim {

// One store: a root directory holding a metadata file and one collection
// directory per folder. The metadata file ".quorvale-store" (JSON) keeps
//   "id"             the StoreID, made once
//   "name"           the display name
//   "categories"     the category master list, in order
//   "defaultFolders" default folder code -> EntryID
//   "attachedStores" roots of further stores the namespace opened (default store)
// Keys it does not know are kept when it is rewritten.
//
// Every failure to read or write throws QvError (source "Quorvale Item Store").
class Store {
public:
    static constexpr const char *MetadataFileName = ".quorvale-store";

    // Makes a new store in `root` (created 0700 when missing). A root that is a
    // store already throws: a second id for it would orphan every stored link.
    static Store create(const QString &root, const QString &name);
    // Opens the store in `root`; throws QvError(NotFoundError) when there is none.
    static Store open(const QString &root);
    static bool isStore(const QString &root);

    const QString &id() const { return m_id; }
    QString name() const;
    const QString &root() const { return m_root; }

    // The master list, in order; empty when none was ever set.
    QStringList categories() const;
    // The same as one text, each entry followed by ";": "Business;Personal;".
    QString categoryMasterList() const;
    void setCategories(const QStringList &categories);

    // Every folder of the store, by directory name. Reads the folders'
    // metadata files only, never an item.
    QList<Folder> folders() const;
    // The folder with this EntryID; nothing when there is none.
    std::optional<Folder> findFolder(const QString &entryId) const;
    // A new, empty collection named `name`; its directory is named after it
    // (made unique), and mail folders get cur, new and tmp.
    Folder createFolder(const QString &name, ItemType type);

    // The default folder of that kind; nothing when it was never made or has
    // been removed.
    std::optional<Folder> defaultFolder(DefaultFolder kind) const;
    // The same, made (and recorded) when missing.
    Folder ensureDefaultFolder(DefaultFolder kind);

    QStringList attachedStores() const;
    void setAttachedStores(const QStringList &roots);

private:
    Store(QString root, QJsonObject meta);
    void save();
    QString metadataPath() const;

    QString m_root;
    QString m_id;
    QJsonObject m_meta;
    // EntryID -> directory name: lookups try it first and rescan only when the
    // directory has gone or holds another folder (renamed, moved).
    mutable QHash<QString, QString> m_dirOfFolder;
};

// The store a folder belongs to, opened anew: a folder's directory sits
// directly in its store's root. Throws as Store::open.
Store storeOf(const Folder &folder);

} // namespace quorvale::pim
