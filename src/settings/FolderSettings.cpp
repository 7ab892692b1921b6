#include "settings/FolderSettings.h"

#include "platform/registry/Registry.h"
#include "platform/registry/RegistryPaths.h"
#include "settings/AdminSettings.h"
#include "settings/RegValueNames.h"

namespace quorvale {

namespace {

FolderId fixedOrStored(Registry &registry, FolderKind kind, bool fixed, const FolderId &admin)
{
    return fixed ? admin : readStoredFolder(registry, kind);
}

void fillDefault(FolderId &folder, FolderKind kind, const DefaultFolderFn &defaultFolder)
{
    if (folder.isEmpty() && defaultFolder)
        folder = defaultFolder(kind);
}

} // namespace

FolderId readStoredFolder(Registry &registry, FolderKind kind)
{
    const RegistryKey key =
        registry.openSubKey(QString::fromLatin1(RegistryPaths::SettingsFolders));
    const QString stem = folderDisplayName(kind);
    return FolderId{key.readText(stem + QLatin1String(RegValue::EntryIdSuffix)),
                    key.readText(stem + QLatin1String(RegValue::StoreIdSuffix))};
}

FolderIds resolveFolderIds(Registry &registry, const AdminOptions &options,
                           const DefaultFolderFn &defaultFolder)
{
    FolderIds f;
    f.contacts = options.contactsFolder;
    f.secondContacts = options.secondContactsFolder;
    f.timeCardAppointments =
        fixedOrStored(registry, FolderKind::TimeCardAppointments, options.appointmentsFolderFixed,
                      options.appointmentsFolder);
    f.journal = fixedOrStored(registry, FolderKind::Journal, options.journalFolderFixed,
                              options.journalFolder);
    f.notes =
        fixedOrStored(registry, FolderKind::Notes, options.notesFolderFixed, options.notesFolder);
    f.tasks = readStoredFolder(registry, FolderKind::Tasks);
    f.scheduledAppointments = readStoredFolder(registry, FolderKind::ScheduledAppointments);

    fillDefault(f.timeCardAppointments, FolderKind::TimeCardAppointments, defaultFolder);
    fillDefault(f.journal, FolderKind::Journal, defaultFolder);
    fillDefault(f.notes, FolderKind::Notes, defaultFolder);
    fillDefault(f.tasks, FolderKind::Tasks, defaultFolder);
    fillDefault(f.scheduledAppointments, FolderKind::ScheduledAppointments, defaultFolder);
    return f;
}

} // namespace quorvale
