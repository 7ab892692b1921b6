#include "StartUp.h"

#include "data/DatabaseSettings.h"
#include "outlook/ContactCards.h"
#include "platform/core/QvError.h"
#include "platform/pim/Namespace.h"
#include "platform/registry/Registry.h"
#include "platform/registry/RegistryKey.h"
#include "platform/registry/RegistryPaths.h"
#include "settings/RegistrySettings.h"
#include "support/ErrorHandler.h"
#include "support/Prompts.h"
#include "support/Trace.h"
#include "timecards/TimeFormat.h"

#include <QDateTime>
#include <QFile>
#include <QLocale>
#include <QLoggingCategory>

namespace quorvale {

namespace {

Q_LOGGING_CATEGORY(lcStartUp, "quorvale.startup")

const QString kDatabaseKey = QString::fromLatin1(RegistryPaths::Database);
const QString kSettingsKey = QString::fromLatin1(RegistryPaths::Settings);
const QString kSetupDate = QStringLiteral("Setup Date");

// How long a start may spend making the cards of contacts that have none.
constexpr qint64 ContactCardsPerStartMs = 1000;

} // namespace

bool holdsDate(const QString &text)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    if (QDateTime::fromString(t, Qt::ISODate).isValid() ||
        QDate::fromString(t, Qt::ISODate).isValid())
        return true;
    const QLocale locale;
    for (QLocale::FormatType format : {QLocale::ShortFormat, QLocale::LongFormat}) {
        if (locale.toDateTime(t, format).isValid() || locale.toDate(t, format).isValid())
            return true;
    }
    return false;
}

StartUp::StartUp(Registry &registry, Prompts &prompts, ErrorHandler &errors,
                 StartUpEnvironment environment)
    : m_registry(registry), m_prompts(prompts), m_errors(errors), m_env(std::move(environment))
{
}

StartUp::~StartUp()
{
    // The working set reads through the link connection: it goes first.
    m_workingSet.reset();
    m_commands = PreparedCommands();
    m_outlook.reset();
    m_store.reset();
}

bool StartUp::Form_Load()
{
    TraceScope trace(u"frmTimeCard: Form_Load");
    // Steps left out here: the splash window, the contact picker and the link
    // list's columns belong to the windows that show them; there is no
    // operating-system version to refuse.
    const bool loaded = VerifyRegistryKeys() && ReadDatabaseKey() && InitialSetup() &&
                        VerifyDirectoriesAndFiles() && OpenDB() && StampSetupDate() &&
                        ReadWindowSettings() && CreateOutlookInstance() && LoadSettings() &&
                        AdaptMenus() && SetRecordSet() && SetTimeFormat() && Finish();
    if (!loaded && m_errors.restorePointer)
        m_errors.restorePointer();
    return loaded;
}

bool StartUp::VerifyRegistryKeys()
{
    return quorvale::VerifyRegistryKeys(m_registry, m_errors);
}

bool StartUp::ReadDatabaseKey()
{
    m_databaseSettings = DatabaseSettings::read(m_registry.openSubKey(kDatabaseKey));
    return true;
}

bool StartUp::InitialSetup()
{
    if (m_databaseSettings.linkedDb == 0 || holdsDate(m_databaseSettings.setupDate))
        return true;
    m_firstRunSetup = true;
    if (m_initialSetup) {
        m_initialSetup(m_registry, m_env.programDir);
    } else {
        QVariantMap values{{QStringLiteral("programDir"), m_env.programDir}};
        m_prompts.showDialog(QString::fromLatin1(DialogName::InitialSetup), values);
    }
    // The set-up writes what it chose; whatever it wrote (the password too) is
    // read again. Without a set-up date the program ends without a word.
    m_databaseSettings = DatabaseSettings::read(m_registry.openSubKey(kDatabaseKey));
    return holdsDate(m_databaseSettings.setupDate);
}

bool StartUp::VerifyDirectoriesAndFiles()
{
    m_store =
        std::make_unique<DataStore>(m_databaseSettings, m_env.programDir, m_prompts, m_errors);
    return m_store->VerifyDirectoriesAndFiles();
}

