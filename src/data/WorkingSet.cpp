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
        if (const SortOrder *order = SortOrders::findByClause(m_orderBy)) {
            m_sortCaption = order->caption(context.terms);
            m_sortToolId = order->toolId;
        } else {
            // A stored text that is not one of ours is never run: the set opens unsorted.
            m_orderBy.clear();
            m_sortCaption.clear();
            m_sortToolId = SortOrders::DefaultToolId;
        }
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

} // namespace quorvale
