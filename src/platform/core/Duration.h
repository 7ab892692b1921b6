#pragma once

#include <QString>
#include <QVariant>
#include <compare>
#include <optional>

namespace quorvale {

// A length of time in whole seconds: a TimeCard's time spent and time estimated,
// an amount added to or taken from them, a run of the timer. This is the one
// place that reads and writes their texts:
// - stored: seven digits, hours in three, minutes and seconds in two each
//   ("0013000" is 1 h 30 min, "0000000" none). Existing files and other
//   installations read and write the column in exactly this form.
// - shown: "hhh:mm:ss" ("001:30:00"), more hour digits only past 999 hours.
// - typed: what a person writes into a duration field (see fromTyped).
class Duration {
public:
    static constexpr int StoredLength = 7;
    // "9995959": the longest duration the stored text holds.
    static constexpr qint64 MaxStoredSeconds = 999 * 3600 + 59 * 60 + 59;

    constexpr Duration() = default;
    static constexpr Duration fromSeconds(qint64 seconds)
    {
        Duration d;
        d.m_seconds = seconds;
        return d;
    }

    constexpr qint64 seconds() const { return m_seconds; }
    constexpr bool isZero() const { return m_seconds == 0; }
    constexpr bool fitsStored() const { return m_seconds >= 0 && m_seconds <= MaxStoredSeconds; }
    // Whole minutes, half a minute and more counting as a minute: what an item's
    // Duration (in minutes) holds of it.
    constexpr qint64 roundedMinutes() const
    {
        return m_seconds >= 0 ? (m_seconds + 30) / 60 : -((-m_seconds + 30) / 60);
    }

    // The stored text as the column may hold it: digits, where a blank (left
    // by the old edit mask) counts as "0" and a shorter text is left-padded
    // with zeros ("123" is 1 min 23 s); beyond seven digits the hours take
    // more places ("10000000" is 1000 h). The shown "hhh:mm:ss" form is read
    // too. Minutes or seconds above 59 count as they stand ("0009000" is
    // 90 min). Empty text is no time; anything else is nullopt.
    static std::optional<Duration> fromStored(const QString &text);
    // A column's value: Null is no time.
    static std::optional<Duration> fromColumn(const QVariant &stored);
    // For reading only: a damaged text counts as no time, so one bad row
    // cannot stop a total, a list or a journal entry.
    static Duration fromColumnOrZero(const QVariant &stored);

    // What a person types into a duration field, blanks around it ignored:
    //   "1:30:00"  hours:minutes:seconds      "1:30"  hours:minutes
    //   "1.5"      hours ("1,5" too)          "1h30m", "45m", "2 hours", "90s"
    //   "123"      a bare run of digits: the stored form, left-padded
    //              ("123" is 1 min 23 s, "0013000" is 1 h 30 min)
    // Minutes and seconds after a ":" are 0 to 59. Empty text is no time.
    // Anything else, and anything longer than MaxStoredSeconds, is nullopt:
    // refused rather than read as some other time.
    static std::optional<Duration> fromTyped(const QString &typed);
    // Why fromTyped refused the text, in words for the person who typed it.
    static QString refusal(const QString &typed);

    // Seven digits; below zero gives "0000000" and past MaxStoredSeconds
    // "9995959" (callers that must not lose time check fitsStored first).
    QString toStored() const;
    // "hhh:mm:ss", a "-" before a negative one.
    QString toShown() const;

    constexpr Duration operator+(Duration o) const { return fromSeconds(m_seconds + o.m_seconds); }
    constexpr Duration operator-(Duration o) const { return fromSeconds(m_seconds - o.m_seconds); }
    constexpr auto operator<=>(const Duration &) const = default;

private:
    qint64 m_seconds = 0;
};

} // namespace quorvale
