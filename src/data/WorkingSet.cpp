#include "WorkingSet.h"

#include "platform/core/QvError.h"
#include "platform/db/Command.h"
#include "support/ErrorHandler.h"
#include "support/Trace.h"

namespace quorvale {

bool WorkingSet::SetRecordSet(bool includeHidden, db::Connection &cnnLink,
                              const WorkingSetContext &context)
{
    TraceScope trace(u"modSettings: SetRecordSet");
    try {
        applySortLookup(context.terms);
        m_sql = WorkingSetSql::build(context.contactInUse, includeHidden, context.userId);
        reopen(cnnLink);
        m_windowCaption = QStringLiteral(" Quorvale:  ") + context.userName;
        return true;
    } catch (const QvError &error) {
        m_timeCards.close();
        m_errors.handle(error);
        return false;
    }
}

void WorkingSet::reopen(db::Connection &connection)
{
    m_timeCards.close();
    m_timeCards.open(connection, openedSql(), db::CursorType::Keyset, db::LockType::Optimistic,
                     m_filter.params);
}

bool WorkingSet::anyMatch(const SqlFragment &fragment) const
{
    db::Connection *connection = m_timeCards.connection();
    if (!connection)
        throw QvError(ErrorNumber::ObjectClosed, QStringLiteral("The TimeCards are not open."),
                      QStringLiteral("frmTimeCard: ProcessFilter"));
    db::Command test(*connection, m_sql.timeCardBase + fragment.text);
    return test.first(fragment.params).has_value();
}

bool WorkingSet::setFilter(const SqlFragment &fragment)
{
    TraceScope trace(u"frmTimeCard: ProcessFilter");
    try {
        db::Connection *connection = m_timeCards.connection();
        if (!connection)
            throw QvError(ErrorNumber::ObjectClosed, QStringLiteral("The TimeCards are not open."),
                          QStringLiteral("frmTimeCard: ProcessFilter"));
        QVariant current;
        if (!m_timeCards.bof() && !m_timeCards.eof()) {
            if (m_timeCards.editMode() != db::EditMode::None) {
                try {
                    m_timeCards.update();
                } catch (const QvError &) {
                    m_timeCards.cancelUpdate();
                }
            }
            current = m_timeCards.bookmark();
        }
        m_filter = fragment;
        reopen(*connection);
        if (current.isValid() && m_timeCards.recordCount() > 0) {
            m_timeCards.find(QStringLiteral("TimeCardID"), current);
            if (m_timeCards.eof())
                m_timeCards.moveFirst();
        }
        return true;
    } catch (const QvError &error) {
        m_filter = {};
        m_timeCards.close();
        m_errors.handle(error);
        return false;
    }
}

void WorkingSet::applySortLookup(const Terms &terms)
{
    if (const SortOrder *order = SortOrders::findByClause(m_orderBy)) {
        m_sortCaption = order->caption(terms);
        m_sortToolId = order->toolId;
    } else {
        // A stored text that is not one of ours is never run: the set opens unsorted.
        m_orderBy.clear();
        m_sortCaption.clear();
        m_sortToolId = SortOrders::DefaultToolId;
    }
}

bool WorkingSet::Reorder(const QString &orderBy, const Terms &terms)
{
    TraceScope trace(u"frmTimeCard: ProcessSort");
    try {
        db::Connection *connection = m_timeCards.connection();
        if (!connection)
            throw QvError(ErrorNumber::ObjectClosed, QStringLiteral("The TimeCards are not open."),
                          QStringLiteral("frmTimeCard: ProcessSort"));
        // Whatever narrows the statement stays: it is cut before its ORDER BY and
        // re-run with the filter's values, which its "?" stand for.
        QString source = m_timeCards.source();
        const qsizetype cut =
            source.lastIndexOf(QLatin1String("ORDER BY"), -1, Qt::CaseInsensitive);
        if (cut >= 0)
            source.truncate(cut);
        // The clause begins with its own blank.
        while (source.endsWith(QLatin1Char(' ')))
            source.chop(1);
        m_orderBy = orderBy;
        applySortLookup(terms);
        m_timeCards.close();
        m_timeCards.open(*connection, source + m_orderBy, db::CursorType::Keyset,
                         db::LockType::Optimistic, m_filter.params);
        return true;
    } catch (const QvError &error) {
        m_timeCards.close();
        m_errors.handle(error);
        return false;
    }
}

} // namespace quorvale
