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

// Runs the kind's statement on the program database.
ReportTable runReport(db::Connection &db, const ReportKind &kind, const ReportFilter &filter);

} // namespace quorvale::admin
