#pragma once

#include "qvadmin/Location.h"

#include <QDateTime>
#include <QStringList>
#include <functional>

class QTextStream;

namespace quorvale::admin {

// The time the commands stamp their files with; tests set their own.
using Now = std::function<QDateTime()>;

// "backup [--to DIR] [--keep N] [--if-due]": a checked copy of the program
// database; on a server, the command to run there.
// "backup --schedule --to DIR --every DAYS [--keep N]": sets the schedule only.
int runBackup(const QStringList &args, const GlobalOptions &globals, QTextStream &out,
              const Now &now = QDateTime::currentDateTime);

// "restore FILE [--force] [--to DIR]": replaces the program database with a
// checked backup, keeping the current one in DIR.
int runRestore(const QStringList &args, const GlobalOptions &globals, QTextStream &out,
               const Now &now = QDateTime::currentDateTime);

// "compact": the local and report databases of the program directory.
int runCompact(const QStringList &args, const GlobalOptions &globals, QTextStream &out);

} // namespace quorvale::admin
