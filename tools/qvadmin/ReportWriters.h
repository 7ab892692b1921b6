#pragma once

#include "qvadmin/ReportTable.h"

#include <QByteArray>
#include <QString>

namespace quorvale::admin {

// The report as comma-separated values (RFC 4180): a heading line, one line per
// row, CRLF line ends, UTF-8. Cells hold the displayed values; no totals line,
// so the file reads back as plain data.
QByteArray reportCsv(const ReportTable &table);

// The report as one HTML page with its own style sheet: the heading, what it was
// asked for (filterText), the table and a totals line where columns add up.
// Every text from the database is escaped.
QByteArray reportHtml(const ReportTable &table, const QString &filterText);

// Escapes &, <, >, " and ' for HTML text and attribute values.
QString htmlEscaped(const QString &text);

} // namespace quorvale::admin