bool StartUp::OpenDB()
{
    return m_store->OpenDB();
}

bool StartUp::StampSetupDate()
{
    if (holdsDate(m_databaseSettings.setupDate))
        return true;
    TraceScope trace(u"frmTimeCard: Form_Load");
    try {
        // ISO form: a date any locale reads back the same way.
        m_databaseSettings.setupDate = QDateTime::currentDateTime().toString(Qt::ISODate);
        m_registry.openSubKey(kDatabaseKey).writeText(kSetupDate, m_databaseSettings.setupDate);
        return true;
    } catch (const QvError &error) {
        m_errors.handle(error);
        return false;
    }
}

bool StartUp::ReadWindowSettings()
{
    const RegistryKey settings = m_registry.openSubKey(kSettingsKey);
    m_viewTimeDetail = settings.readInt(QStringLiteral("View Time Detail"), 1) != 0;
    m_viewActiveTaskList = settings.readInt(QStringLiteral("View Active Task List"), 1) != 0;
    m_windowSizeTwips = storedWindowSize(QSize(settings.readInt(QStringLiteral("Form Width"), 0),
                                               settings.readInt(QStringLiteral("Form Height"), 0)));
    return true;
}

bool StartUp::CreateOutlookInstance()
{
    m_outlook = std::make_unique<OutlookSession>(m_env.itemStoreRoot, m_registry, m_prompts);
    if (!m_outlook->CreateOutlookInstance())
        return false;
    // From here on the error handler reconnects a lost item store before it
    // reports anything.
    m_outlook->connectErrorHandler(m_errors);
    return true;
}

bool StartUp::LoadSettings()
{
    TraceScope trace(u"frmTimeCard: LoadSettings");
    // Folders never chosen stay empty here: the item-store connection takes its
    // default folders for them itself, and follows them again when a lost store
    // has to be made anew, instead of holding on to ids of the old one.
    const DefaultFolderFn defaultFolder = [](FolderKind) { return FolderId(); };
    if (!GetRegSettings(m_registry, m_store->cnnLink(), m_store->rsAdminOptions(), defaultFolder,
                        m_prompts, m_errors, m_settings, m_options, m_env.runningRevision))
        return false;
    if (!RetrieveUserPermissions(m_settings.staffId, m_settings.permissionId, m_options,
                                 m_store->cnnLink(), m_errors, m_permissions))
        return false;
    if (!m_outlook->SetFolderObjects(m_settings.folders) || m_outlook->ended())
        return false;
    if (!ProcessAdminOptions(m_store->cnnLink(), m_options, m_commands, m_errors))
        return false;
    m_outlook->CheckOLVersion();
    makeContactCards();
    return true;
}

void StartUp::makeContactCards()
{
    const std::optional<pim::Folder> &contacts = m_outlook->folder(FolderSlot::Contacts);
    if (!m_options.contactInUse || !contacts)
        return;
    // Contacts added elsewhere (the administrator tool, another person's
    // program) get their card here, so the templates and the address book have
    // the client. A card that cannot be written now is tried again next start.
    try {
        // Bounded in number and time, so that a firm's first starts after an
        // upgrade or an import of many contacts stay short: each card is a file
        // made safe on disk and a row, milliseconds apiece on a server.
        ContactCards(m_outlook->nameSpace(), *contacts, m_store->cnnLink())
            .makeMissing(2000, QDeadlineTimer(ContactCardsPerStartMs));
    } catch (const QvError &error) {
        qCWarning(lcStartUp).noquote() << "contact cards not made:" << error.description();
    }
}

bool StartUp::AdaptMenus()
{
    m_toolChanges = quorvale::AdaptMenus(m_options.terms);
    return true;
}

WorkingSetContext StartUp::workingSetContext() const
{
    return WorkingSetContext{m_options.contactInUse, m_options.terms, m_settings.userId,
                             m_settings.license.userName};
}

