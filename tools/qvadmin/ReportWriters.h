#pragma once

#include "qvadmin/ReportTable.h"

#include <QByteArray>
#include <QString>
#include <vector>

namespace quorvale::admin {

// A report's cells as people read them (ReportTable::display), worked out
// once for both of its files.
struct ShownReport {
    explicit ShownReport(const ReportTable &table);
    const QString &cell(std::size_t row, int column) const
    {
        return cells[row * std::size_t(table.columns.size()) + std::size_t(column)];
    }

    const ReportTable &table;
    std::vector<QString> cells; // row by row
    qsizetype characters = 0;   // of every cell together
};

// The report as comma-separated values (RFC 4180): a heading line, one line per
// row, CRLF line ends, UTF-8. Cells hold the displayed values; no totals line,
// so the file reads back as plain data.
QByteArray reportCsv(const ShownReport &report);

// The report as one HTML page with its own style sheet: the heading, what it was
// asked for (filterText), the table and a totals line where columns add up.
// Every text from the database is escaped.
QByteArray reportHtml(const ShownReport &report, const QString &filterText);

// Escapes &, <, >, " and ' for HTML text and attribute values.
QString htmlEscaped(const QString &text);

} // namespace quorvale::admin
