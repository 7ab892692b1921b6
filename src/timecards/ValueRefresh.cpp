#include "timecards/ValueRefresh.h"

#include "platform/db/Connection.h"
#include "timecards/TimeCardValue.h"

#include <QSqlQuery>

namespace quorvale {

namespace {

std::optional<qint32> idOf(const QVariant &v)
{
    return v.isNull() || v.toInt() == 0 ? std::nullopt : std::optional<qint32>(v.toInt());
}

} // namespace

void refreshTimeCardValue(db::Connection &cnnLink, qint64 timeCardId,
                          const ValueRefreshContext &context)
{
    QSqlQuery row = cnnLink.prepare(
        QStringLiteral("SELECT UserId, ContactID, Activity1ID, Activity2ID, RateSource, "
                       "RateLevel, Rate, FlatRate, Quantity, Realization FROM tblTimeCards "
                       "WHERE TimeCardID = ? AND InvoiceID IS NULL"));
    cnnLink.run(row, {timeCardId});
    if (!row.next())
        return;
    RateKeys keys;
    keys.userId = row.value(0).toInt();
    keys.staffId = context.staffId;
    keys.contactId = idOf(row.value(1));
    keys.activity1Id = idOf(row.value(2));
    keys.activity2Id = idOf(row.value(3));
    const QString source = row.value(4).toString();
    const Money rate =
        FetchHourlyRate(source, row.value(5).toString(), keys, context.options, context.lookup)
            .value_or(Money::fromStored(row.value(6)));
    const Realization realization =
        context.contactChanged ? applicableRealization(cnnLink, RealizationKind::Time,
                                                       keys.contactId, context.realizationInUse)
                               : Realization::fromStored(row.value(9));
    const Money value = CalculateTimeSpentValue(ValueInputs{source, row.value(8), rate,
                                                            Money::fromStored(row.value(7)),
                                                            realization, context.realizationInUse});
    row.finish();
    cnnLink.execute(QStringLiteral("UPDATE tblTimeCards SET Rate = ?, Realization = ?, Value = ? "
                                   "WHERE TimeCardID = ?"),
                    {rate.toStored(), realization.toStored(), value.toStored(), timeCardId});
}

} // namespace quorvale
