#pragma once

#include "data/SortOrders.h"
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

    // Builds the statements and opens the TimeCard set on cnnLink. False when it
    // could not be opened (the common error handler has been told).
    bool SetRecordSet(bool includeHidden, db::Connection &cnnLink,
                      const WorkingSetContext &context);

    // Re-opens the open set in another order, keeping whatever the filters added
    // to its statement: the statement opened is cut before its ORDER BY and the
    // new clause appended. False when it could not be opened.
    bool Reorder(const QString &orderBy, const Terms &terms);

    db::Recordset &timeCards() { return m_timeCards; }
    const WorkingSetSql &sql() const { return m_sql; }
    // The statement opened: base SQL + ORDER BY clause.
    QString openedSql() const { return m_sql.timeCardBase + m_orderBy; }
    const QString &sortCaption() const { return m_sortCaption; }
    int sortToolId() const { return m_sortToolId; }
    const QString &windowCaption() const { return m_windowCaption; }

private:
    void applySortLookup(const Terms &terms);

    ErrorHandler &m_errors;
    db::Recordset m_timeCards;
    WorkingSetSql m_sql;
    QString m_orderBy = QString::fromLatin1(SortOrders::DefaultClause);
    QString m_sortCaption;
    int m_sortToolId = SortOrders::DefaultToolId;
    QString m_windowCaption;
};

} // namespace quorvale
