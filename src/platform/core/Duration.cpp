#include "platform/core/Duration.h"

#include <QRegularExpression>
#include <QStringList>
#include <iterator>

namespace quorvale {

namespace {

// Hours beyond these many digits are no time anyone recorded; the bound also
// keeps every sum far from overflowing.
constexpr int MaxHourDigits = 6;
constexpr int MaxFractionDigits = 9;

bool allDigits(const QString &text)
{
    for (QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return true;
}

// A run of at most maxDigits digits; empty is 0.
std::optional<qint64> number(const QString &digits, int maxDigits)
{
    if (digits.size() > maxDigits || !allDigits(digits))
        return std::nullopt;
    return digits.isEmpty() ? 0 : digits.toLongLong();
}

qint64 hms(qint64 hours, qint64 minutes, qint64 rest)
{
    return hours * 3600 + minutes * 60 + rest;
}

// The digits-only stored form: the last four are minutes and seconds, the rest
// (at least three, left-padded) hours. A space counts as a zero, as older rows
// hold them. Read in place: every list and report reads one per row.
std::optional<qint64> storedDigits(QStringView digits)
{
    const qsizetype n = digits.size();
    if (n > MaxHourDigits + 4)
        return std::nullopt;
    qint64 part[3] = {0, 0, 0}; // hours, minutes, seconds
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = digits[i].unicode();
        if (c != u' ' && (c < u'0' || c > u'9'))
            return std::nullopt;
        const qsizetype fromEnd = n - 1 - i;
        qint64 &p = part[fromEnd < 2 ? 2 : fromEnd < 4 ? 1 : 0];
        p = p * 10 + (c == u' ' ? 0 : c - u'0');
    }
    return hms(part[0], part[1], part[2]);
}

// "12.5" or "12,5" or ".5" times unitSeconds, rounded half up to a second.
std::optional<qint64> scaled(const QString &text, qint64 unitSeconds)
{
    QString t = text;
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    const qsizetype point = t.indexOf(QLatin1Char('.'));
    const QString whole = point < 0 ? t : t.left(point);
    const QString fraction = point < 0 ? QString() : t.mid(point + 1);
    if (whole.isEmpty() && fraction.isEmpty())
        return std::nullopt;
    const auto w = number(whole, MaxHourDigits);
    const auto f = number(fraction, MaxFractionDigits);
    if (!w || !f)
        return std::nullopt;
    qint64 scale = 1;
    for (qsizetype i = 0; i < fraction.size(); ++i)
        scale *= 10;
    return *w * unitSeconds + (*f * unitSeconds * 2 + scale) / (2 * scale);
}

// "h:mm" or "h:mm:ss"; minutes and seconds are two digits at most and below 60.
std::optional<qint64> colonForm(const QString &text)
{
    const QStringList parts = text.split(QLatin1Char(':'));
    if (parts.size() < 2 || parts.size() > 3)
        return std::nullopt;
    for (const QString &part : parts) {
        if (part.isEmpty())
            return std::nullopt;
    }
    const auto hours = number(parts[0], MaxHourDigits);
    const auto minutes = number(parts[1], 2);
    const auto rest = parts.size() == 3 ? number(parts[2], 2) : std::optional<qint64>(0);
    if (!hours || !minutes || !rest || *minutes > 59 || *rest > 59)
        return std::nullopt;
    return hms(*hours, *minutes, *rest);
}

// "1h30m", "1 h 30 min", "45m", "2 hours", "1.5h", "90s", "1h30".
std::optional<qint64> unitForm(const QString &text)
{
    static const QRegularExpression units(
        QStringLiteral("^(?:([0-9]*[.,]?[0-9]*)\\s*(?:h|hrs?|hours?))?"
                       "\\s*(?:([0-9]*[.,]?[0-9]*)\\s*(?:m|mins?|minutes?))?"
                       "\\s*(?:([0-9]+)\\s*(?:s|secs?|seconds?))?$"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression hoursThenMinutes(
        QStringLiteral("^([0-9]+)\\s*(?:h|hrs?|hours?)\\s*([0-9]{1,2})$"),
        QRegularExpression::CaseInsensitiveOption);

    if (const auto m = hoursThenMinutes.match(text); m.hasMatch()) {
        const auto hours = number(m.captured(1), MaxHourDigits);
        const qint64 minutes = m.captured(2).toLongLong();
        if (!hours || minutes > 59)
            return std::nullopt;
        return hms(*hours, minutes, 0);
    }
    const auto m = units.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    qint64 total = 0;
    bool any = false;
    static constexpr qint64 unitSeconds[] = {3600, 60, 1};
    for (int i = 0; i < 3; ++i) {
        if (!m.hasCaptured(i + 1))
            continue;
        const auto part = scaled(m.captured(i + 1), unitSeconds[i]);
        if (!part)
            return std::nullopt;
        total += *part;
        any = true;
    }
    if (!any)
        return std::nullopt;
    return total;
}

// The typed text's seconds, with no upper bound; nullopt when it is no time.
std::optional<qint64> typedSeconds(const QString &typed)
{
    const QString text = typed.trimmed();
    if (text.isEmpty())
        return 0;
    if (allDigits(text))
        return storedDigits(text);
    if (text.contains(QLatin1Char(':')))
        return colonForm(text);
    static const QRegularExpression decimal(QStringLiteral("^[0-9]*[.,][0-9]*$"));
    if (decimal.match(text).hasMatch())
        return scaled(text, 3600);
    return unitForm(text);
}

} // namespace

std::optional<Duration> Duration::fromStored(const QString &text)
{
    if (!text.contains(QLatin1Char(':'))) {
        const auto s = storedDigits(text);
        return s ? std::optional(fromSeconds(*s)) : std::nullopt;
    }
    QString zeroed = text;
    zeroed.replace(QLatin1Char(' '), QLatin1Char('0'));
    const QStringList parts = zeroed.split(QLatin1Char(':'));
    if (parts.size() != 3)
        return std::nullopt;
    const auto hours = number(parts[0], MaxHourDigits);
    const auto minutes = number(parts[1], 2);
    const auto rest = number(parts[2], 2);
    if (!hours || !minutes || !rest)
        return std::nullopt;
    return fromSeconds(hms(*hours, *minutes, *rest));
}

std::optional<Duration> Duration::fromColumn(const QVariant &stored)
{
    if (stored.isNull() || !stored.isValid())
        return Duration();
    return fromStored(stored.toString());
}

Duration Duration::fromColumnOrZero(const QVariant &stored)
{
    return fromColumn(stored).value_or(Duration());
}

std::optional<Duration> Duration::fromTyped(const QString &typed)
{
    const auto s = typedSeconds(typed);
    if (!s || *s > MaxStoredSeconds)
        return std::nullopt;
    return fromSeconds(*s);
}

QString Duration::refusal(const QString &typed)
{
    const QString shown = typed.trimmed();
    if (typedSeconds(typed))
        return QStringLiteral("\"%1\" is more than 999:59:59, the longest time a TimeCard holds.")
            .arg(shown);
    return QStringLiteral("\"%1\" is not a time. Enter a time such as 1:30:00, 1:30, 1.5 (hours) "
                          "or 1h30m.")
        .arg(shown);
}

QString Duration::toStored() const
{
    const qint64 s = qBound<qint64>(0, m_seconds, MaxStoredSeconds);
    return QStringLiteral("%1%2%3")
        .arg(s / 3600, 3, 10, QLatin1Char('0'))
        .arg(s / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(s % 60, 2, 10, QLatin1Char('0'));
}

QString Duration::toShown() const
{
    // Written digit by digit: lists, reports and invoices show one per row.
    const qint64 s = m_seconds < 0 ? -m_seconds : m_seconds;
    char16_t out[32];
    int at = int(std::size(out));
    const auto digits = [&](qint64 value, int atLeast) {
        int written = 0;
        do {
            out[--at] = char16_t(u'0' + value % 10);
            value /= 10;
            ++written;
        } while (value > 0 || written < atLeast);
    };
    digits(s % 60, 2);
    out[--at] = u':';
    digits(s / 60 % 60, 2);
    out[--at] = u':';
    digits(s / 3600, 3);
    if (m_seconds < 0)
        out[--at] = u'-';
    return QString(reinterpret_cast<const QChar *>(out + at), qsizetype(std::size(out)) - at);
}

} // namespace quorvale
