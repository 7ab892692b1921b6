#pragma once

#include "qvadmin/ReportTable.h"

#include <QString>
#include <QStringList>
#include <vector>

namespace quorvale::admin {

// One report the main window's Reports and Billing menus ask for.
//
// sql is a fixed statement over the program tables. Wherever it holds a marker
// "{filter:USERCOLUMN,DATECOLUMN}" the report's filter is put in as bound
// conditions on those two columns (" AND USERCOLUMN = ?" ...), so no typed text
// ever becomes SQL.
struct ReportKind {
    QString name;  // the command-line name: "timecards", "wip", ...
    QString title; // the report's heading
    QString sql;
    std::vector<ReportColumn> columns;
};

const std::vector<ReportKind> &reportKinds();
// The kind of that command-line name; nullptr when there is none.
const ReportKind *findReportKind(const QString &name);
QStringList reportKindNames();

} // namespace quorvale::admin
