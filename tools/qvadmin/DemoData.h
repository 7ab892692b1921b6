#pragma once

#include <QDate>

namespace quorvale::db {
class Connection;
}

namespace quorvale::admin {

struct BaseRowIds;

struct DemoSummary {
    int users = 0; // added beside the base user
    int contacts = 0;
    int timeCards = 0;
    int expenses = 0;
    int fixedCharges = 0;
    int payments = 0;
};

// A small office's data for trying the program out: staff, clients, services and
// projects with rates, and about four months of TimeCards up to today for the
// base user and four colleagues (one of whom has left). Older work is invoiced;
// recent work is open. The same every time apart from the dates, which follow
// today. Runs in the caller's transaction.
DemoSummary insertDemoData(db::Connection &db, const BaseRowIds &base, const QDate &today);

} // namespace quorvale::admin
