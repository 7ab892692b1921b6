#include "outlook/ItemVariables.h"

namespace quorvale {

void ItemVariables::clearTimeCardValues(const QString &defaultEntryType,
                                        const QString &defaultCategory)
{
    activity1Name.clear();
    activity2Name.clear();
    description.clear();
    entryType = defaultEntryType;
    category = defaultCategory;
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
