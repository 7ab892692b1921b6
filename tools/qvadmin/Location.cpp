#include "qvadmin/Location.h"

#include "data/DatabaseSettings.h"
#include "data/LinkCatalog.h"
#include "platform/core/QvError.h"
#include "platform/db/Connection.h"
#include "platform/registry/RegistryPaths.h"
#include "qvadmin/Arguments.h"
#include "support/AdminTool.h"
#include "support/EncryptPW.h"

#include <QDir>
#include <QFileInfo>
#include <cstdio>

namespace quorvale::admin {

namespace {

QString absolute(const QString &path)
{
    return QDir::cleanPath(QDir(path).absolutePath());
}

// The data directory the link catalogue names; nullopt when it links to a server.
std::optional<QString> dataDirFromLinks(const QString &programDir)
{
    const QString linkFile = joinPath(programDir, QLatin1String(DatabaseFile::Link));
    if (!QFileInfo::exists(linkFile))
        usageError(QStringLiteral("There is no link database '%1'.").arg(linkFile));
    db::Connection link;
    link.open(ConnectionStrings::linkDatabase(programDir) + QStringLiteral("Mode=Read;"));
    const auto reference = LinkCatalog(link).table(QStringLiteral("tblAdminOptions"));
    if (!reference)
        usageError(
            QStringLiteral("The link database '%1' links no program database.").arg(linkFile));
    if (reference->isPassThrough())
        return std::nullopt;
    return QFileInfo(reference->linkDatasource).absolutePath();
}

} // namespace

QString Location::dataFile() const
{
    return joinPath(dataDir, QLatin1String(DatabaseFile::Data));
}

QString Location::describe() const
{
    return server ? server->shortConnectString() : dataFile();
}

std::unique_ptr<Registry> openRegistry(const GlobalOptions &options)
{
    auto registry = options.settingsFile ? std::make_unique<Registry>(*options.settingsFile)
                                         : std::make_unique<Registry>();
    if (!registry->damageNotice().isEmpty())
        std::fprintf(stderr, "qvadmin: %s\n", qPrintable(registry->damageNotice()));
    return registry;
}

JoinChoice Location::joinChoice() const
{
    JoinChoice choice;
    if (server) {
        choice.kind = JoinChoice::Kind::Server;
        choice.server = *server;
    } else {
        choice.dataDir = dataDir;
    }
    return choice;
}

Location locationForInit(const GlobalOptions &options)
{
    Location location;
    location.programDir = absolute(options.programDir.value_or(programDirectory()));
    if (options.server) {
        location.server = ServerLogin::parse(*options.server);
        if (options.dataDir)
            usageError(QStringLiteral("--data-dir and --server exclude each other."));
    } else {
        location.dataDir = options.dataDir ? absolute(*options.dataDir) : location.programDir;
    }
    return location;
}

Location locationOfExisting(const GlobalOptions &options, Registry &registry)
{
    Location location;
    location.programDir = absolute(options.programDir.value_or(programDirectory()));
    if (options.server) {
        location.server = ServerLogin::parse(*options.server);
        return location;
    }
    if (options.dataDir) {
        location.dataDir = absolute(*options.dataDir);
        return location;
    }
    // A link database that reaches a server leaves the login to the settings,
    // which hold the password scrambled: how the program starts us for reports.
    bool linksToServer = false;
    if (options.programDir) {
        if (const std::optional<QString> dataDir = dataDirFromLinks(location.programDir)) {
            location.dataDir = *dataDir;
            return location;
        }
        linksToServer = true;
    }
    const RegistryKey key = registry.openSubKey(QLatin1String(RegistryPaths::Database));
    DatabaseSettings settings;
    settings.provider = key.readText(QStringLiteral("Provider"), settings.provider);
    settings.dataSource = key.readText(QStringLiteral("Data Source"));
    if (linksToServer && (settings.dataSource.isEmpty() || settings.isJet()))
        usageError(QStringLiteral("The link database in '%1' links to a database server that "
                                  "the settings '%2' do not name; name it with --server-file or "
                                  "the environment variable %3.")
                       .arg(location.programDir, registry.filePath(),
                            QLatin1String(ServerEnvironmentVariable)));
    if (settings.dataSource.isEmpty())
        usageError(QStringLiteral("No database is set up in '%1'; run \"qvadmin init\" or name "
                                  "one with --data-dir or --server.")
                       .arg(registry.filePath()));
    if (settings.isJet()) {
        location.dataDir = absolute(settings.dataDirectory());
        return location;
    }
    ServerLogin login;
    login.serverPart = settings.dataSource;
    login.catalog = key.readText(QStringLiteral("Catalog"));
    login.uid = key.readText(QStringLiteral("UID"));
    clsEncryptPW scrambler;
    scrambler.setKeyString(QLatin1String(clsEncryptPW::ProgramKey));
    login.password = scrambler.Encrypt(key.readText(QStringLiteral("PWD")));
    location.server = login;
    return location;
}

void openProgramDatabase(db::Connection &connection, const Location &location)
{
    if (location.server)
        connection.open(location.server->connectString());
    else
        connection.open(ConnectionStrings::programDatabase(location.dataDir));
    try {
        connection.scalar(QStringLiteral("SELECT COUNT(*) FROM tblAdminOptions"));
    } catch (const QvError &) {
        throw QvError(
            ErrorNumber::Generic,
            QStringLiteral("'%1' holds no Quorvale program database.").arg(location.describe()),
            connection.errorSource());
    }
}

} // namespace quorvale::admin
