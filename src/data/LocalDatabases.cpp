#include "data/LocalDatabases.h"

#include "data/DatabaseSettings.h"
#include "data/Schema.h"
#include "data/StagedFiles.h"
#include "platform/db/Connection.h"

#include <QFileInfo>

namespace quorvale {

void buildDatabaseFile(const QString &path, const std::function<void(db::Connection &)> &fill)
{
    db::Connection::createSqliteFile(path);
    db::Connection connection;
    connection.open(QStringLiteral("PROVIDER=") + QLatin1String(JetProvider) +
                    QStringLiteral(";Data Source=") + path + u';');
    fill(connection);
    connection.close();
}

void buildLocalDatabases(StagedFiles &staged, const QString &programDir,
                         const std::function<void(QSqlDatabase &)> &writeCatalog,
                         LocalDatabases which)
{
    const auto wanted = [&](const char *file) {
        return which == LocalDatabases::Replace ||
               !QFileInfo::exists(joinPath(programDir, QLatin1String(file)));
    };
    buildDatabaseFile(staged.stage(joinPath(programDir, QLatin1String(DatabaseFile::Link))),
                      [&](db::Connection &c) {
                          QSqlDatabase db = c.database();
                          schema::createLinkSchema(db);
                          writeCatalog(db);
                      });
    if (wanted(DatabaseFile::Local))
        buildDatabaseFile(staged.stage(joinPath(programDir, QLatin1String(DatabaseFile::Local))),
                          [](db::Connection &c) {
                              QSqlDatabase db = c.database();
                              schema::createLocalSchema(db);
                          });
    if (wanted(DatabaseFile::Report))
        buildDatabaseFile(staged.stage(joinPath(programDir, QLatin1String(DatabaseFile::Report))),
                          [](db::Connection &c) {
                              QSqlDatabase db = c.database();
                              schema::createReportSchema(db);
                          });
}

QStringList localDatabaseFiles(const QString &programDir)
{
    return {joinPath(programDir, QLatin1String(DatabaseFile::Link)),
            joinPath(programDir, QLatin1String(DatabaseFile::Local)),
            joinPath(programDir, QLatin1String(DatabaseFile::Report))};
}

} // namespace quorvale
