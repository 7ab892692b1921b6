#include "Money.h"

#include <cstdlib>
#include <iterator>

namespace quorvale {

namespace {

__extension__ typedef __int128 Int128;

std::int64_t roundDiv(Int128 num, Int128 den)
{
    if (den < 0) {
        num = -num;
        den = -den;
    }
    const Int128 q = num / den;
    const Int128 r = num % den;
    if (2 * (r < 0 ? -r : r) >= den)
        return static_cast<std::int64_t>(num < 0 ? q - 1 : q + 1);
    return static_cast<std::int64_t>(q);
}

} // namespace

std::optional<Money> Money::parse(const QString &text)
{
    QString s = text.trimmed();
    s.remove(QLatin1Char(','));
    if (s.startsWith(QLatin1Char('$')))
        s.remove(0, 1);
    if (s.isEmpty())
        return std::nullopt;
    bool negative = false;
    if (s.startsWith(QLatin1Char('-')) || s.startsWith(QLatin1Char('+'))) {
        negative = s.startsWith(QLatin1Char('-'));
        s.remove(0, 1);
    }
    const qsizetype dot = s.indexOf(QLatin1Char('.'));
    const QString whole = dot < 0 ? s : s.left(dot);
    QString frac = dot < 0 ? QString() : s.mid(dot + 1);
    if (whole.isEmpty() && frac.isEmpty())
        return std::nullopt;
    for (QChar c : whole + frac)
        if (!c.isDigit() || c.unicode() > '9')
            return std::nullopt;
    if (whole.size() > 14)
        return std::nullopt;
    Int128 units = whole.isEmpty() ? 0 : whole.toLongLong();
    units *= Scale;
    // Keep one digit beyond the fourth to round on.
    const QString kept = frac.left(5).leftJustified(5, QLatin1Char('0'));
    const std::int64_t fracUnits = kept.left(4).toLongLong();
    const int roundDigit = kept.at(4).digitValue();
    units += fracUnits;
    if (roundDigit >= 5)
        units += 1;
    return fromUnits(static_cast<std::int64_t>(negative ? -units : units));
}

Money Money::fromStored(const QVariant &stored)
{
    if (!stored.isValid() || stored.isNull())
        return Money();
    if (stored.typeId() == QMetaType::QString || stored.typeId() == QMetaType::QByteArray) {
        // Some ODBC drivers hand integers back as text.
        bool ok = false;
        const qlonglong v = stored.toString().toLongLong(&ok);
        return ok ? fromUnits(v) : Money();
    }
    return fromUnits(stored.toLongLong());
}

QString Money::toString() const
{
    const std::int64_t a = std::llabs(m_units);
    return QStringLiteral("%1%2.%3")
        .arg(m_units < 0 ? QStringLiteral("-") : QString())
        .arg(a / Scale)
        .arg(a % Scale, 4, 10, QLatin1Char('0'));
}

QString Money::toDisplayString() const
{
    // Written digit by digit: reports and invoices show one or more per row.
    const std::int64_t cents = roundDiv(m_units, 100);
    std::uint64_t a =
        cents < 0 ? 0 - static_cast<std::uint64_t>(cents) : static_cast<std::uint64_t>(cents);
    char16_t out[32];
    int at = int(std::size(out));
    out[--at] = char16_t(u'0' + a % 10);
    a /= 10;
    out[--at] = char16_t(u'0' + a % 10);
    a /= 10;
    out[--at] = u'.';
    do {
        out[--at] = char16_t(u'0' + a % 10);
        a /= 10;
    } while (a > 0);
    if (cents < 0)
        out[--at] = u'-';
    return QString(reinterpret_cast<const QChar *>(out + at), qsizetype(std::size(out)) - at);
}

Money Money::mulDiv(std::int64_t numerator, std::int64_t denominator) const
{
    return fromUnits(roundDiv(static_cast<Int128>(m_units) * numerator, denominator));
}

} // namespace quorvale
