#pragma once

#include "platform/pim/ItemType.h"
#include "qvadmin/ReportTable.h"

#include <QString>
#include <QStringList>
#include <optional>
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
    // A kind that lists store items: their kind and the column of their
    // EntryID, before which the report puts what each item says of itself.
    std::optional<pim::ItemType> itemType = std::nullopt;
    int entryIdColumn = -1;
    // The weekly timesheet: one person's week, its rows turned into days.
    bool weekly = false;
};

const std::vector<ReportKind> &reportKinds();
// The kind of that command-line name; nullptr when there is none.
const ReportKind *findReportKind(const QString &name);
QStringList reportKindNames();

} // namespace quorvale::admin
