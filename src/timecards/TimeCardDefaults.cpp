#include "timecards/TimeCardDefaults.h"

#include "platform/db/Recordset.h"

namespace quorvale {

namespace {

const QString NoTime = QStringLiteral("0000000");

QVariant defaultActivity(bool inUse, qint32 id, int level, const ActivityListed &listed)
{
    if (!inUse || id == 0 || !listed || !listed(level, id))
        return {};
    return id;
}

QVariant money(const std::optional<Money> &m)
{
    return m ? QVariant::fromValue(*m) : QVariant();
}

} // namespace

TimeCardDefaults SetFieldDefaultValues(const NewCardSettings &settings,
                                       const NewCardOptions &options, qint32 userId,
                                       const QDateTime &now, const ActivityListed &listed,
                                       const RateLookup &lookupRate)
{
    TimeCardDefaults d;
    d.userId = userId;
    d.activity1Id = defaultActivity(options.activity1InUse, settings.mainActivity, 1, listed);
    d.activity2Id = defaultActivity(options.activity2InUse, settings.subActivity, 2, listed);
    d.timeEstimated = NoTime;
    d.quantity = NoTime;
    d.startDate = d.endDate = now.date();
    const QTime t = now.time();
    d.startTime = d.endTime = QTime(t.hour(), t.minute());
    if (options.billingInUse) {
        d.billStatus = settings.billingStatus;
        if (options.rateSourceFixed) {
            d.rateSource = options.fixedRateSource;
            d.rateLevel = options.fixedRateLevel;
            if (options.fixedHourlyRate != Money())
                d.rate = options.fixedHourlyRate;
            else if (lookupRate)
                d.rate = lookupRate(options.fixedRateSource, options.fixedRateLevel);
        } else {
            d.rateSource = settings.rateSource;
            d.rateLevel = settings.rateLevel;
            d.fillRateList = true;
            // The list's entry at the level is the rate the TimeCard is timed at.
            if (lookupRate)
                d.rate = lookupRate(settings.rateSource, settings.rateLevel);
        }
        d.flatRate = Money();
        d.value = Money();
    }
    d.entryType = settings.entryType;
    d.category = settings.category;
    return d;
}

void TimeCardDefaults::apply(db::Recordset &row) const
{
    row.setValue(QStringLiteral("ContactID"), contactId);
    row.setValue(QStringLiteral("UserId"), userId);
    row.setValue(QStringLiteral("Activity1ID"), activity1Id);
    row.setValue(QStringLiteral("Activity2ID"), activity2Id);
    row.setValue(QStringLiteral("Description"), description);
    row.setValue(QStringLiteral("TimeEstimated"), timeEstimated);
    row.setValue(QStringLiteral("Quantity"), quantity);
    row.setValue(QStringLiteral("StartDate"), startDate);
    row.setValue(QStringLiteral("EndDate"), endDate);
    row.setValue(QStringLiteral("StartTime"), startTime);
    row.setValue(QStringLiteral("EndTime"), endTime);
    if (!billStatus.isNull()) {
        row.setValue(QStringLiteral("BillStatus"), billStatus);
        row.setValue(QStringLiteral("RateSource"), rateSource);
        row.setValue(QStringLiteral("RateLevel"), rateLevel);
    }
    if (rate)
        row.setValue(QStringLiteral("Rate"), money(rate));
    if (flatRate)
        row.setValue(QStringLiteral("FlatRate"), money(flatRate));
    if (value)
        row.setValue(QStringLiteral("Value"), money(value));
    row.setValue(QStringLiteral("EntryType"), entryType);
    row.setValue(QStringLiteral("Category"), category);
}

} // namespace quorvale
