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

namespace {

QString firstLine(const QString &text)
{
    return text.section(u'\n', 0, 0).section(u'\r', 0, 0).trimmed();
}

QString activities(const ItemVariables &v)
{
    QStringList names;
    for (const QString &name : {v.activity1Name.trimmed(), v.activity2Name.trimmed()})
        if (!name.isEmpty())
            names << name;
    return names.join(QStringLiteral(", "));
}

QString titled(const QString &client, const QString &what, qint64 timeCardId)
{
    if (!client.isEmpty() && !what.isEmpty())
        return client + QStringLiteral(": ") + what;
    if (!client.isEmpty() || !what.isEmpty())
        return client + what;
    return QStringLiteral("TimeCard %1").arg(timeCardId);
}

} // namespace

QString ItemVariables::journalSubjectFallback() const
{
    const QString what = firstLine(description);
    return titled(contactName.trimmed(), what.isEmpty() ? activities(*this) : what, id);
}

QString ItemVariables::timeDetailSubjectFallback() const
{
    const QString what = activities(*this);
    return titled(contactName.trimmed(), what.isEmpty() ? firstLine(description) : what, id);
}

} // namespace quorvale
