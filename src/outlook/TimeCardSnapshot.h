#pragma once

#include "data/TimeCard.h"

#include <QDateTime>
#include <QString>
#include <QtGlobal>
#include <functional>

namespace quorvale {

// The shown TimeCard as it was taken (SetStandardTimeCardValues) before its
// journal entry or a time-detail appointment is written, with what its keys
// look up. Plain values: nothing here reads the window, a database or the
// store, so the record stays as it was taken while the window moves on. Every
// column of the row comes with it.
struct TimeCardSnapshot : TimeCard {
    qint32 activeTaskId = 0; // the task the timer works on; 0 for "(None)"

    // What the keys look up, as the item variables hold it.
    QString userName;
    QString contactAccount;
    QString contactEntryId; // empty: no contact item
    QString activity1Name;
    QString activity2Name;

    // Date and time joined; invalid unless both parts are valid.
    QDateTime start() const;
    QDateTime end() const;
    // "hhh:mm:ss" as items show durations.
    QString timeEstimatedText() const { return timeEstimated.toShown(); }
    QString timeSpentText() const { return timeSpent.toShown(); }
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
