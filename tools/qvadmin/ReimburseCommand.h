#pragma once

#include "qvadmin/Location.h"

#include <QStringList>

class QTextStream;

namespace quorvale::admin {

// "reimburse --user ID [--to DATE] [--expense ID]... [--reference TEXT] [--date DATE]":
// records that the user was paid back for the expenses and prints what was recorded.
int runReimburse(const QStringList &args, const GlobalOptions &globals, QTextStream &out);

} // namespace quorvale::admin