bool StartUp::SetRecordSet()
{
    m_workingSet = std::make_unique<WorkingSet>(m_errors);
    m_workingSet->setOrderBy(m_settings.settings.defaultSort);
    if (!m_workingSet->SetRecordSet(m_settings.settings.showHiddenTimeCards, m_store->cnnLink(),
                                    workingSetContext()))
        return false;
    const std::vector<ToolChange> adjusted = AdjustInterface(m_options, m_permissions);
    m_toolChanges.insert(m_toolChanges.end(), adjusted.begin(), adjusted.end());
    // The TimeCard current when the program last closed is current again, when
    // it is still in the set.
    db::Recordset &cards = m_workingSet->timeCards();
    if (cards.recordCount() > 0) {
        cards.find(QStringLiteral("TimeCardID"), m_settings.settings.lastRecord);
        if (cards.eof())
            cards.moveFirst();
    }
    return true;
}

bool StartUp::SetTimeFormat()
{
    m_timeFormat = chooseTimeFormat(m_env.systemTimeFormat, m_settings.settings.timeFormat);
    return true;
}

bool StartUp::Finish()
{
    m_helpFile = joinPath(m_env.programDir, QStringLiteral("Quorvale.html"));
    if (m_errors.restorePointer)
        m_errors.restorePointer();
    return true;
}

bool StartUp::Form_Activate()
{
    if (m_activated)
        return m_reportingAvailable;
    m_activated = true;
    m_store->closeDataConnection();
    const QString reportFile = joinPath(m_env.programDir, QLatin1String(DatabaseFile::Report));
    const bool adminTool = !m_env.adminToolPath.isEmpty() && QFile::exists(m_env.adminToolPath);
    if (adminTool && !QFile::exists(reportFile)) {
        const QString crlf = QStringLiteral("\r\n");
        m_prompts.messageBox(
            QStringLiteral("Missing Report Database"),
            QStringLiteral("Quorvale cannot locate your report database, \"") +
                QLatin1String(DatabaseFile::Report) + QStringLiteral("\". ") + crlf +
                QStringLiteral("This database is required to be located in the following ") +
                QStringLiteral("directory on") + crlf + QStringLiteral("your computer:") + crlf +
                crlf + m_env.programDir + crlf + crlf +
                QStringLiteral("To use Quorvale' reporting functionality, please locate this "
                               "file") +
                crlf + QStringLiteral("and copy it to the above directory."),
            PromptButtons::Ok, PromptIcon::Warning);
    }
    m_reportingAvailable = adminTool && QFile::exists(reportFile);
    return m_reportingAvailable;
}

void StartUp::Form_QueryUnload(const WindowClosing &closing)
{
    TraceScope trace(u"frmTimeCard: Form_QueryUnload:");
    try {
        Registry::Batch batch(m_registry);
        RegistryKey settings = m_registry.openSubKey(kSettingsKey);
        if (closing.currentTimeCardId.isValid())
            settings.writeText(QStringLiteral("Last Record"), closing.currentTimeCardId.toString());
        settings.writeText(QStringLiteral("Default Sort"), closing.orderBy);
        settings.writeInt(QStringLiteral("Form Width"),
                          static_cast<qint16>(qBound(0, closing.sizeTwips.width(), 32767)));
        settings.writeInt(QStringLiteral("Form Height"),
                          static_cast<qint16>(qBound(0, closing.sizeTwips.height(), 32767)));
        settings.writeInt(QStringLiteral("Show Hidden TimeCards"), closing.showHidden ? 1 : 0);
        settings.writeInt(QStringLiteral("View Time Detail"), closing.viewTimeDetail ? 1 : 0);
        settings.writeInt(QStringLiteral("View Active Task List"),
                          closing.viewActiveTaskList ? 1 : 0);
        batch.commit();
    } catch (const QvError &error) {
        m_errors.handle(error);
    }
}

bool StartUp::refreshPreparedCommands()
{
    return ProcessAdminOptions(m_store->cnnLink(), m_options, m_commands, m_errors);
}

QSize storedWindowSize(QSize savedTwips)
{
    if (savedTwips.width() <= 0 || savedTwips.height() <= 0 || savedTwips == QSize(8220, 7125))
        return DefaultWindowTwips;
    return savedTwips;
}

} // namespace quorvale
