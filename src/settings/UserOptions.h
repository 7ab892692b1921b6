#pragma once

#include "settings/RegSettings.h"

#include <QStringList>

namespace quorvale {

class Registry;

// The settings a person changes in the user options dialog. What new TimeCards
// and items start with, the checks, the timer, the formats and the mail
// settings take effect at once; the folders and the item store at the next start.
// The folders a person may choose; the contacts folders are the administrator's.
inline constexpr FolderSlot UserFolderSlots[] = {
    FolderSlot::Journal, FolderSlot::Tasks, FolderSlot::TimeCardAppointments,
    FolderSlot::ScheduledAppointments, FolderSlot::Notes};

struct UserOptions {
    JournalDefaults journal;
    AppointmentDefaults appointments;
    NoteDefaults notes;
    TaskDefaults tasks;
    ValidationFlags validation;
    bool autostartTimer = false;
    qint16 timeFormat = 0; // 0 = as the system, 1..3 the format tools
    bool tooltips = true;
    qint16 idleMinutes = 10;     // 0: never asked
    qint16 longRunMinutes = 240; // 0: no reminder
    QTime workingDayStart{8, 0};
    QTime workingDayEnd{18, 0};
    qint16 quickFilterType = 0;
    qint16 defaultLinkType = 0;
    bool timeDetailOption = true;
    QString defaultFileDirectory;
    QString mailCommand;
    QString emailAddress;
    QString browserCommand;  // empty: the desktop's browser
    QString itemStoreFolder; // empty: the program directory's own
    // The folders the person chose in this dialog (EntryID empty: unchanged).
    FolderIds folders;

    bool operator==(const UserOptions &) const = default;
};

UserOptions userOptionsFrom(const RegSettings &settings, const QString &itemStoreFolder);
// The settings as they are after the options were taken.
void applyUserOptions(const UserOptions &options, RegSettings &settings);

// What stands in the way of saving the options, one sentence each; empty when
// they may be saved.
QStringList checkUserOptions(const UserOptions &options);

// Writes every option to its registry value; chosen folders to Settings\Folders.
void writeUserOptions(Registry &registry, const UserOptions &options);

// Settings\"Item Store Folder": where the item store lives when not in the program directory.
QString readItemStoreFolder(Registry &registry);

} // namespace quorvale
