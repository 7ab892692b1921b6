#include "TimeCalcs.h"

#include "platform/core/QvError.h"

#include <QStringList>

namespace quorvale {

namespace {

bool allDigits(const QString &text)
{
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

// One part, width digits wide once leading zeros beyond the width are dropped.
std::optional<QString> fitPart(QString part, int width)
{
    while (part.size() > width && part.front() == QLatin1Char('0'))
        part.remove(0, 1);
    if (part.size() > width || !allDigits(part))
        return std::nullopt;
    return part.rightJustified(width, QLatin1Char('0'));
}

} // namespace

std::optional<QString> normaliseDurationText(const QString &text)
{
    QString zeroed = text;
    zeroed.replace(QLatin1Char(' '), QLatin1Char('0')).replace(QLatin1Char('_'), QLatin1Char('0'));
    if (!zeroed.contains(QLatin1Char(':')))
        return fitPart(zeroed, DurationTextLength);

    const QStringList parts = zeroed.split(QLatin1Char(':'));
    if (parts.size() > 3)
        return std::nullopt;
    static constexpr int widths[] = {2, 2, 3}; // seconds, minutes, hours
    QString result;
    for (qsizetype i = 0; i < 3; ++i) {
        const qsizetype at = parts.size() - 1 - i;
        const auto part = fitPart(at >= 0 ? parts[at] : QString(), widths[i]);
        if (!part)
            return std::nullopt;
        result.prepend(*part);
    }
    return result;
}

qint64 ConvertTimeToSeconds(QString &text)
{
    const auto normal = normaliseDurationText(text);
    if (!normal) {
        throw QvError(ErrorNumber::InvalidCharacter,
                      QStringLiteral("Not a duration: \"%1\"").arg(text),
                      QStringLiteral("modTimeCalcs"));
    }
    text = *normal;
    return text.left(3).toLongLong() * 3600 + text.mid(3, 2).toLongLong() * 60 +
           text.mid(5, 2).toLongLong();
}

QString ConvertSecondsToTime(qint64 seconds)
{
    if (seconds <= 0)
        return QLatin1String(NoDuration);
    seconds = qMin(seconds, MaxDurationSeconds);
    const qint64 hours = seconds / 3600;
    const qint64 minutes = (seconds - hours * 3600) / 60;
    const qint64 rest = seconds - hours * 3600 - minutes * 60;
    return QStringLiteral("%1%2%3")
        .arg(hours, 3, 10, QLatin1Char('0'))
        .arg(minutes, 2, 10, QLatin1Char('0'))
        .arg(rest, 2, 10, QLatin1Char('0'));
}

} // namespace quorvale
