#pragma once

#include "BenchTimer.h"

#include <QString>
#include <vector>

namespace quorvale::bench {

// One client's invoice over `timeCards` open billable TimeCards (beside as
// many of other clients), made by the program's own invoicing (choose the
// number, mark the rows, read the lines, record the invoice, all in one
// transaction) against the same statements through SQLite's C API; and, beside
// them without a baseline, laying out the invoice document as a PDF.
std::vector<Measure> measureInvoicing(const QString &dir, int timeCards, int repetitions);

} // namespace quorvale::bench
