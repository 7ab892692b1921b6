#include "SettingsCommands.h"

#include "outlook/OutlookSession.h"
#include "platform/pim/Namespace.h"
#include "platform/registry/Registry.h"
#include "platform/registry/RegistryKey.h"
#include "settings/AdminSettings.h"
#include "settings/RegSettings.h"
#include "settings/RegSettingsReader.h"
#include "settings/RegistrySettings.h"
#include "settings/TimeCardSettings.h"
#include "settings/UserOptions.h"
#include "support/ErrorHandler.h"
#include "support/Prompts.h"
#include "timecards/CommandTable.h"
#include "timecards/TimeCardChoices.h"
#include "timecards/TimeCardEditor.h"
#include "timecards/TimeFormat.h"
#include "ui/DesktopIdle.h"
#include "ui/frmTimeCard.h"
#include "ui/frmUserOptions.h"

#include <QAction>

namespace quorvale {

SettingsCommands::SettingsCommands(frmTimeCard &window, OutlookSession &outlook,
                                   RegSettings &settings, const AdminOptions &options,
                                   const QString &timeFormat, Registry &registry, Prompts &prompts,
                                   TimeCardEditor &editor, db::Connection &cnnLink,
                                   ErrorHandler &errors)
    : m_window(window), m_outlook(outlook), m_settings(settings), m_options(options),
      m_timeFormat(timeFormat), m_registry(registry), m_prompts(prompts), m_editor(editor),
      m_cnnLink(cnnLink), m_errors(errors)
{
}

bool SettingsCommands::handles(int toolId) const
{
    return (toolId >= ToolId::TimeFormat1 && toolId <= ToolId::TimeFormat3) ||
           toolId == ToolId::UserOptions || toolId == ToolId::RetrieveAdminSettings;
}

void SettingsCommands::run(int toolId)
{
    if (toolId == ToolId::UserOptions)
        userOptions();
    else if (toolId == ToolId::RetrieveAdminSettings)
        retrieveAdminSettings();
    else
        setTimeFormat(toolId - ToolId::TimeFormat1 + 1);
}

void SettingsCommands::applySettings()
{
    checkTimeFormat(m_settings.settings.timeFormat);
    m_window.setToolTipsShown(m_settings.settings.tooltips);
}

void SettingsCommands::setTimeFormat(int setting)
{
    m_registry.openSubKey(QStringLiteral("Settings"))
        .writeInt(QStringLiteral("Time Format"), static_cast<qint16>(setting));
    m_settings.settings.timeFormat = static_cast<qint16>(setting);
    m_window.fields().setTimeFormat(qtTimeFormat(chooseTimeFormat(m_timeFormat, setting)));
    m_window.showCurrent();
    checkTimeFormat(setting);
}

void SettingsCommands::userOptions()
{
    OutlookSession &outlook = m_outlook;
    const AdminOptions &admin = m_options;
    frmUserOptions::Context context;
    context.entryTypes = entryTypes();
    context.billingStatuses = billingStatuses();
    context.rateSources = offeredRateSources(rateOptions(admin));
    context.categories = outlook.nameSpace().categories();
    if (admin.journalFolderFixed)
        context.fixedFolders << FolderSlot::Journal;
    if (admin.appointmentsFolderFixed)
        context.fixedFolders << FolderSlot::TimeCardAppointments;
    if (admin.notesFolderFixed)
        context.fixedFolders << FolderSlot::Notes;
    for (FolderSlot slot : UserFolderSlots)
        if (const std::optional<pim::Folder> &folder = outlook.folder(slot))
            context.folderNames.insert(slot, folder->name());
    context.chooseFolder =
        [&outlook](FolderSlot slot) -> std::optional<std::pair<FolderId, QString>> {
        const std::optional<pim::Folder> folder = outlook.GetOLFolder(folderKindOf(slot));
        if (!folder)
            return std::nullopt;
        return std::make_pair(FolderId{folder->entryId(), folder->storeId()}, folder->name());
    };
    context.idleUnavailable = DesktopIdle().unavailableReason();
    frmUserOptions dialog(userOptionsFrom(m_settings, readItemStoreFolder(m_registry)),
                          std::move(context), m_prompts, &m_window);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const UserOptions chosen = dialog.options();
    const bool mailChanged = chosen.mailCommand != m_settings.settings.mailCommand ||
                             chosen.emailAddress != m_settings.settings.emailAddress;
    writeUserOptions(m_registry, chosen);
    applyUserOptions(chosen, m_settings);
    settingsChanged();
    if (mailChanged && m_mailChanged)
        m_mailChanged();
}

void SettingsCommands::retrieveAdminSettings()
{
    const PromptResult answer = m_prompts.messageBox(
        QStringLiteral(" Retrieve Administrator Settings"),
        QStringLiteral("Are you sure you want to retrieve the administrator's ") +
            QStringLiteral("default AutoFill and User Option settings?"),
        PromptButtons::YesNo, PromptIcon::Question);
    if (answer != PromptResult::Yes)
        return;
    // A failed copy has been reported; what was read at start stays in force.
    if (!RetrieveAdminDefaults(m_registry, m_cnnLink, m_errors))
        return;
    const QString mailCommand = m_settings.settings.mailCommand;
    const QString emailAddress = m_settings.settings.emailAddress;
    try {
        readRegSettings(m_registry, m_settings);
    } catch (const std::exception &error) {
        m_errors.handle(error);
        return;
    }
    settingsChanged();
    if (m_mailChanged && (mailCommand != m_settings.settings.mailCommand ||
                          emailAddress != m_settings.settings.emailAddress))
        m_mailChanged();
}

void SettingsCommands::settingsChanged()
{
    const qint16 timeFormat = m_settings.settings.timeFormat;
    m_editor.setOptions(editorOptions(m_options, m_settings));
    m_window.setToolTipsShown(m_settings.settings.tooltips);
    m_window.fields().setTimeFormat(qtTimeFormat(chooseTimeFormat(m_timeFormat, timeFormat)));
    checkTimeFormat(timeFormat);
    m_window.showCurrent();
    if (m_linkTypeChanged)
        m_linkTypeChanged(m_settings.settings.defaultLinkType);
}

void SettingsCommands::checkTimeFormat(int setting)
{
    const QString format = chooseTimeFormat(m_timeFormat, setting);
    const char *formats[] = {TimeFormats::AmPm, TimeFormats::Hours24, TimeFormats::Seconds24};
    for (int i = 0; i < 3; ++i)
        if (QAction *tool = m_window.toolById(ToolId::TimeFormat1 + i))
            tool->setChecked(format == QLatin1String(formats[i]));
}

} // namespace quorvale
