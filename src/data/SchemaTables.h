#pragma once

#include "data/SchemaTypes.h"

#include <string_view>
#include <vector>

namespace quorvale::schema {

// The database files, each with its own set of tables.
enum class DatabaseKind {
    Program, // QVData.db or the server database: everything the users share
    Link,    // QVLink.db: the catalogue of linked tables
    Local,   // QVLocal.db: the user's own tables
    Report,  // QVReport.db: the reports' scratch database
};

// Every table of one database file, in creation order.
const std::vector<Table> &tables(DatabaseKind kind);

// The tables a schema step adds; the step creates them from these descriptions.
Table invoices();
Table reimbursements();
Table billingOptions();
Table backupOptions();

// The table of that name (compared without regard to case), or nullptr.
const Table *findTable(DatabaseKind kind, std::string_view name);

} // namespace quorvale::schema
