#pragma once

#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <QVariant>
#include <QVariantList>
#include <functional>

struct sqlite3;

namespace quorvale::db {

// Called with the values of one row, `columns` of them.
using RowSink = std::function<void(QVariant *values, int columns)>;

// Runs a statement straight on SQLite's own handle (the one under Qt's
// driver) and hands every row to `row`, each value as Qt's driver would give
// it (whole numbers as qlonglong, reals as double, text as QString, blobs as
// QByteArray; a null as an invalid QVariant). Parameters are already bindable
// (see toBindable). Qt keeps a copy of every value of the current row and
// copies it again on each read; a report of tens of thousands of rows reads
// several times faster this way. Returns an error with SQLite's code as its
// native code, or a QSqlError of no type when all went well.
QSqlError readSqliteRows(sqlite3 *handle, const QString &sql, const QVariantList &params,
                         const RowSink &row);

// The sqlite3 handle of a QSQLITE connection, or null for any other driver.
sqlite3 *sqliteHandle(const QSqlDatabase &database);

} // namespace quorvale::db
