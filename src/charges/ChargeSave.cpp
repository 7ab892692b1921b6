#include "ChargeSave.h"

#include "platform/db/Connection.h"
#include "platform/db/Transaction.h"

#include <QVariant>

namespace quorvale {

QString chargeColumnPattern(qint32 contactId, qint32 activity1Id, qint32 activity2Id)
{
    if (contactId == 0)
        return activity2Id == 0 ? QStringLiteral("010") : QStringLiteral("011");
    // With a contact but no activity 1, an activity 2 would otherwise be
    // dropped; it is written with activity 1 as 0.
    if (activity1Id == 0 && activity2Id == 0)
        return QStringLiteral("100");
    return activity2Id == 0 ? QStringLiteral("110") : QStringLiteral("111");
}

QStringList chargeIdColumns(const QString &pattern)
{
    QStringList columns;
    if (pattern.at(0) == QLatin1Char('1'))
        columns << QStringLiteral("ContactID");
    if (pattern.at(1) == QLatin1Char('1'))
        columns << QStringLiteral("Activity1ID");
    if (pattern.at(2) == QLatin1Char('1'))
        columns << QStringLiteral("Activity2ID");
    return columns;
}

qint64 ProcessSave(db::Connection &cnnLink, const ChargeInsert &row)
{
    const ChargeNames names = chargeNames(row.kind);
    const bool expense = row.kind == ChargeKind::Expense;
    QStringList columns{names.codeColumn};
    QVariantList values{row.codeId};
    if (row.timeCardId) {
        columns << QStringLiteral("TimeCardID");
        values << *row.timeCardId;
    }
    columns << QStringLiteral("UserID");
    values << row.userId;
    const QString pattern = chargeColumnPattern(row.contactId, row.activity1Id, row.activity2Id);
    for (const QString &id : chargeIdColumns(pattern)) {
        columns << id;
        values << (id == QLatin1String("ContactID")     ? row.contactId
                   : id == QLatin1String("Activity1ID") ? row.activity1Id
                                                        : row.activity2Id);
    }
    // Non-null empty texts, so an unused field reads back as '' rather than null.
    const auto text = [](const QString &s) { return s.isNull() ? QStringLiteral("") : s; };
    columns << QStringLiteral("Description") << QStringLiteral("Quantity");
    values << text(row.description) << row.quantity;
    if (expense) {
        columns << QStringLiteral("Location") << QStringLiteral("Purpose")
                << QStringLiteral("Participants");
        values << text(row.location) << text(row.purpose) << text(row.participants);
    }
    columns << QStringLiteral("StartDate");
    values << row.startDate;
    if (expense) {
        columns << QStringLiteral("EndDate");
        values << row.endDate;
    }
    columns << QStringLiteral("Rate") << QStringLiteral("Amount") << QStringLiteral("Realization")
            << QStringLiteral("BillStatus") << QStringLiteral("JobOrder");
    values << QVariant::fromValue(row.rate) << QVariant::fromValue(row.amount)
           << row.realization.toStored() << text(row.billStatus) << text(row.jobOrder);

    QStringList marks;
    for (qsizetype i = 0; i < columns.size(); ++i)
        marks << QStringLiteral("?");
    db::Transaction work(cnnLink);
    const qint64 id = cnnLink.insertReturningKey(
        QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
            .arg(names.table, columns.join(QStringLiteral(", ")), marks.join(QStringLiteral(", "))),
        values, names.keyColumn);
    work.commit();
    return id;
}

} // namespace quorvale
