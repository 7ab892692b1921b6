#pragma once

#include "platform/core/Money.h"

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <QtGlobal>
#include <functional>

namespace quorvale {

// A copy of the shown TimeCard's values, taken by the main window
// (SetStandardTimeCardValues) before its journal entry or a time-detail
// appointment is written. Plain values: nothing here reads the window, a
// database or the store, so the record stays as it was taken while the
// window moves on.
struct TimeCardSnapshot {
    // Keys: 0 where the field is empty or Null.
    qint32 timeCardId = 0;
    QString journalEntryId;
    qint32 contactId = 0;
    qint32 userId = 0;
    qint32 activity1Id = 0;
    qint32 activity2Id = 0;
    qint32 invoiceId = 0;

    QString description;
    // Seven-digit duration texts ("0013025" is 1 h 30 min 25 s), blanks as "0".
    QString timeEstimated;
    QString timeSpent;

    // The window gives the present moment for a control without a valid date;
    // a null part here means the TimeCard holds none.
    QDate startDate;
    QTime startTime;
    QDate endDate;
    QTime endTime;

    QString billingStatus;
    QString rateSource;
    QString hourlyRateText; // as the hourly rate field shows it
    Money rate;
    Money flatFee;
    Money value;
    QString rateLevel;        // "1" .. "6", as tblTimeCards keeps it
    double realization = 1.0; // a fraction: 0.85 is shown as "85%"

    QString entryType;
    QString category;        // Outlook categories text, comma-separated
    qint32 activeTaskId = 0; // the task the timer works on; 0 for "(None)"
    QString jobOrder;

    // What the keys look up, as the item variables hold it.
    QString userName;
    QString contactAccount;
    QString contactEntryId; // empty: no contact item
    QString activity1Name;
    QString activity2Name;

    // Date and time joined; invalid unless both parts are valid.
    QDateTime start() const;
    QDateTime end() const;
    // "hhh:mm:ss" as items show durations; "000:00:00" when empty.
    QString timeEstimatedText() const { return durationText(timeEstimated); }
    QString timeSpentText() const { return durationText(timeSpent); }

    static QString durationText(const QString &sevenDigits);
};

// The subject and body the templates made for an item from the snapshot.
struct ItemTexts {
    QString subject;
    QString body;
};

namespace pim {
class ContactItem;
}

// Makes an item's texts once its contact item (or nullptr) has been read.
using ItemTextMaker = std::function<ItemTexts(const pim::ContactItem *contact)>;

} // namespace quorvale
