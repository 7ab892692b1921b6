#pragma once

#include "data/SchemaTables.h"
#include "data/SchemaTypes.h"

#include <QString>
#include <QStringList>

namespace quorvale::schema {

// The type and constraints of one column in one dialect, e.g. "BIGINT DEFAULT 0".
QString columnTypeSql(const Column &column, Dialect dialect);

// "CREATE TABLE ..." followed by one "CREATE INDEX ..." per index: one statement
// per entry, since the drivers run one statement at a time.
QStringList createTableStatements(const Table &table, Dialect dialect);

// Every statement that creates the tables of one database file.
QStringList createStatements(DatabaseKind kind, Dialect dialect);

} // namespace quorvale::schema
