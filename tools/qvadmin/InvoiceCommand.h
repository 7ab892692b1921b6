#pragma once

#include "qvadmin/Location.h"

#include <QStringList>

class QTextStream;

namespace quorvale::admin {

struct Invoice;

// The invoice as a person reads it in a terminal: number, client, one line per
// row, the total.
void printInvoice(const Invoice &invoice, QTextStream &out);

// "invoice --contact ID [--user ID] [--from DATE] [--to DATE] [--invoice N]".
int runInvoice(const QStringList &args, const GlobalOptions &globals, QTextStream &out,
               QTextStream &err);

} // namespace quorvale::admin
