#include "qvadmin/ReportQuery.h"

#include "platform/db/Connection.h"

#include <QRegularExpression>
#include <QSqlQuery>
#include <QSqlRecord>

namespace quorvale::admin {

BoundReportSql bindReportFilter(const QString &sql, const ReportFilter &filter)
{
    // The column names come from the statements of ReportKinds, never from input.
    static const QRegularExpression marker(
        QStringLiteral(R"(\{filter:([A-Za-z0-9_.]+),([A-Za-z0-9_.]+)\})"));
    BoundReportSql bound;
    qsizetype done = 0;
    QRegularExpressionMatchIterator it = marker.globalMatch(sql);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        bound.sql += sql.mid(done, m.capturedStart() - done);
        const QString user = m.captured(1);
        const QString date = m.captured(2);
        if (filter.userId) {
            bound.sql += QStringLiteral(" AND ") + user + QStringLiteral(" = ?");
            bound.params << *filter.userId;
        }
        if (filter.from) {
            bound.sql += QStringLiteral(" AND ") + date + QStringLiteral(" >= ?");
            bound.params << *filter.from;
        }
        if (filter.to) {
            bound.sql += QStringLiteral(" AND ") + date + QStringLiteral(" <= ?");
            bound.params << *filter.to;
        }
        done = m.capturedEnd();
    }
    bound.sql += sql.mid(done);
    return bound;
}

ReportTable runReport(db::Connection &db, const ReportKind &kind, const ReportFilter &filter)
{
    const BoundReportSql bound = bindReportFilter(kind.sql, filter);
    QSqlQuery query = db.prepare(bound.sql);
    query.setForwardOnly(true);
    db.run(query, bound.params, bound.sql);
    ReportTable table;
    table.title = kind.title;
    table.columns = kind.columns;
    const int width = int(kind.columns.size());
    while (query.next()) {
        QVariantList row;
        row.reserve(width);
        for (int i = 0; i < width; ++i)
            row << query.value(i);
        table.rows.push_back(std::move(row));
    }
    return table;
}

} // namespace quorvale::admin
