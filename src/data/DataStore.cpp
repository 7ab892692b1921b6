#include "DataStore.h"

#include "data/AdminOptionOrdinals.h"
#include "data/DatabaseUpgrader.h"
#include "data/RefreshLinks.h"
#include "platform/core/QvError.h"
#include "platform/core/WholeFile.h"
#include "support/EncryptPW.h"
#include "support/ErrorHandler.h"
#include "support/Prompts.h"
#include "support/Trace.h"

#include <QFile>
#include <QLoggingCategory>

namespace quorvale {

Q_LOGGING_CATEGORY(lcDataStore, "quorvale.data.store")

namespace {

const QString kOpenDB = QStringLiteral("modSettings: OpenDB");
constexpr char16_t kCrLf[] = u"\r\n";

} // namespace

DataStore::DataStore(DatabaseSettings settings, QString programDir, Prompts &prompts,
                     ErrorHandler &errors)
    : m_settings(std::move(settings)), m_programDir(std::move(programDir)), m_prompts(prompts),
      m_errors(errors)
{
    m_upgrade = [](const QString &programDir, const QString &dataDir) {
        DatabaseUpgrader upgrader;
        upgrader.prepare(DatabaseUpgrader::ModeUpgrade, programDir, dataDir);
        const bool ok = upgrader.run();
        if (!ok)
            qCWarning(lcDataStore) << "database upgrade failed:" << upgrader.lastError();
        return ok;
    };
    m_serverWatch = std::make_unique<ServerWatch>(
        [this]() -> db::Connection * {
            try {
                return m_link.isOpen() ? &m_link.connection() : nullptr;
            } catch (const QvError &) {
                return nullptr;
            }
        },
        m_prompts);
    m_errors.connectionLost = [this](const QString &description) {
        return m_serverWatch->lost(description);
    };
}

DataStore::~DataStore()
{
    m_errors.connectionLost = nullptr;
    closeAll();
}

void DataStore::closeAll()
{
    m_adminOptions.close();
    m_data.reset();
    m_local.close();
    m_link.close();
}

void DataStore::withLocalClosed(const std::function<void()> &work)
{
    m_local.close();
    const auto reopen = [this] { m_local.open(ConnectionStrings::localDatabase(m_programDir)); };
    try {
        work();
    } catch (...) {
        reopen();
        throw;
    }
    reopen();
}

bool DataStore::VerifyDirectoriesAndFiles()
{
    TraceScope trace(u"modSettings: VerifyDirectoriesAndFiles");
    if (QFile::exists(joinPath(m_programDir, QLatin1String(DatabaseFile::Local))))
        return true;
    const QString crlf = QString::fromUtf16(kCrLf);
    m_prompts.messageBox(
        QStringLiteral("Missing Database File"),
        QStringLiteral("Quorvale cannot locate your database, \"") +
            QLatin1String(DatabaseFile::Local) + QStringLiteral("\". ") + crlf +
            QStringLiteral("This database is required to be located in the following ") +
            QStringLiteral("directory") + crlf + QStringLiteral("on your computer:") + crlf + crlf +
            m_programDir + crlf + crlf +
            QStringLiteral("Please locate this file and copy it to the above directory and") +
            crlf + QStringLiteral("then try starting Quorvale again."),
        PromptButtons::RetryCancel, PromptIcon::Critical);
    return false;
}

bool DataStore::OpenDB()
{
    TraceScope trace(u"modSettings: OpenDB");
    try {
        closeAll();
        openDatabases();
        return true;
    } catch (const QvError &error) {
        closeAll();
        m_errors.handle(error);
        return false;
    }
}

void DataStore::openDatabases()
{
    const QString linkString = ConnectionStrings::linkDatabase(m_programDir);
    bool refresh = false;
    m_serverPassword.clear();
    if (!m_settings.isJet()) {
        clsEncryptPW scrambler;
        scrambler.setKeyString(QString::fromLatin1(clsEncryptPW::ProgramKey));
        m_serverPassword = scrambler.Encrypt(m_settings.pwd);
        m_link.open(linkString);
        refresh = true;
    } else {
        switch (m_settings.connectionType) {
        case 0:
            m_link.open(linkString);
            refresh = true;
            break;
        case 1:
            m_data = std::make_unique<db::Connection>();
            m_data->open(ConnectionStrings::programDatabase(m_settings.dataDirectory()));
            m_link.open(linkString);
            refresh = true;
            break;
        case 2:
            m_link.open(ConnectionStrings::programDatabase(m_settings.dataDirectory()));
            break;
        default:
            // Nothing is opened for an unknown type; reading the options below then
            // fails with a clear message instead of running on no database.
            throw QvError(ErrorNumber::Generic,
                          QStringLiteral("The database connection type %1 is not valid.")
                              .arg(m_settings.connectionType),
                          kOpenDB);
        }
    }
    m_link.setServerPassword(m_serverPassword);
    if (refresh)
        openLinkAndRefresh();
    openAdminOptions();
    // A program newer than the file brings its schema up to date itself: a
    // firm that installs it must not first find its tables missing.
    if (m_settings.isJet() && m_settings.connectionType != 2 &&
        (upgradeRequested() || DatabaseUpgrader::isBehind(m_settings.dataDirectory())))
        runUpgrade();
    m_local.open(ConnectionStrings::localDatabase(m_programDir));
}

void DataStore::openLinkAndRefresh()
{
    bool force = false;
    if (RefreshLinks(force, m_link, m_settings)) {
        m_link.open(ConnectionStrings::linkDatabase(m_programDir));
        force = true;
        RefreshLinks(force, m_link, m_settings);
    }
}

void DataStore::openAdminOptions()
{
    m_adminOptions.open(m_link.connection(), QStringLiteral("SELECT * FROM tblAdminOptions"),
                        db::CursorType::Keyset, db::LockType::ReadOnly);
}

bool DataStore::upgradeRequested()
{
    if (m_adminOptions.eof())
        return false;
    const QVariant request = m_adminOptions.collect(AdminOption::UpgradeRequest);
    return !request.isNull() && request.toInt() == 1;
}

void DataStore::replaceLinkFile(const QString &backup, const QString &linkFile)
{
    // Written whole beside it, then renamed over the old file: there is never a
    // moment without a link database, and a full disk leaves the old one as it
    // was. The old file's journal and shared-memory files describe the old file
    // and must not be applied to the new one.
    QFile source(backup);
    if (!source.open(QIODevice::ReadOnly))
        throw QvError(ErrorNumber::Generic,
                      QStringLiteral("Could not read '%1': %2").arg(backup, source.errorString()),
                      kOpenDB);
    const QByteArray bytes = source.readAll();
    source.close();
    for (const char *side : {"-wal", "-shm", "-journal"})
        QFile::remove(linkFile + QLatin1String(side));
    WholeFileOptions options;
    options.errorNumber = ErrorNumber::Generic;
    options.errorSource = kOpenDB;
    writeWholeFile(linkFile, bytes, options);
    QFile::remove(backup);
}

void DataStore::runUpgrade()
{
    m_adminOptions.close();
    m_link.close();
    if (!m_upgrade(m_programDir, m_settings.dataDirectory()))
        throw QvError(
            ErrorNumber::Generic,
            QStringLiteral("The database upgrade of '%1' did not complete. The "
                           "database was left as it was.")
                .arg(joinPath(m_settings.dataDirectory(), QLatin1String(DatabaseFile::Data))),
            kOpenDB);
    const QString linkFile = joinPath(m_programDir, QLatin1String(DatabaseFile::Link));
    const QString backup = joinPath(m_programDir, QLatin1String(DatabaseFile::LinkBackup));
    if (QFile::exists(backup))
        replaceLinkFile(backup, linkFile);
    m_link.open(ConnectionStrings::linkDatabase(m_programDir));
    openLinkAndRefresh();
    {
        db::Recordset record;
        record.open(m_link.connection(), QStringLiteral("SELECT RecordID FROM tblAdminOptions"),
                    db::CursorType::Dynamic, db::LockType::Optimistic);
        if (!record.eof()) {
            record.setValue(QStringLiteral("RecordID"), 21);
            record.update();
        }
    }
    openAdminOptions();
}

} // namespace quorvale
