#include "TimeCardFilter.h"

#include "data/WorkingSet.h"
#include "filters/FilterFragment.h"
#include "support/Prompts.h"
#include "support/Trace.h"

namespace quorvale {

TimeCardFilter::TimeCardFilter(WorkingSet &workingSet, Prompts &prompts)
    : m_set(workingSet), m_prompts(prompts)
{
}

bool TimeCardFilter::filtered() const
{
    return !m_set.filter().isEmpty();
}

QString TimeCardFilter::filterCaption() const
{
    return filtered() ? QStringLiteral("Turn Filter Off") : QStringLiteral("Apply Filter");
}

TimeCardFilter::Result TimeCardFilter::reopen(const SqlFragment &fragment)
{
    if (!m_set.setFilter(fragment)) {
        m_quickId = 0;
        m_quickName.clear();
        return Result::Failed;
    }
    return fragment.isEmpty() ? Result::Cleared : Result::Applied;
}

TimeCardFilter::Result TimeCardFilter::ProcessFilter(const SqlFragment &fragment)
{
    TraceScope trace(u"frmTimeCard: ProcessFilter");
    if (fragment.isEmpty())
        return filtered() ? clear() : Result::Unchanged;
    if (!m_set.anyMatch(fragment)) {
        const PromptResult answer = m_prompts.messageBox(
            QStringLiteral("No Matching Records"),
            QStringLiteral("No records match the filter criteria. Do\r\nyou want to change the "
                           "filter criteria?"),
            PromptButtons::YesNo, PromptIcon::Question);
        return answer == PromptResult::Yes ? Result::ChangeCriteria : Result::Unchanged;
    }
    m_quickId = 0;
    m_quickName.clear();
    return reopen(fragment);
}

TimeCardFilter::Result TimeCardFilter::apply(const FilterCriteria &criteria)
{
    m_criteria = criteria;
    return ProcessFilter(BuildFilterFragment(criteria));
}

TimeCardFilter::Result TimeCardFilter::cancel()
{
    const Result result = ProcessFilter({});
    // Nobody but the current user can be chosen here, so the user stays.
    const qint32 user = m_criteria.userId;
    m_criteria = {};
    m_criteria.userId = user;
    return result;
}

TimeCardFilter::Result TimeCardFilter::clear()
{
    m_quickId = 0;
    m_quickName.clear();
    if (!filtered())
        return Result::Unchanged;
    return reopen({});
}

bool TimeCardFilter::quickFilterMayStart()
{
    if (m_quickId != 0 || m_set.timeCards().recordCount() >= 2)
        return true;
    m_prompts.messageBox(QStringLiteral(" No Records To Filter"),
                         QStringLiteral("There must be at least two TimeCards"));
    return false;
}

TimeCardFilter::Result TimeCardFilter::quickFilter(QuickFilterType type, qint32 id,
                                                   const QString &name)
{
    TraceScope trace(u"modQuickFilter: GetContactFilterString");
    if (id == 0)
        return m_quickId != 0 ? clear() : Result::Unchanged;
    if (m_set.timeCards().recordCount() == 0) {
        m_prompts.messageBox(QStringLiteral("Cancel Quick Filter Request"),
                             QStringLiteral("There are currently no records to filter."));
        return Result::Unchanged;
    }
    const SqlFragment fragment = quickFilterFragment(QuickFilterTable::TimeCards, type, id);
    if (!m_set.anyMatch(fragment)) {
        m_prompts.messageBox(
            QStringLiteral(" No Matching Records"),
            QStringLiteral("No records match the selected filter criteria.   \r\n"));
        return Result::Unchanged;
    }
    const Result result = reopen(fragment);
    if (result == Result::Applied) {
        m_quickId = id;
        m_quickName = name;
    }
    return result;
}

} // namespace quorvale
