#pragma once

#include "data/SqlFragment.h"
#include "filters/FilterCriteria.h"
#include "filters/QuickFilter.h"

#include <QString>

namespace quorvale {

class Prompts;
class WorkingSet;

// The main window's filter over its working set: the filter dialog's criteria
// and the quick filter's one choice, at most one of them in force. Asks the
// person through Prompts; the caller validates the current TimeCard first.
class TimeCardFilter {
public:
    enum class Result {
        Applied,        // the set is narrowed by the new fragment
        Cleared,        // the set is whole again
        Unchanged,      // nothing to do, or nothing matched and the person let it be
        ChangeCriteria, // nothing matched and the person wants the dialog again
        Failed,         // the set could not be re-opened (the error handler was told)
    };

    TimeCardFilter(WorkingSet &workingSet, Prompts &prompts);

    // `ProcessFilter`: a non-empty fragment is applied when it matches a
    // TimeCard, else "No Matching Records" asks whether to change the criteria;
    // an empty one turns a filter in force off. Throws QvError when the test
    // statement cannot run.
    Result ProcessFilter(const SqlFragment &fragment);

    // The dialog's Apply: keeps the criteria for the rest of the run and filters
    // by them.
    Result apply(const FilterCriteria &criteria);
    // The dialog's Cancel: turns the filter off and forgets the criteria.
    Result cancel();
    const FilterCriteria &criteria() const { return m_criteria; }

    // Whether the quick filter may start: with no quick filter in force the set
    // must hold two TimeCards, else "No Records To Filter" is told.
    bool quickFilterMayStart();
    // Narrows the set to the TimeCards of one contact or activity (id 0 clears
    // the quick filter). Nothing matching is told and leaves the set as it was.
    Result quickFilter(QuickFilterType type, qint32 id, const QString &name);
    qint32 quickFilterId() const { return m_quickId; }
    const QString &quickFilterName() const { return m_quickName; }

    bool filtered() const;
    // Turns any filter off; the criteria stay for the dialog.
    Result clear();
    // The filter command's caption: "Apply Filter", or "Turn Filter Off".
    QString filterCaption() const;

private:
    Result reopen(const SqlFragment &fragment);

    WorkingSet &m_set;
    Prompts &m_prompts;
    FilterCriteria m_criteria;
    qint32 m_quickId = 0;
    QString m_quickName;
};

} // namespace quorvale
