#pragma once

#include "data/SqlFragment.h"

#include <QString>
#include <QtGlobal>

namespace quorvale {

// The working sets the quick filter narrows.
enum class QuickFilterTable { TimeCards = 0, Expenses = 1, FixedCharges = 2 };

// The "Quick Filter Type" setting: which column one choice narrows by.
enum class QuickFilterType { Contact = 0, Activity1 = 1, Activity2 = 2 };

// Clamps a stored setting to a type (anything unknown narrows by contact).
QuickFilterType quickFilterTypeOf(int setting);

// The quick filter's fragment: " AND " + table + "." + column + " = ?" with the
// id bound. Empty for id 0, which stands for no choice.
SqlFragment quickFilterFragment(QuickFilterTable table, QuickFilterType type, qint32 id);

} // namespace quorvale
