#pragma once

#include <QString>
#include <QStringList>

namespace quorvale::shell {

// What handing a file to the desktop came to. The desktop tells little once it
// has taken the file, so only what can be seen beforehand is told apart.
enum class OpenResult {
    Opened,
    FileNotFound,  // the folder exists, the file does not
    PathNotFound,  // the folder itself is missing
    AccessDenied,  // the file cannot be read by this user
    NoAssociation, // the desktop has no program for it (or no opener at all)
};

// Opens a file with the program the desktop associates with its type. The path
// goes to the desktop as a file URL, never through a command line.
OpenResult openPath(const QString &path);

// Starts a program of its own, detached, with the arguments as given (no shell
// parses them). False when it could not be started.
bool startProgram(const QString &program, const QStringList &arguments = {});

// Opens a web page: with browserCommand when one is set (a program and its
// arguments as a command line, the address added last), else with the
// desktop's browser. False when nothing could be started.
bool openWebPage(const QString &url, const QString &browserCommand = QString());

} // namespace quorvale::shell
