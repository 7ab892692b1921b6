#pragma once

#include "qvadmin/Location.h"

#include <QStringList>

class QTextStream;

namespace quorvale::admin {

// "contact add NAME [--account A] [--inactive]" and "contact list".
int runContact(const QStringList &args, const GlobalOptions &globals, QTextStream &out);

} // namespace quorvale::admin
