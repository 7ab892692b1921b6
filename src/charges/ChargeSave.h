#pragma once

#include "charges/ChargeKind.h"
#include "platform/core/Money.h"
#include "timecards/TimeCardValue.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <optional>

namespace quorvale {

namespace db {
class Connection;
}

// A new expense or fixed charge as it goes into its table.
struct ChargeInsert {
    ChargeKind kind = ChargeKind::Expense;
    qint32 codeId = 0;
    std::optional<qint64> timeCardId; // linked rows only
    qint32 userId = 0;
    qint32 contactId = 0; // 0 where contacts are not in use or none is chosen
    qint32 activity1Id = 0;
    qint32 activity2Id = 0;
    QString description;
    qint32 quantity = 1;
    QString location; // expenses only
    QString purpose;
    QString participants;
    QDate startDate;
    QDate endDate; // expenses only
    Money rate;
    Money amount;
    Realization realization;
    QString billStatus;
    QString jobOrder;
};

// Which ids a new row writes: "1xx" with a contact, "x1x" with activity 1,
// "xx1" with activity 2 ("100", "110", "111", "010", "011").
QString chargeColumnPattern(qint32 contactId, qint32 activity1Id, qint32 activity2Id);
// The id columns of a pattern, in the order they are written.
QStringList chargeIdColumns(const QString &pattern);

// `ProcessSave` for a new row: one INSERT with every value bound, in one
// transaction on cnnLink. Returns the new row's key. Throws QvError when it
// cannot be written; nothing is then.
qint64 ProcessSave(db::Connection &cnnLink, const ChargeInsert &row);

} // namespace quorvale
