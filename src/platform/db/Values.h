#pragma once

#include "SqlDialect.h"

#include <QDate>
#include <QVariant>

namespace quorvale::db {

// The value a program-side QVariant is bound as. Booleans become -1/0, Money its
// integer count of ten-thousandths. On SQLite dates, times and date-times become ISO
// text ("yyyy-MM-dd", "HH:mm:ss", "yyyy-MM-ddTHH:mm:ss"), so they sort and compare as
// text and read back through QVariant::toDate()/toTime()/toDateTime(); other engines
// take them as typed values. A null of no type is bound as a null text; a null
// QString as empty text on every engine, as SQLite stores it. A server's text
// goes without any U+0000, which it cannot hold.
QVariant toBindable(const QVariant &value, Dialect dialect);

// A date column as read from either engine: ISO text ("yyyy-MM-dd", read in
// place) or a typed date. Invalid for a null or anything else.
QDate dateFrom(const QVariant &stored);

} // namespace quorvale::db
