#pragma once

#include "qvadmin/Location.h"

#include <QStringList>

class QTextStream;

namespace quorvale::admin {

// "user add NAME [--staff ID] [--permission ID] [--inactive]" and "user list".
int runUser(const QStringList &args, const GlobalOptions &globals, QTextStream &out);

} // namespace quorvale::admin
