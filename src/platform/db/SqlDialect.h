#pragma once

#include <QString>

namespace quorvale::db {

// The SQL flavour a connection speaks. The program writes Jet-flavoured SQL; each
// statement is translated for the engine right before it is prepared.
enum class Dialect { SQLite, PostgreSQL, OtherOdbc };

// Rewrites the program's Jet-flavoured SQL for one engine. Works on tokens, so text
// inside string literals and quoted identifiers is never touched:
//  - [Name] becomes "name" on PostgreSQL (lower case, because the schema there is
//    created with unquoted names, which PostgreSQL folds); SQLite and other ODBC
//    servers take brackets as they are.
//  - the bare words True and False become -1 and 0 (booleans are stored as integers).
//  - on SQLite, "FROM A RIGHT [OUTER] JOIN B ON ..." becomes "FROM B LEFT JOIN A ON ..."
//    (the same rows; SQLite plans LEFT JOINs far better), unless the select list is a
//    bare "*" whose column order would change.
//  - on PostgreSQL, each ORDER BY item without a nulls clause gets "NULLS FIRST", or
//    "NULLS LAST" after DESC: Jet and SQLite sort nulls before every value, so a list
//    reads the same on both engines (the server's indexes are built in that order).
class SqlDialect {
public:
    explicit SqlDialect(Dialect dialect = Dialect::SQLite) : m_dialect(dialect) {}

    Dialect dialect() const { return m_dialect; }
    QString translate(const QString &sql) const;

    // A column or table name as a quoted identifier for this engine.
    QString quoteIdentifier(const QString &name) const;

private:
    Dialect m_dialect;
};

} // namespace quorvale::db
