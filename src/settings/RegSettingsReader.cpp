#include "settings/RegSettingsReader.h"

#include "platform/pim/MailMessage.h"
#include "platform/registry/Registry.h"
#include "platform/registry/RegistryPaths.h"
#include "settings/RegValueNames.h"

#include <algorithm>

namespace quorvale {

namespace {

namespace P = RegistryPaths;
namespace V = RegValue;

QString name(const char *value)
{
    return QString::fromLatin1(value);
}

// Activity ids and TimeCard ids are stored as text and may pass 16 bits.
qint32 readNumberText(const RegistryKey &key, const char *value, qint32 defaultValue)
{
    bool ok = false;
    const qint32 n = key.readText(name(value)).trimmed().toInt(&ok);
    return ok ? n : defaultValue;
}

bool readFlag(const RegistryKey &key, const char *value, bool defaultValue)
{
    return key.readInt(name(value), defaultValue ? 1 : 0) != 0;
}

QString readText(const RegistryKey &key, const char *value, const QString &defaultValue)
{
    return key.readText(name(value), defaultValue);
}

template <std::size_t N> void readCodes(const RegistryKey &key, std::array<qint16, N> &codes)
{
    for (std::size_t i = 0; i < N; ++i)
        codes[i] = key.readInt(QString::number(i), codes[i]);
}

RegistryKey open(Registry &registry, const char *path)
{
    return registry.openSubKey(QString::fromLatin1(path));
}

void readJournal(const RegistryKey &key, JournalDefaults &d)
{
    d.category = readText(key, V::DefaultCategory, d.category);
    d.entryType = readText(key, V::DefaultEntryType, d.entryType);
    d.billingStatus = readText(key, V::DefaultBillingStatus, d.billingStatus);
    d.rateSource = readText(key, V::DefaultRateSource, d.rateSource);
    d.rateLevel = readText(key, V::DefaultRateLevel, d.rateLevel);
    d.mainActivity = readNumberText(key, V::DefaultMainActivity, d.mainActivity);
    d.subActivity = readNumberText(key, V::DefaultSubActivity, d.subActivity);
    d.autoSave = readFlag(key, V::AutoSave, d.autoSave);
}

void readTasks(const RegistryKey &key, TaskDefaults &d)
{
    d.category = readText(key, V::DefaultCategory, d.category);
    d.dueDate = readText(key, V::DefaultDueDate, d.dueDate);
    d.start = readText(key, V::DefaultStart, d.start);
    d.reminder = readText(key, V::DefaultReminder, d.reminder);
    d.priority = readText(key, V::DefaultPriority, d.priority);
    d.status = readText(key, V::DefaultStatus, d.status);
    d.phoneDueDate = readText(key, V::DefaultPhoneDueDate, d.phoneDueDate);
    d.phoneReminder = readText(key, V::DefaultPhoneReminder, d.phoneReminder);
    d.phonePriority = readText(key, V::DefaultPhonePriority, d.phonePriority);
    d.phoneCategory = readText(key, V::DefaultPhoneCategory, d.phoneCategory);
}

void readAppointments(const RegistryKey &key, AppointmentDefaults &d)
{
    d.category = readText(key, V::DefaultCategory, d.category);
    d.reminder = readText(key, V::DefaultReminder, d.reminder);
    d.showTimeAs = readText(key, V::DefaultShowTimeAs, d.showTimeAs);
    d.duration = readText(key, V::DefaultDuration, d.duration);
    d.billingInterval = readText(key, V::DefaultBillingInterval, d.billingInterval);
}

void readValidation(const RegistryKey &key, ValidationFlags &f)
{
    f.endBeforeStart = readFlag(key, V::EndBeforeStart, f.endBeforeStart);
    f.noTimeSpent = readFlag(key, V::NoTimeSpent, f.noTimeSpent);
    f.noHourlyRate = readFlag(key, V::NoHourlyRate, f.noHourlyRate);
    f.noDescription = readFlag(key, V::NoDescription, f.noDescription);
    f.noJobOrder = readFlag(key, V::NoJobOrder, f.noJobOrder);
}

void readGeneral(const RegistryKey &key, GeneralSettings &s)
{
    s.defaultSort = readText(key, V::DefaultSort, s.defaultSort);
    s.showHiddenTimeCards = readFlag(key, V::ShowHiddenTimeCards, s.showHiddenTimeCards);
    s.quickFilterType = key.readInt(name(V::QuickFilterType), s.quickFilterType);
    s.timeFormat = key.readInt(name(V::TimeFormat), s.timeFormat);
    s.autostartTimer = readFlag(key, V::AutostartTimer, s.autostartTimer);
    s.tooltips = readFlag(key, V::Tooltips, s.tooltips);
    s.longRunMinutes = static_cast<qint16>(
        std::clamp<int>(key.readInt(name(V::LongRunMinutes), s.longRunMinutes), 0, 24 * 60));
    const auto clockTime = [&](const char *value, QTime fallback) {
        const QTime read =
            QTime::fromString(readText(key, value, QString()), QStringLiteral("HH:mm"));
        return read.isValid() ? read : fallback;
    };
    s.workingDayStart = clockTime(V::WorkingDayStart, s.workingDayStart);
    s.workingDayEnd = clockTime(V::WorkingDayEnd, s.workingDayEnd);
    s.idleMinutes = static_cast<qint16>(
        std::clamp<int>(key.readInt(name(V::IdleMinutes), s.idleMinutes), 0, 480));
    s.defaultLinkType = key.readInt(name(V::DefaultLinkType), s.defaultLinkType);
    s.timeDetailOption = readFlag(key, V::TimeDetailOption, s.timeDetailOption);
    s.startupTips = readFlag(key, V::StartupTips, s.startupTips);
    if (s.startupTips)
        s.startupTipNumber = key.readInt(name(V::StartupTipNumber), s.startupTipNumber);
    s.defaultBrowser = readText(key, V::DefaultBrowser, s.defaultBrowser);
    s.mailCommand = readText(key, V::MailCommand, s.mailCommand);
    s.emailAddress = readText(key, V::EmailAddress, QString()).trimmed();
    if (s.emailAddress.isEmpty())
        s.emailAddress = pim::environmentMailAddress();
    s.defaultFileDirectory = readText(key, V::DefaultFileDirectory, s.defaultFileDirectory);
    s.lastRecord = readNumberText(key, V::LastRecord, s.lastRecord);
    s.viewTimeDetail = readFlag(key, V::ViewTimeDetail, s.viewTimeDetail);
    s.viewActiveTaskList = readFlag(key, V::ViewActiveTaskList, s.viewActiveTaskList);
    s.formHeight = key.readInt(name(V::FormHeight), s.formHeight);
    s.formWidth = key.readInt(name(V::FormWidth), s.formWidth);
}

} // namespace

void readRegSettings(Registry &registry, RegSettings &settings)
{
    // Missing values read as the defaults, never as what a previous read left.
    const RegSettings defaults;
    settings.journal = defaults.journal;
    settings.tasks = defaults.tasks;
    settings.appointments = defaults.appointments;
    settings.notes = defaults.notes;
    settings.autoFill = defaults.autoFill;
    settings.validation = defaults.validation;
    settings.settings = defaults.settings;

    readJournal(open(registry, P::DefaultsJournal), settings.journal);
    readTasks(open(registry, P::DefaultsTasks), settings.tasks);
    readAppointments(open(registry, P::DefaultsAppointments), settings.appointments);
    settings.notes.category =
        readText(open(registry, P::DefaultsNotes), V::DefaultCategory, settings.notes.category);

    readCodes(open(registry, P::AutoFillJournal), settings.autoFill.journal);
    readCodes(open(registry, P::AutoFillTasks), settings.autoFill.tasks);
    readCodes(open(registry, P::AutoFillAppointments), settings.autoFill.appointments);
    readCodes(open(registry, P::AutoFillNotes), settings.autoFill.notes);

    readValidation(open(registry, P::SettingsValidation), settings.validation);
    readGeneral(open(registry, P::Settings), settings.settings);

    const RegistryKey license = open(registry, P::License);
    settings.license.userName = readText(license, V::UserName, QString());
    settings.license.userEid = readText(license, V::UserEid, QString());
    settings.license.userId = readText(license, V::UserId, QString());
}

} // namespace quorvale
