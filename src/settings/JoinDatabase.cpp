#include "settings/JoinDatabase.h"

#include "data/DatabaseSettings.h"
#include "data/LocalDatabases.h"
#include "data/Schema.h"
#include "data/StagedFiles.h"
#include "platform/core/QvError.h"
#include "platform/db/Connection.h"
#include "platform/registry/Registry.h"
#include "settings/SetupSettings.h"

#include <QDir>
#include <QFileInfo>
#include <QSqlQuery>

namespace quorvale {

namespace {

const QString Source = QStringLiteral("frmInitialSetup: Command2_Click");

[[noreturn]] void refuse(const QString &text)
{
    throw QvError(ErrorNumber::Generic, text, Source);
}

QString dataFileOf(const JoinChoice &choice)
{
    return QDir(choice.dataDir).filePath(QLatin1String(DatabaseFile::Data));
}

} // namespace

void openChosenDatabase(db::Connection &c, const JoinChoice &choice)
{
    if (!choice.isServer()) {
        const QString file = dataFileOf(choice);
        if (!QFileInfo(file).isFile())
            refuse(QStringLiteral("There is no program database \"%1\" in the folder \"%2\". "
                                  "Choose the folder that holds %1.")
                       .arg(QLatin1String(DatabaseFile::Data),
                            QDir::toNativeSeparators(choice.dataDir)));
        try {
            c.open(ConnectionStrings::programDatabase(choice.dataDir) +
                   QStringLiteral("Mode=Read;"));
        } catch (const QvError &e) {
            refuse(QStringLiteral("\"%1\" could not be opened as a program database: %2")
                       .arg(QDir::toNativeSeparators(file), e.description()));
        }
        return;
    }
    try {
        c.open(choice.server.connectString());
    } catch (const QvError &e) {
        refuse(QStringLiteral("The database server did not let us in: %1").arg(e.description()));
    }
}

namespace {

void requireProgramTables(db::Connection &c, const QString &where)
{
    QStringList tables = c.tables();
    for (QString &t : tables)
        t = t.toLower();
    for (const char *needed : {"tblUsers", "tblAdminOptions", "tblTimeCards", "tblContacts"})
        if (!tables.contains(QString::fromLatin1(needed).toLower()))
            refuse(QStringLiteral("%1 is not a Quorvale program database: it has no %2 table.")
                       .arg(where, QLatin1String(needed)));
}

QString whereOf(const JoinChoice &choice)
{
    return choice.isServer()
               ? QStringLiteral("The database \"%1\" on the server").arg(choice.server.catalog)
               : QStringLiteral("\"%1\"").arg(QDir::toNativeSeparators(dataFileOf(choice)));
}

} // namespace

JoinChoice JoinChoice::file(const QString &folderOrFile)
{
    JoinChoice choice;
    const QFileInfo info(folderOrFile);
    // Either the folder or QVData.db in it may be named.
    const bool dataFile =
        info.isFile() ||
        info.fileName().compare(QLatin1String(DatabaseFile::Data), Qt::CaseInsensitive) == 0;
    choice.dataDir = QDir::cleanPath(dataFile ? info.absolutePath() : info.absoluteFilePath());
    return choice;
}

JoinChoice JoinChoice::fromConnectString(const QString &connectString)
{
    JoinChoice choice;
    choice.kind = Kind::Server;
    choice.server = ServerLogin::parse(connectString);
    return choice;
}

JoinSummary summarize(const JoinChoice &choice)
{
    JoinSummary s;
    if (!choice.isServer()) {
        s.kind = QStringLiteral("Microsoft Access");
        s.server = QStringLiteral("Server");
        s.catalog = QStringLiteral("N/A");
        s.user = QStringLiteral("admin");
        s.dataDirectory = QDir::toNativeSeparators(choice.dataDir);
        return s;
    }
    s.kind = QStringLiteral("Microsoft SQL Server");
    const QString &source = choice.server.serverPart;
    if (source.startsWith(QLatin1String("DSN"), Qt::CaseInsensitive)) {
        // "DSN=name;": what follows the first four characters, without the last.
        s.server = QStringLiteral("DSN: ") + source.mid(4).chopped(source.size() > 4 ? 1 : 0);
    } else {
        const qsizetype at = source.indexOf(QLatin1String("Server="), 0, Qt::CaseInsensitive);
        const qsizetype from = at < 0 ? -1 : at + 7;
        const qsizetype end = from < 0 ? -1 : source.indexOf(u';', from);
        s.server = QStringLiteral("Server: ") +
                   (from < 0 ? QString() : source.mid(from, end < 0 ? -1 : end - from));
    }
    s.catalog = choice.server.catalog;
    s.user = choice.server.uid;
    return s;
}

std::vector<ProgramUser> listProgramUsers(const JoinChoice &choice)
{
    db::Connection c;
    openChosenDatabase(c, choice);
    requireProgramTables(c, whereOf(choice));
    std::vector<ProgramUser> users;
    c.readRows(QStringLiteral("SELECT UserID, UserName, UserEntryID FROM tblUsers ORDER BY "
                              "UserName, UserID"),
               {}, [&](QVariant *values, int) {
                   users.push_back({values[0].toInt(), values[1].toString(), values[2].toString()});
               });
    if (users.empty())
        refuse(QStringLiteral("%1 has no users yet. The administrator adds them with "
                              "\"qvadmin user add\".")
                   .arg(whereOf(choice)));
    return users;
}

void joinProgramDatabase(Registry &registry, const QString &programDir, const JoinChoice &choice,
                         const ProgramUser &user, const SetupProgress &progress)
{
    const auto step = [&](int n, const QString &text) {
        if (progress)
            progress(n, 3, text);
    };
    step(1, QStringLiteral("Checking the program database..."));
    {
        db::Connection c;
        openChosenDatabase(c, choice);
        requireProgramTables(c, whereOf(choice));
        if (c.scalar(QStringLiteral("SELECT COUNT(*) FROM tblUsers WHERE UserID = ?"), {user.id})
                .toLongLong() != 1)
            refuse(QStringLiteral("%1 has no user \"%2\" any more; choose the user again.")
                       .arg(whereOf(choice), user.name));
    }
    // Before any file is touched: a password the settings cannot hold stops here.
    SetupSettings settings(choice, user.name, user.entryId);

    step(2, QStringLiteral("Making this computer's own databases..."));
    StagedFiles staged;
    staged.ensureDirectory(programDir);
    const QString dataFile = dataFileOf(choice);
    buildLocalDatabases(
        staged, programDir,
        [&](QSqlDatabase &linkDb) {
            if (choice.isServer())
                schema::writePassThroughCatalog(linkDb, choice.server.shortConnectString(),
                                                schema::sharedTableNames());
            else
                schema::writeLinkCatalog(linkDb, dataFile, schema::sharedTableNames());
        },
        LocalDatabases::KeepOwn);

    step(3, QStringLiteral("Storing the settings..."));
    staged.commit();
    try {
        settings.write(registry, user.id);
    } catch (...) {
        staged.rollback();
        throw;
    }
    staged.finish();
}

bool administratorDefaultsApply(db::Connection &cnnLink)
{
    const QVariant id = cnnLink.scalar(QStringLiteral("SELECT RecordID FROM tblAdminOptions"));
    return id.isValid() && id.toString().startsWith(u'2');
}

} // namespace quorvale
