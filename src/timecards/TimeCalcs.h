#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

namespace quorvale {

// Durations (time spent, time estimated) are kept as a seven-digit text: hours in
// three digits, minutes in two, seconds in two ("0012345" is 1 h 23 min 45 s,
// "0000000" is none). Minutes or seconds above 59 are read as they stand
// ("0009000" is 90 minutes); the text is never rewritten to carry them over.

inline constexpr int DurationTextLength = 7;
inline constexpr const char *NoDuration = "0000000";
// "9995959": the longest duration the text can hold.
inline constexpr qint64 MaxDurationSeconds = 999 * 3600 + 59 * 60 + 59;

// The seven-digit form of a typed or stored duration, or nullopt when the text is
// not a duration. Blanks and the mask's prompt character "_" count as "0"; a
// shorter text is left-padded with zeros ("123" is "0000123"). The mask's ":"
// separators may stay in: then the parts are hours:minutes:seconds read from the
// right, each padded on its own ("1:30:00" is "0013000", "5:00" is five minutes).
// Longer input: zeros in front of the seventh digit from the right (or of a
// three-digit hour) are dropped, since they change nothing; any other text longer
// than seven digits, a minute or second part over two digits, more than three
// parts or any other character make it no duration.
std::optional<QString> normaliseDurationText(const QString &text);

// Whole seconds of a duration text, which is normalised in place as above.
// Throws QvError (number 5, source "modTimeCalcs") for text that is no duration,
// leaving the text as it was.
qint64 ConvertTimeToSeconds(QString &text);

// The duration text of a number of seconds: "0000000" for 0 and below, and
// "9995959" for anything beyond MaxDurationSeconds, so the result always fits
// the seven-digit column. Callers that must not lose time check the limit first.
QString ConvertSecondsToTime(qint64 seconds);

} // namespace quorvale
