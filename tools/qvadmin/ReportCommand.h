#pragma once

#include "qvadmin/Location.h"
#include "qvadmin/ReportTable.h"

#include <QStringList>

class QTextStream;

namespace quorvale::admin {

struct ReportFiles {
    QString csv;
    QString html;
};

// Writes the table as "<kind>-<yyyyMMdd-HHmmss>.csv" and ".html" into dir
// (created when missing); a name already taken gets "-2", "-3", ... Each file is
// written whole or not at all.
ReportFiles writeReportFiles(const ReportTable &table, const QString &kind,
                             const QString &filterText, const QString &dir);

// "report KIND [--user ID] [--from DATE] [--to DATE] [--contact ID]
// [--status open|invoiced] [--out DIR]": prints the paths of the CSV and the
// HTML file, one a line, the HTML last. The timesheet covers the week --from
// lies in and needs --user.
int runReportCommand(const QStringList &args, const GlobalOptions &globals, QTextStream &out);

} // namespace quorvale::admin
