#pragma once

#include "qvadmin/Location.h"

#include <QStringList>

class QTextStream;

namespace quorvale::admin {

// "terms [--contact T] [--activity1 T] [--activity2 T]": shows the words the
// firm uses for its clients and two activity lists, or renames them. A rename
// renames the rate source every TimeCard and the fixed rate source store in the
// same transaction, so no stored source is left naming a term that is gone.
int runTerms(const QStringList &args, const GlobalOptions &globals, QTextStream &out);

} // namespace quorvale::admin
