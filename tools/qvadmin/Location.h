#pragma once

#include "data/ServerLogin.h"
#include "platform/registry/Registry.h"
#include "settings/JoinDatabase.h"

#include <QString>
#include <memory>
#include <optional>

namespace quorvale::db {
class Connection;
}

namespace quorvale::admin {

// The options every command shares: where the databases are and which settings
// file to use.
struct GlobalOptions {
    std::optional<QString> server;       // --server: an ODBC connect string
    std::optional<QString> serverFile;   // --server-file: a 0600 file holding one
    std::optional<QString> settingsFile; // --settings: the settings file
    std::optional<QString> programDir;   // --program-dir
    std::optional<QString> dataDir;      // --data-dir
};

// Where a command's databases are: the program directory with the link, local and
// report databases, and either the data directory holding QVData.db or a server.
struct Location {
    QString programDir;
    QString dataDir; // empty with a server
    std::optional<ServerLogin> server;

    QString dataFile() const; // <dataDir>/QVData.db
    QString describe() const; // the file or the server, for messages
    JoinChoice joinChoice() const;
};

// The settings file the options name, or the user's own.
std::unique_ptr<Registry> openRegistry(const GlobalOptions &options);

// For init: the directories named, else the default program directory, and the
// data directory defaulting to the program directory. Paths come back absolute.
Location locationForInit(const GlobalOptions &options);

// For commands on an existing database, first match wins: --server; --data-dir;
// --program-dir (the data file its link catalogue names, or, when it links to a
// server, the server of the "Database" settings); the "Database" settings.
Location locationOfExisting(const GlobalOptions &options, Registry &registry);

// Opens the program database of location on connection; throws QvError when it is
// missing or holds no program schema.
void openProgramDatabase(db::Connection &connection, const Location &location);

} // namespace quorvale::admin
