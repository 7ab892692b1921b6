#pragma once

#include "platform/core/Duration.h"

#include <QString>
#include <QtGlobal>

namespace quorvale {

// The duration conversions under the names the timer and the time commands
// know them by; Duration reads and writes every duration text.

// "9995959": the longest duration the stored text can hold.
inline constexpr qint64 MaxDurationSeconds = Duration::MaxStoredSeconds;

// Whole seconds of a stored duration text (see Duration::fromStored).
// Throws QvError (number 5, source "modTimeCalcs") for text that is no duration.
qint64 ConvertTimeToSeconds(const QString &text);

// The stored text of a number of seconds: "0000000" for 0 and below, and
// "9995959" for anything beyond MaxDurationSeconds, so the result always fits
// the seven-digit column. Callers that must not lose time check the limit first.
QString ConvertSecondsToTime(qint64 seconds);

} // namespace quorvale
