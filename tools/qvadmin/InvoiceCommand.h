#pragma once

#include "qvadmin/Location.h"

#include <QStringList>

class QTextStream;

namespace quorvale {
struct Invoice;
}

namespace quorvale::admin {

// The invoice as a person reads it in a terminal: one line per row, the totals.
void printInvoice(const Invoice &invoice, QTextStream &out);

// "invoice --contact ID [--user ID] [--from DATE] [--to DATE] [--invoice N]
// [--date DATE] [--out DIR] [--preview]", "invoice --void N --reason TEXT",
// "invoice --show N".
int runInvoice(const QStringList &args, const GlobalOptions &globals, QTextStream &out,
               QTextStream &err);

// "firm show", "firm set [--name N] [--address A] [--tax-number T]
// [--tax-rate PERCENT] [--terms-days D] [--note TEXT]".
int runFirm(const QStringList &args, const GlobalOptions &globals, QTextStream &out);

} // namespace quorvale::admin
