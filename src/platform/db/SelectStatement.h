#pragma once

#include <QString>
#include <QStringList>

namespace quorvale::db {

// What a record set needs to know of its SELECT to run it as a keyset over one base
// table. Offsets are into the original text.
struct SelectStatement {
    bool singleTable = false; // the select list reads one table's columns only
    QString baseTable;        // the table's name as written (brackets removed)
    QString tableText;        // the name as written, for UPDATE, INSERT and DELETE
    QString tableRef;         // the table reference as written, with its alias
    QString qualifier;        // alias or table name to qualify its columns with
    QString selectList;       // the select list as written
    bool allColumns = false;  // "*" or "tbl.*"
    QStringList columns;      // named columns otherwise (names only)
    QString fromClause;       // "FROM ..." up to WHERE / ORDER BY / end
    QString whereCondition;   // the condition after WHERE, empty when none
    QString orderBy;          // "ORDER BY ..." or empty

    // Parses sql; a statement that is not a plain SELECT of one table comes back with
    // singleTable false.
    static SelectStatement parse(const QString &sql);
};

} // namespace quorvale::db
