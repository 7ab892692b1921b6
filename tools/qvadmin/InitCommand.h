#pragma once

#include "qvadmin/Location.h"

#include <QString>

class QTextStream;

namespace quorvale {
class Registry;
}

namespace quorvale::admin {

struct InitOptions {
    Location location;
    QString userName;
    bool demo = false;
    bool force = false;
};

struct InitResult {
    int userId = 0;
    int timeCards = 0; // demo TimeCards written
};

// Creates the program, link, local and report databases (or, with a server, the
// program schema there and the three local files) and writes the start-up
// settings. All or nothing: a failure leaves neither new files nor new tables, and
// files it was told to replace are back as they were.
InitResult initialise(const InitOptions &options, Registry &registry);

// The user a database is made for when none is named: the login name.
QString defaultUserName();

// The "init" command line: [--user NAME] [--demo] [--force].
int runInit(const QStringList &args, const GlobalOptions &globals, QTextStream &out);

} // namespace quorvale::admin
