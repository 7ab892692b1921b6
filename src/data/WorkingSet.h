#pragma once

#include "data/SortOrders.h"
#include "data/SqlFragment.h"
#include "data/WorkingSetSql.h"
#include "platform/db/Recordset.h"

#include <QString>

namespace quorvale {

class ErrorHandler;
namespace db {
class Connection;
}

// What the working set depends on besides the sort: the administrator's options
// and the user it belongs to.
struct WorkingSetContext {
    bool contactInUse = true;
    Terms terms;
    qint32 userId = 0;
    QString userName;
};

// The main window's working record set: the user's uninvoiced TimeCards in the
// chosen order, with the statements the filters and the expense window build on.
class WorkingSet {
public:
    explicit WorkingSet(ErrorHandler &errors) : m_errors(errors) {}

    // The ORDER BY clause in force ("Default Sort" at start-up).
    void setOrderBy(const QString &clause) { m_orderBy = clause; }
    const QString &orderBy() const { return m_orderBy; }

    // Builds the statements and opens the TimeCard set on cnnLink, still narrowed
    // by the filter in force. False when it could not be opened (the common error
    // handler has been told).
    bool SetRecordSet(bool includeHidden, db::Connection &cnnLink,
                      const WorkingSetContext &context);

    // Re-opens the open set in another order, keeping whatever the filters added
    // to its statement (with the filter's values): the statement opened is cut
    // before its ORDER BY and the new clause appended. False when it could not be
    // opened.
    bool Reorder(const QString &orderBy, const Terms &terms);

    // Whether the user's TimeCards narrowed by fragment hold any row; throws
    // QvError when the statement cannot run.
    bool anyMatch(const SqlFragment &fragment) const;
    // Re-opens the set narrowed by fragment (empty: the whole set), keeping the
    // same TimeCard current when it is still in the set, else the first. Pending
    // changes of the current row are saved first; a save that is refused is
    // dropped rather than stopping the change. False when it could not be opened
    // (the common error handler has been told; the filter is then none).
    bool setFilter(const SqlFragment &fragment);
    const SqlFragment &filter() const { return m_filter; }

    db::Recordset &timeCards() { return m_timeCards; }
    const WorkingSetSql &sql() const { return m_sql; }
    // The statement opened: base SQL + the filter's fragment + ORDER BY clause;
    // it runs with filter().params.
    QString openedSql() const { return m_sql.timeCardBase + m_filter.text + m_orderBy; }
    const QString &sortCaption() const { return m_sortCaption; }
    int sortToolId() const { return m_sortToolId; }
    const QString &windowCaption() const { return m_windowCaption; }

private:
    void applySortLookup(const Terms &terms);
    void reopen(db::Connection &connection);

    ErrorHandler &m_errors;
    db::Recordset m_timeCards;
    WorkingSetSql m_sql;
    SqlFragment m_filter;
    QString m_orderBy = QString::fromLatin1(SortOrders::DefaultClause);
    QString m_sortCaption;
    int m_sortToolId = SortOrders::DefaultToolId;
    QString m_windowCaption;
};

} // namespace quorvale
