#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <functional>

namespace quorvale {

class StagedFiles;

namespace db {
class Connection;
}

// Makes one new SQLite file at path and fills it on a connection of its own,
// closed again before anyone renames the file, so no -wal is left beside it.
void buildDatabaseFile(const QString &path, const std::function<void(db::Connection &)> &fill);

enum class LocalDatabases {
    Replace, // every file made anew
    KeepOwn, // QVLocal.db and QVReport.db made only where missing: a person's own
};

// A person's own databases in the program directory: QVLink.db, with the link
// catalogue that writeCatalog writes, QVLocal.db and QVReport.db, each built
// under a staged name and placed when `staged` commits.
void buildLocalDatabases(StagedFiles &staged, const QString &programDir,
                         const std::function<void(QSqlDatabase &)> &writeCatalog,
                         LocalDatabases which = LocalDatabases::Replace);

// Their final paths.
QStringList localDatabaseFiles(const QString &programDir);

} // namespace quorvale
