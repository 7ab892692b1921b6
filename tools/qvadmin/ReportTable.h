#pragma once

#include "data/SortOrders.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <optional>
#include <vector>

namespace quorvale::admin {

// How a report column's stored values are shown, and whether they add up.
enum class ReportFormat { Text, Number, Money, Date, Time, Duration, Percent };

struct ReportColumn {
    QString heading;
    ReportFormat format = ReportFormat::Text;
    bool totalled = false;
};

// Which rows a report keeps by their invoice: those not yet on an invoice, or
// those already billed on one.
enum class ReportStatus { Open, Invoiced };

// What a report is asked for: every part optional.
struct ReportFilter {
    std::optional<int> userId;
    std::optional<QDate> from;
    std::optional<QDate> to;
    std::optional<int> contactId;
    std::optional<ReportStatus> status;
};

// The rows a report query returned, as stored, with the columns describing them.
struct ReportTable {
    QString title;
    std::vector<ReportColumn> columns;
    std::vector<QVariantList> rows;

    // A cell as people read it: money with two decimals, dates ISO, durations as
    // hhh:mm:ss. Null cells are empty.
    QString display(int column, const QVariant &value) const;
    // The sum of a totalled column in the same form; empty for the others.
    QString total(int column) const;
    bool hasTotals() const;
};

// Heads the "Contact", "Activity 1" and "Activity 2" columns with the
// administrator's words for them.
void applyTerms(ReportTable &table, const Terms &terms);

} // namespace quorvale::admin
