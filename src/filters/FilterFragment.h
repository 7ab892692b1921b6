#pragma once

#include "data/SqlFragment.h"
#include "filters/FilterCriteria.h"

namespace quorvale {

// `cmdApply_Click`'s fragment: one clause per criterion present, in the order
// contact, activity 1, activity 2, billing status, rate source, entry type,
// categories, rate, start date, end date, job order, each " AND "-joined and
// the whole led by " AND ". Every value is bound, so quotes, "%" or SQL in a
// typed text match literally. Empty when no criterion is present.
SqlFragment BuildFilterFragment(const FilterCriteria &criteria);

} // namespace quorvale
