#pragma once

#include "qvadmin/Location.h"

#include <QStringList>

class QTextStream;

namespace quorvale::admin {

// "join --user NAME|ID [--force]" with --data-dir DIR (the folder of an
// existing QVData.db) or a server: this program directory and its settings
// then reach that database as that user, as the set-up window does it.
int runJoin(const QStringList &args, const GlobalOptions &globals, QTextStream &out);

} // namespace quorvale::admin
