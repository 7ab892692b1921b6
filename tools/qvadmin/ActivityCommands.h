#pragma once

#include "qvadmin/Location.h"

#include <QStringList>

class QTextStream;

namespace quorvale::admin {

// "activity add NAME [--level 1|2] [--number N] [--contact ID]" and
// "activity list [--level 1|2]".
int runActivity(const QStringList &args, const GlobalOptions &globals, QTextStream &out);

} // namespace quorvale::admin
