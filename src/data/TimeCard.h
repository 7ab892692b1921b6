#pragma once

#include "platform/core/Duration.h"
#include "platform/core/Money.h"
#include "platform/core/Realization.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QTime>
#include <QVariantList>
#include <optional>

class QSqlRecord;

namespace quorvale {

// One row of tblTimeCards, every column typed. The column names live in
// TimeCard.cpp alone: a new column is a field here, a line there and one in
// the schema.
struct TimeCard {
    qint32 id = 0;
    QString journalEntryId; // the EntryID of its journal entry; empty: none yet
    std::optional<qint32> contactId;
    qint32 userId = 0;
    std::optional<qint32> activity1Id;
    std::optional<qint32> activity2Id;
    std::optional<qint32> invoiceId; // set once invoiced; the row is then read-only
    QString description;
    Duration timeEstimated;
    Duration timeSpent; // the Quantity column
    QDate startDate;
    QTime startTime;
    QDate endDate;
    QTime endTime;
    QString billStatus;
    QString rateSource;
    QString rateLevel; // "1" .. "6"
    QString entryType;
    QString category; // categories, comma-separated
    Money rate;
    Money flatRate;
    Money value;
    bool inactive = false; // hidden from the working set's default view
    Realization realization;
    QString jobOrder;

    bool isInvoiced() const { return invoiceId.has_value(); }

    // The row as a query or a record set holds it. A damaged stored time reads
    // as no time, so one bad row cannot stop a list or a journal entry.
    static TimeCard fromRecord(const QSqlRecord &row);
    // Whether tblTimeCards has a column of that name (exactly as spelt there).
    static bool isColumn(const QString &name);
    // Every column but the key, and this TimeCard's values for them in the same
    // order, as a new row stores them: an empty text or no key is NULL.
    static QStringList storedColumns();
    QVariantList storedValues() const;
};

} // namespace quorvale
