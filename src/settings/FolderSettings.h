#pragma once

#include "outlook/FolderKind.h"
#include "settings/RegSettings.h"

#include <functional>

namespace quorvale {

class Registry;
struct AdminOptions;

// The item store's default folder of a kind (its EntryID and StoreID).
using DefaultFolderFn = std::function<FolderId(FolderKind)>;

// The five folders of the user: TimeCard Appointments, Journal and Notes from
// the administrator options when they fix them, everything else from
// Settings\Folders. A folder still without an EntryID takes defaultFolder of its
// kind (when one is given); nothing is written back.
FolderIds resolveFolderIds(Registry &registry, const AdminOptions &options,
                           const DefaultFolderFn &defaultFolder);

// The stored ids of one kind under Settings\Folders.
FolderId readStoredFolder(Registry &registry, FolderKind kind);

} // namespace quorvale
