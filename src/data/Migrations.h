#pragma once

#include <QSqlDatabase>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

namespace quorvale::schema {

// One step from schema version - 1 to version. The statements run first, one at a
// time, then the function when there is one; either may throw QvError. All run
// inside the upgrade's transaction, so a step is applied whole or not at all.
struct Migration {
    int version = 0;
    QString description;
    QStringList statements;
    std::function<void(QSqlDatabase &)> apply;
};

// The program's own steps, oldest first. Version 1 is the schema as
// createProgramSchema makes it at that version; it has nothing to do.
const std::vector<Migration> &programMigrations();

// The version a database created or upgraded by this program is at.
int programSchemaVersion();

} // namespace quorvale::schema
