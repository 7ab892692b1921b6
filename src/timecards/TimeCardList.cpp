#include "TimeCardList.h"

#include "platform/core/Duration.h"
#include "platform/db/Command.h"

#include <QHash>
#include <QSqlRecord>

namespace quorvale {

std::vector<TimeCardListRow> loadTimeCardList(db::Connection &cnn, const QString &workingSetSql,
                                              const QVariantList &params)
{
    QHash<qint32, QString> contacts;
    for (const QSqlRecord &row :
         db::Command(cnn, QStringLiteral("SELECT ContactID, ContactName FROM tblContacts")).all())
        contacts.insert(row.value(0).toInt(), row.value(1).toString());

    std::vector<TimeCardListRow> rows;
    db::Command timeCards(cnn, workingSetSql);
    for (const QSqlRecord &r : timeCards.all(params)) {
        TimeCardListRow row;
        row.timeCardId = r.value(QStringLiteral("TimeCardID")).toLongLong();
        row.startDate = r.value(QStringLiteral("StartDate")).toDate();
        const QVariant contact = r.value(QStringLiteral("ContactID"));
        if (!contact.isNull())
            row.contact = contacts.value(contact.toInt());
        row.description =
            r.value(QStringLiteral("Description")).toString().section(QLatin1Char('\n'), 0, 0);
        row.timeSpent = Duration::fromColumnOrZero(r.value(QStringLiteral("Quantity"))).toShown();
        row.value = Money::fromStored(r.value(QStringLiteral("Value")));
        rows.push_back(std::move(row));
    }
    return rows;
}

} // namespace quorvale
