#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace quorvale::schema {

// The engines the DDL is written for: SQLite for the embedded files, PostgreSQL
// for a team's server (reached over ODBC by the program).
enum class Dialect { SQLite, PostgreSQL };

enum class ColumnType {
    Key,        // integer key assigned by the database; a deleted row's number may return
    AutoNumber, // integer key assigned by the database and never handed out twice
    Integer,    // 32-bit whole number (ids, counts, codes)
    Boolean,    // -1 (True) or 0 (False), never null, so "<>0" and "=0" work everywhere
    Money,      // 64-bit count of ten-thousandths, see Money.h
    Double,     // a fraction such as a realization factor
    Text,       // short text: VARCHAR(size) on a server
    Memo,       // text without a length limit
    Date,       // "yyyy-MM-dd" in SQLite
    Time,       // "HH:mm:ss" in SQLite
    DateTime,   // "yyyy-MM-ddTHH:mm:ss" in SQLite
};

struct Column {
    std::string_view name;
    ColumnType type;
    // An SQL literal written into the DDL as the column's default; empty = none
    // (Booleans always default to 0).
    std::string_view defaultValue = {};
    int size = 255; // only for Text
};

struct Index {
    std::string name;
    std::vector<std::string> columns;
    bool unique = false;
};

struct Table {
    std::string_view name;
    std::vector<Column> columns;
    std::vector<Index> indexes;
};

} // namespace quorvale::schema
