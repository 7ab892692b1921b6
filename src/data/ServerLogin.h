#pragma once

#include "data/DatabaseSettings.h"

#include <QString>

namespace quorvale {

// A database server as an administrator names it on the command line, e.g.
// "DSN=QuorvaleTest;Database=quorvale_test;UID=qvtest;PWD=secret;", split into the
// parts the program keeps apart in its settings: the server part (everything but
// the database, user and password, in the order given), the catalog, the user and
// the plain password.
struct ServerLogin {
    QString serverPart; // ends in ';', e.g. "DSN=QuorvaleTest;"
    QString catalog;
    QString uid;
    QString password;

    // Throws QvError (InvalidCharacter) when the text names no server or no
    // database.
    static ServerLogin parse(const QString &connectString);

    // The settings a program start reads (password still plain: the caller
    // scrambles it before it is stored).
    DatabaseSettings settings() const;
    // What the link catalogue keeps: server part + "Database=" + catalog + ";".
    QString shortConnectString() const;
    // What a connection is opened with, user and password included.
    QString connectString() const;
};

} // namespace quorvale
