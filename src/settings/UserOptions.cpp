#include "UserOptions.h"

#include "platform/pim/MailMessage.h"
#include "platform/pim/MailTransport.h"
#include "platform/registry/Registry.h"
#include "platform/registry/RegistryKey.h"
#include "platform/registry/RegistryPaths.h"
#include "settings/RegValueNames.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace quorvale {

namespace V = RegValue;
namespace P = RegistryPaths;

namespace {

constexpr const char *ItemStoreFolder = "Item Store Folder";

QString name(const char *value)
{
    return QString::fromLatin1(value);
}

RegistryKey open(Registry &registry, const char *path)
{
    return registry.openSubKey(QString::fromLatin1(path));
}

void flag(RegistryKey &key, const char *value, bool on)
{
    key.writeInt(name(value), on ? 1 : 0);
}

} // namespace

UserOptions userOptionsFrom(const RegSettings &s, const QString &itemStoreFolder)
{
    UserOptions o;
    o.journal = s.journal;
    o.appointments = s.appointments;
    o.notes = s.notes;
    o.tasks = s.tasks;
    o.validation = s.validation;
    o.autostartTimer = s.settings.autostartTimer;
    o.timeFormat = s.settings.timeFormat;
    o.tooltips = s.settings.tooltips;
    o.idleMinutes = s.settings.idleMinutes;
    o.longRunMinutes = s.settings.longRunMinutes;
    o.workingDayStart = s.settings.workingDayStart;
    o.workingDayEnd = s.settings.workingDayEnd;
    o.quickFilterType = s.settings.quickFilterType;
    o.defaultLinkType = s.settings.defaultLinkType;
    o.timeDetailOption = s.settings.timeDetailOption;
    o.defaultFileDirectory = s.settings.defaultFileDirectory;
    o.mailCommand = s.settings.mailCommand;
    o.emailAddress = s.settings.emailAddress;
    o.browserCommand = s.settings.defaultBrowser;
    o.itemStoreFolder = itemStoreFolder;
    return o;
}

void applyUserOptions(const UserOptions &o, RegSettings &s)
{
    s.journal = o.journal;
    s.appointments = o.appointments;
    s.notes = o.notes;
    s.tasks = o.tasks;
    s.validation = o.validation;
    s.settings.autostartTimer = o.autostartTimer;
    s.settings.timeFormat = o.timeFormat;
    s.settings.tooltips = o.tooltips;
    s.settings.idleMinutes = o.idleMinutes;
    s.settings.longRunMinutes = o.longRunMinutes;
    s.settings.workingDayStart = o.workingDayStart;
    s.settings.workingDayEnd = o.workingDayEnd;
    s.settings.quickFilterType = o.quickFilterType;
    s.settings.defaultLinkType = o.defaultLinkType;
    s.settings.timeDetailOption = o.timeDetailOption;
    s.settings.defaultFileDirectory = o.defaultFileDirectory;
    s.settings.mailCommand = o.mailCommand;
    s.settings.emailAddress = o.emailAddress;
    s.settings.defaultBrowser = o.browserCommand;
}

QStringList checkUserOptions(const UserOptions &o)
{
    QStringList problems;
    const QFileInfo directory(o.defaultFileDirectory);
    if (!directory.isDir())
        problems << QStringLiteral("The default file directory \"%1\" does not exist.")
                        .arg(o.defaultFileDirectory);
    // The default names where a mail system keeps its sendmail; without one,
    // messages wait in the Outbox, which is no reason to refuse the options.
    if (!o.mailCommand.trimmed().isEmpty() &&
        o.mailCommand.trimmed() != QLatin1String(DefaultMailCommand)) {
        const pim::MailTransport transport(o.mailCommand);
        if (!transport.programExists())
            problems << QStringLiteral("The mail command \"%1\" cannot be found.")
                            .arg(transport.arguments().value(0));
    }
    if (const QStringList browser = QProcess::splitCommand(o.browserCommand);
        !browser.isEmpty() && QStandardPaths::findExecutable(browser.front()).isEmpty() &&
        !QFileInfo(browser.front()).isExecutable())
        problems << QStringLiteral("The web browser \"%1\" cannot be found.").arg(browser.front());
    if (o.emailAddress.trimmed().isEmpty())
        problems << QStringLiteral("Type the e-mail address your messages are sent from.");
    else if (!pim::parseMailbox(o.emailAddress))
        problems << QStringLiteral("\"%1\" is not an e-mail address. Type one such as "
                                   "name@example.org.")
                        .arg(o.emailAddress.trimmed());
    if (!o.itemStoreFolder.isEmpty() && !QFileInfo(o.itemStoreFolder).isDir())
        problems << QStringLiteral("The item store folder \"%1\" does not exist.")
                        .arg(o.itemStoreFolder);
    if (o.timeFormat < 0 || o.timeFormat > 3)
        problems << QStringLiteral("Choose one of the time formats.");
    return problems;
}

