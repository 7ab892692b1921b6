#pragma once

#include <QString>
#include <QVariant>
#include <compare>
#include <cstdint>
#include <optional>

namespace quorvale {

// An exact currency amount with four decimals, held as a count of ten-thousandths
// the way a currency column holds it. Stored in the database as that integer,
// so a value written is read back to the last digit on every engine.
class Money {
public:
    static constexpr std::int64_t Scale = 10000;

    constexpr Money() = default;
    static constexpr Money fromUnits(std::int64_t tenThousandths)
    {
        Money m;
        m.m_units = tenThousandths;
        return m;
    }
    static constexpr Money fromWhole(std::int64_t whole) { return fromUnits(whole * Scale); }

    // Parses "1234.5", "-0.0001", "1,234.50" (group separators ignored). More than
    // four decimals are rounded half away from zero; anything else is nullopt.
    static std::optional<Money> parse(const QString &text);
    // The value of a stored column: an integer count of ten-thousandths, or null.
    static Money fromStored(const QVariant &stored);

    constexpr std::int64_t units() const { return m_units; }
    QVariant toStored() const { return QVariant::fromValue<qlonglong>(m_units); }

    // "1234.5000" style, always four decimals, '.' as the separator.
    QString toString() const;
    // Two decimals, rounded half away from zero: the figure shown to people.
    QString toDisplayString() const;

    constexpr Money operator+(Money o) const { return fromUnits(m_units + o.m_units); }
    constexpr Money operator-(Money o) const { return fromUnits(m_units - o.m_units); }
    constexpr Money operator-() const { return fromUnits(-m_units); }
    Money &operator+=(Money o)
    {
        m_units += o.m_units;
        return *this;
    }
    // Multiplies by a ratio given as numerator/denominator, rounding half away
    // from zero once at the end (seconds/3600, percent/100, ...).
    Money mulDiv(std::int64_t numerator, std::int64_t denominator) const;

    constexpr auto operator<=>(const Money &) const = default;

private:
    std::int64_t m_units = 0;
};

} // namespace quorvale

Q_DECLARE_METATYPE(quorvale::Money)
