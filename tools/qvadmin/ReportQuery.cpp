#include "qvadmin/ReportQuery.h"

#include "platform/db/Connection.h"

#include <QRegularExpression>
#include <QSqlQuery>
#include <QSqlRecord>

namespace quorvale::admin {

namespace {

// "{filter:USER,DATE}", optionally ",CONTACT" and ",INVOICE" after DATE. The
// column names come from the statements of ReportKinds, never from input.
const QRegularExpression &filterMarker()
{
    static const QRegularExpression marker(QStringLiteral(
        R"(\{filter:([A-Za-z0-9_.]+),([A-Za-z0-9_.]+)(?:,([A-Za-z0-9_.]+))?(?:,([A-Za-z0-9_.]+))?\})"));
    return marker;
}

} // namespace

ReportNarrowing reportNarrowing(const QString &sql)
{
    ReportNarrowing narrowing;
    QRegularExpressionMatchIterator it = filterMarker().globalMatch(sql);
    bool any = false;
    narrowing.byContact = narrowing.byStatus = true;
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        any = true;
        // Every part of a union must narrow, or rows of the other clients
        // would slip in through the part that does not.
        narrowing.byContact = narrowing.byContact && m.hasCaptured(3);
        narrowing.byStatus = narrowing.byStatus && m.hasCaptured(4);
    }
    if (!any)
        narrowing = {};
    return narrowing;
}

BoundReportSql bindReportFilter(const QString &sql, const ReportFilter &filter)
{
    const QRegularExpression &marker = filterMarker();
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
        if (filter.contactId && m.hasCaptured(3)) {
            bound.sql += QStringLiteral(" AND ") + m.captured(3) + QStringLiteral(" = ?");
            bound.params << *filter.contactId;
        }
        if (filter.status && m.hasCaptured(4))
            bound.sql += QStringLiteral(" AND ") + m.captured(4) +
                         (*filter.status == ReportStatus::Open ? QStringLiteral(" IS NULL")
                                                               : QStringLiteral(" IS NOT NULL"));
        done = m.capturedEnd();
    }
    bound.sql += sql.mid(done);
    return bound;
}

ReportTable runReport(db::Connection &db, const ReportKind &kind, const ReportFilter &filter)
{
    const BoundReportSql bound = bindReportFilter(kind.sql, filter);
    ReportTable table;
    table.title = kind.title;
    table.columns = kind.columns;
    const int width = int(kind.columns.size());
    db.readRows(bound.sql, bound.params, [&](QVariant *values, int columns) {
        QVariantList row;
        row.reserve(width);
        for (int i = 0; i < width; ++i)
            row << (i < columns ? std::move(values[i]) : QVariant());
        table.rows.push_back(std::move(row));
    });
    return table;
}

} // namespace quorvale::admin
