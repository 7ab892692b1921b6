#pragma once

#include "platform/pim/Folder.h"
#include "platform/pim/Item.h"
#include "platform/pim/ItemType.h"
#include "platform/pim/Store.h"

#include <QList>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

namespace quorvale::pim {

// The item store as the program sees it: the stand-in for Outlook's MAPI
// namespace. It holds the default store (in the root it was given) and any
// further stores opened or created through it; those are remembered in the
// default store's metadata and opened again next time.
//
// Errors: QvError with source "Quorvale Item Store" (75 for a file that cannot
// be read or written, NotFoundError for an id that names nothing).
class Namespace {
public:
    // What version() reports: our store behaves as a current Outlook.
    static constexpr const char *VersionText = "11.0";
    static constexpr const char *DefaultStoreName = "Personal Folders";

    // $QUORVALE_ITEMS when set, else programDir + "/Items".
    static QString defaultRoot(const QString &programDir);

    // Opens the default store in `root`. When `root` holds no store (a first
    // run) and `createIfMissing` is set, the store is made there with one folder
    // of each default kind; otherwise that throws QvError(NotFoundError).
    explicit Namespace(const QString &root, bool createIfMissing = true);
    ~Namespace();
    Namespace(const Namespace &) = delete;
    Namespace &operator=(const Namespace &) = delete;

    const QString &root() const { return m_root; }
    // The default store's root still exists, can be read and holds the store:
    // our stand-in for "Outlook's main window exists".
    bool isReachable() const;
    QString version() const { return QLatin1String(VersionText); }

    Store &defaultStore() { return *m_stores.front(); }
    const Store &defaultStore() const { return *m_stores.front(); }
    // The default store first, then the others in the order they were added.
    QList<Store *> stores() const;
    Store *findStore(const QString &storeId) const;
    // Adds the existing store in `root` (throws when there is none); a store
    // already held is returned as it is.
    Store &openStore(const QString &root);
    // Makes a new, empty store in `root` and adds it.
    Store &createStore(const QString &root, const QString &name);

    // The folder with these ids. An empty StoreID searches every store. Reads
    // folder metadata only; throws QvError(NotFoundError) when nothing matches.
    Folder GetFolderFromID(const QString &entryId, const QString &storeId) const;
    // The same without throwing.
    std::optional<Folder> findFolder(const QString &entryId, const QString &storeId) const;
    // The default store's default folder of that kind, made again when it was
    // removed.
    Folder GetDefaultFolder(DefaultFolder kind);

    // The item of that EntryID (see Item), read from its file now. Throws
    // QvError(NotFoundError) when the folder or the file is gone or the file
    // holds no item; itemFromId returns nullptr instead.
    std::unique_ptr<Item> GetItemFromID(const QString &entryId, const QString &storeId) const;
    std::unique_ptr<Item> itemFromId(const QString &entryId, const QString &storeId) const;
    Folder createFolder(Store &store, const QString &name, ItemType type);
    // Every folder of every store.
    QList<Folder> allFolders() const;

    // The default store's category master list (empty when none was set).
    QStringList categories() const { return defaultStore().categories(); }
    QString categoryMasterList() const { return defaultStore().categoryMasterList(); }
    // Adds a category to the default store's master list unless it is there
    // already (compared without regard to case); true when it was added.
    bool addCategory(const QString &category);

private:
    void openAttachedStores();
    void rememberAttached(const Store &store);

    QString m_root;
    std::vector<std::unique_ptr<Store>> m_stores;
};

} // namespace quorvale::pim
