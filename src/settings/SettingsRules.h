#pragma once

#include <QString>
#include <QtGlobal>

namespace quorvale {

struct AdminOptions;

// "Staff Rates" and "Staff Level Rates" are the user's own choice to keep; any
// other stored default rate source gives way to the administrator's choice.
bool isStaffRateSource(const QString &rateSource);

// The quick filter type (0 contact, 1 Activity 1, 2 Activity 2) moved off a
// field that is not in use: three tests in turn, each seeing the result of the
// one before. 0 without contacts becomes 1; 1 without Activity 1 becomes 2; 2
// without Activity 2 becomes 0 when contacts are in use, else 1.
qint16 adjustQuickFilterType(qint16 stored, const AdminOptions &options);

} // namespace quorvale
