#pragma once

#include "outlook/TimeCardSnapshot.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QTime>
#include <QtGlobal>

namespace quorvale {

// The values new and rewritten items are filled from: the current TimeCard as
// it was taken, with what its keys look up, and the timed segment a time-detail
// appointment records. Plain values only; nothing here reads a database or the
// store.
struct ItemVariables : TimeCardSnapshot {
    QString contactName; // as the contact list shows it
    QDateTime segmentStart;
    QDateTime segmentEnd;

    // For an item linked to another contact than the TimeCard's: the
    // TimeCard's own activities and description do not belong to it, and it
    // takes the person's defaults for the entry type and its kind's category.
    void clearTimeCardValues(const QString &defaultEntryType, const QString &defaultCategory);

    // A title for an item whose templates made none, so that no journal entry
    // or time-detail appointment stands untitled in a calendar: the client and
    // the description's first line (a journal entry) or the activities (a
    // time-detail appointment), else the other, else "TimeCard N".
    QString journalSubjectFallback() const;
    QString timeDetailSubjectFallback() const;
};

// The date and time texts templates show: "Short Date" as the locale writes it,
// the weekday in full, and "Medium Time" (12-hour with AM/PM, no seconds).
QString shortDateText(const QDate &date, const QLocale &locale = QLocale());
QString weekdayDateText(const QDate &date, const QLocale &locale = QLocale());
QString mediumTimeText(const QTime &time);

} // namespace quorvale