void writeUserOptions(Registry &registry, const UserOptions &o)
{
    RegistryKey journal = open(registry, P::DefaultsJournal);
    journal.writeText(name(V::DefaultCategory), o.journal.category);
    journal.writeText(name(V::DefaultEntryType), o.journal.entryType);
    journal.writeText(name(V::DefaultBillingStatus), o.journal.billingStatus);
    journal.writeText(name(V::DefaultRateSource), o.journal.rateSource);
    journal.writeText(name(V::DefaultRateLevel), o.journal.rateLevel);
    journal.writeText(name(V::DefaultMainActivity), QString::number(o.journal.mainActivity));
    journal.writeText(name(V::DefaultSubActivity), QString::number(o.journal.subActivity));
    flag(journal, V::AutoSave, o.journal.autoSave);

    RegistryKey appointments = open(registry, P::DefaultsAppointments);
    appointments.writeText(name(V::DefaultCategory), o.appointments.category);
    appointments.writeText(name(V::DefaultReminder), o.appointments.reminder);
    appointments.writeText(name(V::DefaultShowTimeAs), o.appointments.showTimeAs);
    appointments.writeText(name(V::DefaultDuration), o.appointments.duration);
    appointments.writeText(name(V::DefaultBillingInterval), o.appointments.billingInterval);

    open(registry, P::DefaultsNotes).writeText(name(V::DefaultCategory), o.notes.category);

    RegistryKey tasks = open(registry, P::DefaultsTasks);
    tasks.writeText(name(V::DefaultCategory), o.tasks.category);
    tasks.writeText(name(V::DefaultDueDate), o.tasks.dueDate);
    tasks.writeText(name(V::DefaultStart), o.tasks.start);
    tasks.writeText(name(V::DefaultReminder), o.tasks.reminder);
    tasks.writeText(name(V::DefaultPriority), o.tasks.priority);
    tasks.writeText(name(V::DefaultStatus), o.tasks.status);

    RegistryKey validation = open(registry, P::SettingsValidation);
    flag(validation, V::EndBeforeStart, o.validation.endBeforeStart);
    flag(validation, V::NoTimeSpent, o.validation.noTimeSpent);
    flag(validation, V::NoHourlyRate, o.validation.noHourlyRate);
    flag(validation, V::NoDescription, o.validation.noDescription);
    flag(validation, V::NoJobOrder, o.validation.noJobOrder);

    RegistryKey settings = open(registry, P::Settings);
    flag(settings, V::AutostartTimer, o.autostartTimer);
    settings.writeInt(name(V::TimeFormat), o.timeFormat);
    flag(settings, V::Tooltips, o.tooltips);
    settings.writeInt(name(V::IdleMinutes), o.idleMinutes);
    settings.writeInt(name(V::LongRunMinutes), o.longRunMinutes);
    settings.writeText(name(V::WorkingDayStart),
                       o.workingDayStart.toString(QStringLiteral("HH:mm")));
    settings.writeText(name(V::WorkingDayEnd), o.workingDayEnd.toString(QStringLiteral("HH:mm")));
    settings.writeInt(name(V::QuickFilterType), o.quickFilterType);
    settings.writeText(name(V::DefaultLinkType), QString::number(o.defaultLinkType));
    flag(settings, V::TimeDetailOption, o.timeDetailOption);
    settings.writeText(name(V::DefaultFileDirectory), o.defaultFileDirectory);
    settings.writeText(name(V::MailCommand), o.mailCommand);
    settings.writeText(name(V::EmailAddress), o.emailAddress.trimmed());
    settings.writeText(name(V::DefaultBrowser), o.browserCommand.trimmed());
    settings.writeText(QString::fromLatin1(ItemStoreFolder), o.itemStoreFolder);

    RegistryKey folders = open(registry, P::SettingsFolders);
    for (FolderSlot slot : UserFolderSlots) {
        const FolderId &id = o.folders[slot];
        if (id.entryId.isEmpty())
            continue;
        const QString stem = folderDisplayName(folderKindOf(slot));
        folders.writeText(stem + QLatin1String(V::EntryIdSuffix), id.entryId);
        folders.writeText(stem + QLatin1String(V::StoreIdSuffix), id.storeId);
    }
}

QString readItemStoreFolder(Registry &registry)
{
    return open(registry, P::Settings).readText(QString::fromLatin1(ItemStoreFolder));
}

} // namespace quorvale
