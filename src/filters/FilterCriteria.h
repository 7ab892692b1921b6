#pragma once

#include "platform/core/Money.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QtGlobal>

namespace quorvale {

// The operators offered for the start and end dates, by index: on the day, on
// or before it, on or after it. The third caption is the one people know.
const QStringList &dateOperators();
// The operators offered for the rate, by index: equal, less, more.
const QStringList &rateOperators();

// The filter criteria last applied, kept for the rest of the run and shown again
// when the filter dialog opens. An id of 0 and an empty text mean "any"; a date
// or rate counts only when its flag says it was entered.
struct FilterCriteria {
    qint32 userId = 0;
    qint32 contactId = 0;
    QString contactName;
    qint32 activity1Id = 0;
    qint32 activity2Id = 0;
    QString billStatus;
    QString rateSource;
    QString entryType;
    QString categories; // the whole category text must match
    QString jobOrder;

    QString rateOperator; // one of rateOperators(); empty counts as the first
    Money rate;
    bool rateEntered = false;

    QString startDateOperator; // one of dateOperators()
    QDate startDate;
    bool startDateEntered = false;

    QString endDateOperator;
    QDate endDate;
    bool endDateEntered = false;

    bool isEmpty() const;
    bool operator==(const FilterCriteria &) const = default;
};

} // namespace quorvale
