#pragma once

#include "data/ServerLogin.h"

#include <QString>
#include <functional>
#include <vector>

namespace quorvale {

class Registry;

namespace db {
class Connection;
}

// A firm's program database that a person joins: a folder holding QVData.db
// (the file itself may be named), or a database server.
struct JoinChoice {
    enum class Kind { File, Server };
    Kind kind = Kind::File;
    QString dataDir;    // File: the folder of QVData.db
    ServerLogin server; // Server: server part, database, user, plain password

    static JoinChoice file(const QString &folderOrFile);
    // Throws QvError when the connect string names no server or no database.
    static JoinChoice fromConnectString(const QString &connectString);
    bool isServer() const { return kind == Kind::Server; }
};

// What the set-up window shows of a choice: the kind of database, its server
// ("Server", "DSN: name" or "Server: host"), its catalogue ("N/A" for a file),
// its user ("admin" for a file) and the data directory.
struct JoinSummary {
    QString kind;
    QString server;
    QString catalog;
    QString user;
    QString dataDirectory;
};
JoinSummary summarize(const JoinChoice &choice);

struct ProgramUser {
    int id = 0;
    QString name;
    QString entryId;
};

// Opens `c` on the chosen database, read-only for a file; a database that
// cannot be opened is told in words (QvError).
void openChosenDatabase(db::Connection &c, const JoinChoice &choice);

// The users of the chosen database, by name, read from a connection of its
// own. Throws QvError saying in words what is wrong: no database there, a file
// that is not a program database, a server that refuses the login, no users.
std::vector<ProgramUser> listProgramUsers(const JoinChoice &choice);

// Step `step` of `steps` is starting; `text` says which, for a person.
using SetupProgress = std::function<void(int step, int steps, const QString &text)>;

// Makes this person's program directory reach the chosen database as `user`:
// the link database is written anew to reach the file or the server, the local
// and report databases are made when missing (a person's own are kept), and
// the settings get the database, the user ("License") and the set-up date.
// All or nothing: on any failure the files and the settings are as they were,
// and a QvError says what happened.
void joinProgramDatabase(Registry &registry, const QString &programDir, const JoinChoice &choice,
                         const ProgramUser &user, const SetupProgress &progress = {});

// Whether a person who joins takes the administrator's default settings: the
// options row's RecordID begins with "2" (a database brought up to date by the
// upgrade).
bool administratorDefaultsApply(db::Connection &cnnLink);

} // namespace quorvale
