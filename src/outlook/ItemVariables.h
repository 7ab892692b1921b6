#pragma once

#include "platform/core/Money.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QTime>
#include <QtGlobal>

namespace quorvale {

// The values new and rewritten items are filled from: a copy of the current
// TimeCard's values and of what its keys look up, taken by the caller before each
// item is written. Plain values only; nothing here reads a database or the store.
struct ItemVariables {
    qint32 timeCardId = 0;
    QString description;
    QString entryType;
    QString category;
    QString billingStatus;
    QString userName;

    qint32 contactId = 0; // 0 = no contact
    QString contactName;  // as the contact list shows it
    QString contactAccount;
    QString contactEntryId; // the contact item's EntryID; empty = none

    qint32 activity1Id = 0; // 0 = none
    QString activity1Name;
    qint32 activity2Id = 0;
    QString activity2Name;
    QString jobOrder; // the value for the job order term

    // Null where the TimeCard holds none.
    QDate startDate;
    QTime startTime;
    QDate endDate;
    QTime endTime;
    // The timed segment a time-detail appointment records.
    QDateTime segmentStart;
    QDateTime segmentEnd;

    // Seven-digit duration texts ("0013025" is 1 h 30 min 25 s); empty = none.
    QString timeEstimated;
    QString timeSpent;

    QString rateSource;
    qint16 rateLevel = 0;
    Money hourlyRate;
    Money flatFee;
    Money value;

    qint32 activeTaskId = 0; // the task the timer works on; 0 = none

    // Start and end as one date-time; invalid unless both parts are there.
    QDateTime start() const;
    QDateTime end() const;
    // "000:00:00" form of the duration texts, as items show them.
    QString timeEstimatedText() const;
    QString timeSpentText() const;

    // For an item linked to another contact than the TimeCard's: the
    // TimeCard's own activities and description do not belong to it, and it
    // takes the person's defaults for the entry type and its kind's category.
    void clearTimeCardValues(const QString &defaultEntryType, const QString &defaultCategory);
};

// "hhh:mm:ss" from a seven-digit duration text; "000:00:00" for an empty or
// malformed one. Minutes and seconds are shown as stored.
QString durationDisplayText(const QString &sevenDigits);

// The date and time texts templates show: "Short Date" as the locale writes it,
// the weekday in full, and "Medium Time" (12-hour with AM/PM, no seconds).
QString shortDateText(const QDate &date, const QLocale &locale = QLocale());
QString weekdayDateText(const QDate &date, const QLocale &locale = QLocale());
QString mediumTimeText(const QTime &time);

} // namespace quorvale
