#include "WorkingSet.h"

#include "platform/core/QvError.h"
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
        m_timeCards.open(cnnLink, openedSql(), db::CursorType::Keyset, db::LockType::Optimistic);
        m_windowCaption = QStringLiteral(" Quorvale:  ") + context.userName;
        return true;
    } catch (const QvError &error) {
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
            throw QvError(ErrorNumber::Generic, QStringLiteral("The TimeCards are not open."),
                          QStringLiteral("frmTimeCard: ProcessSort"));
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
                         db::LockType::Optimistic);
        return true;
    } catch (const QvError &error) {
        m_timeCards.close();
        m_errors.handle(error);
        return false;
    }
}

} // namespace quorvale
