#pragma once

#include <QString>
#include <QVariant>
#include <cstdint>

namespace quorvale {

// A realization factor held exactly in hundredths of a percent (10000 = 100 %),
// so that the value is computed without a binary fraction. Stored as the
// fraction (0.85) the Realization columns hold.
class Realization {
public:
    static constexpr std::int64_t Full = 10000;

    constexpr Realization() = default;
    static constexpr Realization fromHundredthsOfPercent(std::int64_t hundredths)
    {
        Realization r;
        r.m_hundredths = hundredths;
        return r;
    }
    static constexpr Realization fromPercent(std::int64_t percent)
    {
        return fromHundredthsOfPercent(percent * 100);
    }
    // The stored fraction, to the nearest hundredth of a percent; null or not a
    // number is full realization (the column's default).
    static Realization fromStored(const QVariant &stored);
    QVariant toStored() const;

    constexpr std::int64_t hundredthsOfPercent() const { return m_hundredths; }
    // "##0%": whole percent, rounded half away from zero ("85%").
    QString toDisplayString() const;

    constexpr auto operator<=>(const Realization &) const = default;

private:
    std::int64_t m_hundredths = Full;
};

} // namespace quorvale
