#include "outlook/ItemVariables.h"

#include "platform/core/Duration.h"

namespace quorvale {

namespace {

QDateTime combine(const QDate &date, const QTime &time)
{
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time);
}

} // namespace

QDateTime ItemVariables::start() const
{
    return combine(startDate, startTime);
}

QDateTime ItemVariables::end() const
{
    return combine(endDate, endTime);
}

QString ItemVariables::timeEstimatedText() const
{
    return durationDisplayText(timeEstimated);
}

QString ItemVariables::timeSpentText() const
{
    return durationDisplayText(timeSpent);
}

void ItemVariables::clearTimeCardValues(const QString &defaultEntryType,
                                        const QString &defaultCategory)
{
    activity1Name.clear();
    activity2Name.clear();
    description.clear();
    entryType = defaultEntryType;
    category = defaultCategory;
}

QString durationDisplayText(const QString &sevenDigits)
{
    return Duration::fromColumnOrZero(sevenDigits).toShown();
}

QString shortDateText(const QDate &date, const QLocale &locale)
{
    return date.isValid() ? locale.toString(date, QLocale::ShortFormat) : QString();
}

QString weekdayDateText(const QDate &date, const QLocale &locale)
{
    if (!date.isValid())
        return {};
    return locale.dayName(date.dayOfWeek(), QLocale::LongFormat) + QStringLiteral(", ") +
           shortDateText(date, locale);
}

QString mediumTimeText(const QTime &time)
{
    // "AP" gives AM/PM whatever the locale, as the Windows format does.
    return time.isValid() ? time.toString(QStringLiteral("hh:mm AP")) : QString();
}

} // namespace quorvale
