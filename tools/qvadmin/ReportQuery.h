#pragma once

#include "qvadmin/ReportKinds.h"

#include <QVariantList>

namespace quorvale::db {
class Connection;
}

namespace quorvale::admin {

// The statement of a kind with its filter markers replaced by bound conditions,
// and the values to bind, in order.
struct BoundReportSql {
    QString sql;
    QVariantList params;
};
BoundReportSql bindReportFilter(const QString &sql, const ReportFilter &filter);

// Whether a statement's filter markers name a contact column and an invoice
// column, so that a filter by client or by billing status can apply to it.
struct ReportNarrowing {
    bool byContact = false;
    bool byStatus = false;
};
ReportNarrowing reportNarrowing(const QString &sql);

// Runs the kind's statement on the program database.
ReportTable runReport(db::Connection &db, const ReportKind &kind, const ReportFilter &filter);

} // namespace quorvale::admin
