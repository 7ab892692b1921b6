#pragma once

#include "outlook/FolderKind.h"
#include "outlook/FolderSlot.h"
#include "outlook/TaskDefaults.h"

#include <QDir>
#include <QString>
#include <QTime>
#include <QtGlobal>
#include <array>

namespace quorvale {

// The per-user settings of the registry tree as the program holds them for a run.
// Every member starts at the value a missing registry value reads as, so a
// default-constructed RegSettings is what an empty settings file yields.

// Defaults\Journal: what a new TimeCard starts with.
struct JournalDefaults {
    QString category = QStringLiteral("None");
    QString entryType = QStringLiteral("Task");
    QString billingStatus = QStringLiteral("Billable");
    QString rateSource = QStringLiteral("Staff Rates");
    QString rateLevel = QStringLiteral("1");
    qint32 mainActivity = 0; // 0 = none
    qint32 subActivity = 0;  // 0 = none
    bool autoSave = true;

    bool operator==(const JournalDefaults &) const = default;
};

// Defaults\Appointments.
struct AppointmentDefaults {
    QString category = QStringLiteral("None");
    QString reminder = QStringLiteral("2 days");
    QString showTimeAs = QStringLiteral("Busy");
    QString duration = QStringLiteral("1 hour");
    QString billingInterval = QStringLiteral("5 minutes");

    bool operator==(const AppointmentDefaults &) const = default;
};

// Defaults\Notes.
struct NoteDefaults {
    QString category = QStringLiteral("None");

    bool operator==(const NoteDefaults &) const = default;
};

// Settings\AutoFill: the field codes the automatic fill of each item kind uses,
// value "0" first.
struct AutoFillCodes {
    std::array<qint16, 10> journal{11, 2, 3, 6, 8, 11, 2, 0, 0, 0};
    std::array<qint16, 10> tasks{10, 2, 3, 6, 8, 10, 2, 0, 0, 0};
    std::array<qint16, 10> appointments{12, 2, 3, 6, 8, 12, 2, 0, 0, 0};
    std::array<qint16, 6> notes{13, 2, 3, 6, 8, 13};
};

// Settings\Validation: which checks a TimeCard must pass before it is saved.
struct ValidationFlags {
    bool endBeforeStart = false;
    bool noTimeSpent = false;
    bool noHourlyRate = false;
    bool noDescription = false;
    bool noJobOrder = false;

    bool operator==(const ValidationFlags &) const = default;
};

// License: who the person is in tblUsers.
struct LicenseValues {
    QString userName;
    QString userEid;
    QString userId; // as stored; only a whole number selects a tblUsers row
};

inline constexpr const char *DefaultMailCommand = "/usr/sbin/sendmail -t -i";

// The values of the key "Settings" itself.
struct GeneralSettings {
    QString defaultSort = QStringLiteral(" ORDER BY tblTimeCards.TimeCardID ASC");
    bool showHiddenTimeCards = false;
    qint16 quickFilterType = 0; // 0 = contact, 1 = Activity 1, 2 = Activity 2
    qint16 timeFormat = 0;
    bool autostartTimer = false;
    bool tooltips = true;
    qint16 defaultLinkType = 0;
    bool timeDetailOption = true;
    bool startupTips = false;
    qint16 startupTipNumber = 0; // read only while startupTips is on
    QString defaultBrowser;
    // How messages leave: a sendmail-compatible command; empty = they wait in
    // the Outbox. Where a mail system is installed its sendmail is there.
    QString mailCommand = QLatin1String(DefaultMailCommand);
    // Who the person's messages are from; when never set, the environment's
    // address ($EMAIL, else login@host).
    QString emailAddress;
    // A directory that exists on this system; a Windows program directory
    // would not.
    QString defaultFileDirectory = QDir::homePath();
    qint32 lastRecord = 1; // the TimeCardID current at the last shut-down
    bool viewTimeDetail = true;
    bool viewActiveTaskList = true;
    qint16 formHeight = 7125; // twips
    qint16 formWidth = 8220;  // twips
    // A run's spell without input at the desktop this long or longer is asked
    // about when the person is back; 0: never.
    qint16 idleMinutes = 10;
    // Reminders of a forgotten timer: a run this long (0: never), a run past
    // the working day's end, no run when starting within working hours.
    qint16 longRunMinutes = 240;
    QTime workingDayStart{8, 0};
    QTime workingDayEnd{18, 0};
};

struct RegSettings {
    JournalDefaults journal;
    AppointmentDefaults appointments;
    NoteDefaults notes;
    TaskDefaults tasks;
    AutoFillCodes autoFill;
    ValidationFlags validation;
    LicenseValues license;
    // The item-store folders: TimeCard Appointments, Journal and Notes may be fixed
    // by the administrator, the contacts folders always are; the rest are the user's.
    FolderIds folders;
    GeneralSettings settings;

    // From the user's tblUsers row, once GetRegSettings has found it. 0 where
    // the row holds no value.
    qint32 userId = 0;
    qint32 staffId = 0;
    qint32 permissionId = 0;
};

} // namespace quorvale
