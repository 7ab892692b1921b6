#include "qvadmin/InitCommand.h"

#include "data/DatabaseSettings.h"
#include "data/LocalDatabases.h"
#include "data/Schema.h"
#include "data/StagedFiles.h"
#include "platform/core/QvError.h"
#include "platform/db/Connection.h"
#include "platform/db/Transaction.h"
#include "qvadmin/AdminLog.h"
#include "qvadmin/Arguments.h"
#include "qvadmin/BaseRows.h"
#include "qvadmin/ContactCardsWriter.h"
#include "qvadmin/DemoData.h"
#include "qvadmin/ProgramDatabase.h"
#include "qvadmin/ServerSchema.h"
#include "qvadmin/ViewFiles.h"
#include "settings/JoinDatabase.h"
#include "settings/SetupSettings.h"

#include <QDate>
#include <QFileInfo>
#include <QTextStream>
#include <functional>

namespace quorvale::admin {

namespace {

const QString Source = QStringLiteral("qvadmin: init");

InitResult fillProgramDatabase(db::Connection &db, const InitOptions &options)
{
    InitResult result;
    db::Transaction tx(db);
    const BaseRowIds ids = insertBaseRows(db, options.userName);
    result.userId = ids.userId;
    if (options.demo)
        result.timeCards = insertDemoData(db, ids, QDate::currentDate()).timeCards;
    tx.commit();
    return result;
}

void refuseExisting(const QStringList &files, bool force)
{
    if (force)
        return;
    for (const QString &file : files) {
        if (QFileInfo::exists(file))
            throw QvError(
                ErrorNumber::Generic,
                QStringLiteral("'%1' already exists; use --force to replace it.").arg(file),
                Source);
    }
}

// The settings are the last step that can fail: the files are back as they were
// when it does.
void commitFilesAndSettings(StagedFiles &staged, SetupSettings &settings, Registry &registry,
                            int userId)
{
    staged.commit();
    try {
        settings.write(registry, userId);
    } catch (...) {
        staged.rollback();
        throw;
    }
}

InitResult initialiseFiles(const InitOptions &options, Registry &registry)
{
    const Location &location = options.location;
    const QString dataFile = location.dataFile();
    refuseExisting(localDatabaseFiles(location.programDir) << dataFile, options.force);
    SetupSettings settings(location.joinChoice(), options.userName);

    StagedFiles staged;
    staged.ensureDirectory(location.programDir);
    staged.ensureDirectory(location.dataDir);
    InitResult result;
    buildDatabaseFile(staged.stage(dataFile), [&](db::Connection &c) {
        QSqlDatabase db = c.database();
        schema::createProgramSchema(db, schema::Dialect::SQLite);
        schema::insertDefaultRows(db);
        result = fillProgramDatabase(c, options);
    });
    buildLocalDatabases(staged, location.programDir, [&](QSqlDatabase &linkDb) {
        schema::writeLinkCatalog(linkDb, dataFile, schema::sharedTableNames());
    });
    commitFilesAndSettings(staged, settings, registry, result.userId);
    staged.finish();
    return result;
}

InitResult initialiseServer(const InitOptions &options, Registry &registry)
{
    const Location &location = options.location;
    refuseExisting(localDatabaseFiles(location.programDir), options.force);
    // Before the server is touched: a password the settings cannot hold stops here.
    SetupSettings settings(location.joinChoice(), options.userName);

    db::Connection server;
    server.open(location.server->connectString());
    ServerSchema schema(server);
    if (schema.exists() && !options.force)
        throw QvError(ErrorNumber::Generic,
                      QStringLiteral("The database '%1' already holds Quorvale tables; use "
                                     "--force to replace them.")
                          .arg(location.server->catalog),
                      Source);

    StagedFiles staged;
    staged.ensureDirectory(location.programDir);
    const QString shortConnect = location.server->shortConnectString();
    buildLocalDatabases(staged, location.programDir, [&](QSqlDatabase &linkDb) {
        schema::writePassThroughCatalog(linkDb, shortConnect, schema::sharedTableNames());
    });

    // Replacing the tables commits last, after the files and the settings are in
    // place; until then any failure brings the old tables back.
    db::Transaction tx(server);
    schema.create();
    const InitResult result = fillProgramDatabase(server, options);
    commitFilesAndSettings(staged, settings, registry, result.userId);
    try {
        tx.commit();
    } catch (...) {
        try {
            settings.restore(registry);
        } catch (const QvError &e) {
            qCWarning(lcAdmin) << "could not restore the settings:" << e.description();
        }
        staged.rollback();
        throw;
    }
    staged.finish();
    return result;
}

} // namespace

QString defaultUserName()
{
    QString name = qEnvironmentVariable("USER");
    if (name.isEmpty())
        name = qEnvironmentVariable("LOGNAME");
    return name.isEmpty() ? QStringLiteral("Administrator") : name;
}

InitResult initialise(const InitOptions &options, Registry &registry)
{
    if (options.userName.trimmed().isEmpty())
        usageError(QStringLiteral("The user name must not be empty."));
    const InitResult result = options.location.server ? initialiseServer(options, registry)
                                                      : initialiseFiles(options, registry);
    qCInfo(lcAdmin) << "initialised" << options.location.describe() << "for user" << result.userId;
    return result;
}

int runInit(const QStringList &args, const GlobalOptions &globals, QTextStream &out)
{
    const Arguments a(args, {QStringLiteral("user")},
                      {QStringLiteral("demo"), QStringLiteral("force")});
    a.requireWords(0, 0, QStringLiteral("init [--user NAME] [--demo] [--force]"));
    InitOptions options;
    options.location = locationForInit(globals);
    options.userName = a.value(QStringLiteral("user"), defaultUserName());
    options.demo = a.has(QStringLiteral("demo"));
    options.force = a.has(QStringLiteral("force"));
    const auto registry = openRegistry(globals);
    const InitResult result = initialise(options, *registry);
    out << "Created the Quorvale databases in " << options.location.programDir << '\n'
        << "Program database: " << options.location.describe() << '\n'
        << "User: " << options.userName << " (UserID " << result.userId << ")\n";
    if (options.demo) {
        out << "Demo data: " << result.timeCards << " TimeCards\n";
        // The clients' cards go to the item store the program will open, so
        // its templates and the address book have them from the first start.
        ProgramDatabase program(globals);
        ContactCardsWriter cards(program.location(), *registry, program.connection());
        const int written = cards.writeDemoCards();
        out << "Contact cards: " << written << " in " << cards.storeRoot() << '\n';
        writeAutoFillTemplates(*registry, demoAutoFillTemplates());
    }
    out << "Settings written to " << registry->filePath() << '\n';
    if (const int views = installViewFiles(options.location.programDir, viewFileSources()))
        out << "View files: " << views << " copied\n";
    return 0;
}

} // namespace quorvale::admin
