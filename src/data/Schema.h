#pragma once

#include "data/SchemaTypes.h"

#include <QSqlDatabase>
#include <QString>
#include <QStringList>

// Creating the databases. Each function runs its statements in one transaction on
// an open connection and throws QvError (nothing created) when one fails.
namespace quorvale::schema {

// Types of a link catalogue entry.
inline constexpr const char *LinkTypeLink = "LINK";
inline constexpr const char *LinkTypePassThrough = "PASS-THROUGH";
// Provider string of a link to the program database file; the password part keeps
// the format the link's readers expect.
inline constexpr const char *LinkProviderJet = "MS Access;Pwd=r9h)2m!]7kWq4/TbNeYs";

// Every shared table with its indexes; on SQLite the file is stamped with the
// current schema version (PRAGMA user_version).
void createProgramSchema(QSqlDatabase &db, Dialect dialect);
// The single rows of tblAdminOptions and tblUserSettings, with their defaults.
void insertDefaultRows(QSqlDatabase &db);

void createLinkSchema(QSqlDatabase &db);
void createLocalSchema(QSqlDatabase &db);
void createReportSchema(QSqlDatabase &db);

// The tables the link database links: every table of the program database.
QStringList sharedTableNames();

// Replaces the link catalogue's rows by one Jet link per table to dataFilePath.
void writeLinkCatalog(QSqlDatabase &linkDb, const QString &dataFilePath,
                      const QStringList &tableNames);
// The same with one pass-through link per table to the server the provider
// string names (server part and database, never the password).
void writePassThroughCatalog(QSqlDatabase &linkDb, const QString &providerString,
                             const QStringList &tableNames);

} // namespace quorvale::schema
