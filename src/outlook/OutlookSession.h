#pragma once

#include "outlook/FolderKind.h"
#include "outlook/FolderSlot.h"
#include "platform/pim/Folder.h"
#include "platform/pim/FolderCache.h"

#include <QString>
#include <QStringList>
#include <array>
#include <iterator>
#include <memory>
#include <optional>

namespace quorvale {

class ErrorHandler;
class Prompts;
class Registry;

namespace pim {
class Inspector;
class Namespace;
} // namespace pim

// The one connection every item-store operation goes through: the namespace
// and the seven resolved folders with their ids. Owned by the settings module
// for the whole run.
//
// Nothing here ends the process. Where the program has to end (no store, the
// person declined to choose a folder) a function returns false or nothing and
// ended() turns true; the caller ends the program.
//
// Item-store and registry failures outside the folder dialogue come out as
// QvError.
class OutlookSession {
public:
    // `storeRoot`: the configured root of the default store (see
    // pim::Namespace::defaultRoot). The registry receives re-chosen folder ids
    // under "Settings\Folders"; prompts show every message and the folder
    // picker.
    OutlookSession(QString storeRoot, Registry &registry, Prompts &prompts);
    ~OutlookSession();
    OutlookSession(const OutlookSession &) = delete;
    OutlookSession &operator=(const OutlookSession &) = delete;

    // Opens the namespace on the root, making the default store there on a
    // first run. When the root cannot be reached or made, tells the person
    // ("Missing Outlook Application") and returns false.
    bool CreateOutlookInstance();

    // Keeps the ids and resolves all seven folders in the fixed order: contacts,
    // second contacts, Journal, Tasks, TimeCard Appointments, Scheduled
    // Appointments, Notes. An empty id stands for the default folder of its
    // kind (the second contacts folder, which a site need not have, stays
    // unset instead). False when there is no namespace or the person chose to
    // end the program.
    bool SetFolderObjects(const FolderIds &ids);
    // The same with the ids held (after a reconnect). A folder that stood in
    // for an empty id is taken from the defaults again, so a store made anew
    // needs no choosing where the person never chose.
    bool SetFolderObjects();

    // Resolves one folder of `kind` (for Contacts: the first contacts folder)
    // from its ids. Ids that resolve: the folder, nothing shown, nothing
    // written. Otherwise GetFolder until a folder is chosen; its ids are then
    // written to "Settings\Folders" ("<Display Name> EntryID", "... StoreID")
    // and replace the ids held. Nothing when the person ended the program.
    std::optional<pim::Folder> SetFolderObject(FolderKind kind, const QString &entryId,
                                               const QString &storeId);

    // The dialogue for a missing folder: says which folder is missing, then
    // offers the picker until a folder of the right kind is chosen or the
    // person answers "No" (nothing returned, ended() true).
    std::optional<pim::Folder> GetFolder(FolderKind kind);
    // One pick of a folder of `kind`; nothing when cancelled or of the wrong
    // type (told in " Invalid Folder Type"). Also for the options dialog.
    std::optional<pim::Folder> GetOLFolder(FolderKind kind);

    // Sets the version code and, below "10", reads the category list.
    void CheckOLVersion();
    // Fills the category list from the store's master list (the built-in 15
    // when it is empty or cannot be read).
    void ParseOLCategories();

    // Before any command touches the store: when the root is not reachable,
    // connects again and resolves the folders again; when that fails, reports
    // 10321 "Unable to create Outlook instance." (source "Quorvale") through
    // the wired ErrorHandler and returns false. Without a wired handler the
    // error is thrown as QvError instead.
    bool EnsureOutlook();
    // Lets the common error handler test for and restore the connection.
    void connectErrorHandler(ErrorHandler &handler);

    bool isConnected() const { return m_namespace != nullptr; }
    bool isReachable() const;
    bool ended() const { return m_ended; }
    const QString &storeRoot() const { return m_root; }
    // Throws QvError(10321) when not connected.
    pim::Namespace &nameSpace() const;

    const std::optional<pim::Folder> &folder(FolderSlot slot) const;
    const FolderIds &folderIds() const { return m_ids; }

    // "7" .. "11"; empty until CheckOLVersion ran.
    const QString &versionCode() const { return m_versionCode; }
    // The version text CheckOLVersion reads instead of the store's own.
    void setVersionText(const QString &text) { m_versionText = text; }
    // The summaries of item files read so far, shared by the Links page and
    // the link choosers; safe to use from a reading thread. Kept in the store's
    // root between runs (".quorvale-summaries"): read on the first connection,
    // written when the session ends.
    pim::FolderCache &folderCache() { return m_folderCache; }
    // Where items are shown to the person (the window's item editors); none
    // without a window, and then nothing is shown.
    void setInspector(pim::Inspector *inspector) { m_inspector = inspector; }
    pim::Inspector *inspector() const { return m_inspector; }

    // Index 0 empty, entries from 1. Read on first use when CheckOLVersion did
    // not need to, so callers on any version get a list.
    const QStringList &categoryList();

private:
    std::optional<pim::Folder> resolve(FolderSlot slot, const FolderId &id);
    void writeFolderIds(FolderKind kind, const pim::Folder &folder);
    void reportInstanceError();
    void clearFolders();

    QString m_root;
    Registry &m_registry;
    Prompts &m_prompts;
    ErrorHandler *m_errorHandler = nullptr;
    std::unique_ptr<pim::Namespace> m_namespace;
    FolderIds m_ids;
    std::array<std::optional<pim::Folder>, std::size(FolderSlotsInOrder)> m_folders;
    // Slots whose id was empty: they follow the store's default folder.
    std::array<bool, std::size(FolderSlotsInOrder)> m_defaulted{};
    QString m_versionText;
    QString m_versionCode;
    QStringList m_categories;
    pim::Inspector *m_inspector = nullptr;
    bool m_ended = false;
    bool m_reporting = false;
    pim::FolderCache m_folderCache;
    bool m_summariesLoaded = false;
};

} // namespace quorvale
