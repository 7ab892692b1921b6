#pragma once

#include "SqliteRows.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <QVariantList>
#include <optional>

namespace quorvale::db {

// Runs a statement straight on the ODBC connection under Qt's QODBC driver and
// hands every row to `row`, each value as that driver would give it (whole
// numbers as int or qlonglong, reals as double, text as QString, dates, times
// and date-times as QDate, QTime and QDateTime, binary as QByteArray; a null
// as an invalid QVariant). Qt's driver asks the ODBC driver for a column's
// description and makes a record for every row; a list of a hundred thousand
// rows from a server reads several times faster without that.
//
// Parameters are already bindable (see toBindable). Returns nullopt, having run
// nothing, when a parameter is of a type it does not bind (the caller reads
// through Qt instead); otherwise the error, of no type when all went well.
std::optional<QSqlError> readOdbcRows(void *connectionHandle, const QString &sql,
                                      const QVariantList &params, const RowSink &row);

// The SQLHDBC of a QODBC connection, or null for any other driver.
void *odbcHandle(const QSqlDatabase &database);

} // namespace quorvale::db
