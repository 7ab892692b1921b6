#pragma once

#include <QStringList>

class QTextStream;

namespace quorvale::admin {

// Runs one qvadmin command line (without the program name). Results go to out;
// errors are written to err as one line each and give a non-zero result.
int runCommandLine(const QStringList &args, QTextStream &out, QTextStream &err);

// The text of "qvadmin --help".
QString helpText();

} // namespace quorvale::admin
