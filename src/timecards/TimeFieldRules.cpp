#include "TimeFieldRules.h"

#include <QDateTime>

namespace quorvale {

namespace {

bool valueFollowsTime(DurationField field, const DurationContext &context)
{
    return field == DurationField::TimeSpent && context.billingInUse &&
           context.rateSource != QLatin1String("Flat Fee");
}

// A stored value may come as a date, a time, a date and time, or their ISO text,
// depending on the engine.
QDate storedDate(const QVariant &stored)
{
    const QDateTime both = stored.toDateTime();
    return both.isValid() ? both.date() : stored.toDate();
}

QTime storedTime(const QVariant &stored)
{
    if (stored.typeId() == QMetaType::QTime)
        return stored.toTime();
    const QDateTime both = stored.toDateTime();
    return both.isValid() ? both.time() : stored.toTime();
}

} // namespace

QString durationColumn(DurationField field)
{
    return field == DurationField::TimeEstimated ? QStringLiteral("TimeEstimated")
                                                 : QStringLiteral("Quantity");
}

QDate dateForLeftField(const QDate &shown, const QVariant &stored, const QDate &today)
{
    if (shown.isValid())
        return shown;
    const QDate date = storedDate(stored);
    return date.isValid() ? date : today;
}

QTime timeForLeftField(const QTime &shown, const QVariant &stored, const QTime &now)
{
    if (shown.isValid())
        return shown;
    const QTime time = storedTime(stored);
    return time.isValid() ? time : now;
}

bool endBeforeStart(const QDate &startDate, const QTime &startTime, const QDate &endDate,
                    const QTime &endTime)
{
    if (endDate != startDate)
        return endDate < startDate;
    return endTime < startTime;
}

DurationFieldResult durationFieldLeft(DurationField field, const QString &typed,
                                      const QVariant &stored, const DurationContext &context)
{
    DurationFieldResult result;
    const std::optional<Duration> entered = Duration::fromTyped(typed);
    if (!entered) {
        result.refused = true;
        result.message = Duration::refusal(typed);
        return result;
    }
    result.text = entered->toShown();
    const QString storedText = entered->toStored();
    if (stored.toString() == storedText)
        return result;
    result.store = true;
    result.column = durationColumn(field);
    result.storedText = storedText;
    result.recomputeValue = valueFollowsTime(field, context);
    return result;
}

EndFromStart endFromStart(const QVariant &startDate, const QVariant &startTime, Duration spent)
{
    const QDate date = storedDate(startDate);
    const QTime time = storedTime(startTime);
    if (!date.isValid() || !time.isValid())
        return {{},
                {},
                QStringLiteral("The end time was left as it was: this TimeCard has no "
                               "start date and time to count the time spent from.")};
    const QDateTime end = QDateTime(date, time).addSecs(spent.seconds());
    return {end.date(), end.time(), QString()};
}

} // namespace quorvale
