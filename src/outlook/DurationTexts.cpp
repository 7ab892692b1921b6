#include "outlook/DurationTexts.h"

#include <QStringList>
#include <iterator>

namespace quorvale {

namespace {

constexpr int MinutesPerDay = 24 * 60;

bool same(const QString &a, const char *b)
{
    return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
}

constexpr const char *StatusTexts[] = {"Not Started", "In Progress", "Completed",
                                       "Waiting on someone else", "Deferred"};
constexpr const char *ImportanceTexts[] = {"Low", "Normal", "High"};

template <std::size_t N> QString textOf(const char *const (&texts)[N], int code)
{
    if (code < 0 || code >= static_cast<int>(N))
        return QString::number(code);
    return QLatin1String(texts[code]);
}

} // namespace

std::optional<int> durationTextMinutes(const QString &text)
{
    const QString t = text.trimmed();
    if (same(t, "Today"))
        return 0;
    if (same(t, "0.5 days"))
        return MinutesPerDay / 2;
    const QStringList parts = t.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (parts.size() != 2)
        return std::nullopt;
    bool ok = false;
    const int count = parts[0].toInt(&ok);
    if (!ok || count < 0)
        return std::nullopt;
    QString unit = parts[1].toLower();
    if (unit.endsWith(QLatin1Char('s')))
        unit.chop(1);
    if (unit == QLatin1String("minute"))
        return count;
    if (unit == QLatin1String("hour"))
        return count * 60;
    if (unit == QLatin1String("day"))
        return count * MinutesPerDay;
    if (unit == QLatin1String("week"))
        return count * 7 * MinutesPerDay;
    // A month of the defaults is thirty days, not a calendar month.
    if (unit == QLatin1String("month"))
        return count * 30 * MinutesPerDay;
    return std::nullopt;
}

std::optional<QDateTime> dateFromNow(const QString &text, const QDateTime &now)
{
    const std::optional<int> minutes = durationTextMinutes(text);
    if (!minutes)
        return std::nullopt;
    return now.addSecs(qint64(*minutes) * 60);
}

int taskStatusCode(const QString &text)
{
    for (int i = 0; i < static_cast<int>(std::size(StatusTexts)); ++i)
        if (same(text, StatusTexts[i]))
            return i;
    return 0;
}

QString taskStatusText(int code)
{
    return textOf(StatusTexts, code);
}

QString importanceText(int code)
{
    return textOf(ImportanceTexts, code);
}

int importanceCode(const QString &text)
{
    if (same(text, "Low"))
        return 0;
    if (same(text, "High"))
        return 2;
    return 1;
}

QString categoryText(const QString &defaultCategory)
{
    return same(defaultCategory.trimmed(), "None") ? QString() : defaultCategory;
}

} // namespace quorvale
