#include "TimeFieldRules.h"

#include "TimeCalcs.h"

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

bool isComplete(const QString &shown)
{
    QString digits = shown;
    digits.remove(QLatin1Char(':'));
    if (digits.size() != DurationTextLength)
        return false;
    for (QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
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

DurationFieldResult durationFieldChanged(DurationField field, const QString &shown,
                                         const DurationContext &context)
{
    DurationFieldResult result;
    result.text = shown;
    if (context.timerRunsHere || !isComplete(shown))
        return result;
    result.store = true;
    result.column = durationColumn(field);
    result.storedText = QString(shown).remove(QLatin1Char(':'));
    result.recomputeValue = valueFollowsTime(field, context);
    return result;
}

DurationFieldResult durationFieldLeft(DurationField field, const QString &shown,
                                      const QString &stored, const DurationContext &context)
{
    DurationFieldResult result;
    const auto normal = normaliseDurationText(shown);
    result.text = normal ? *normal : normaliseDurationText(stored).value_or(NoDuration);
    result.fieldChanged = result.text != shown;
    result.store = true;
    result.column = durationColumn(field);
    result.storedText = result.text;
    result.recomputeValue = valueFollowsTime(field, context);
    return result;
}

} // namespace quorvale
