#pragma once

#include <QString>

namespace quorvale {

// The display formats of the start and end time fields.
namespace TimeFormats {
inline constexpr const char *AmPm = "hh:mm AM/PM";
inline constexpr const char *Hours24 = "hh:mm";
inline constexpr const char *Seconds24 = "hh:mm:ss";
} // namespace TimeFormats

// The format of the time fields: the person's own choice ("Time Format" 1, 2, 3
// for the three format tools), else one that follows the system's clock — a
// 24-hour system time format ("HH:mm:ss", "H:mm:ss", ...) gives "hh:mm:ss".
QString chooseTimeFormat(const QString &systemTimeFormat, int timeFormatSetting);

// The same format in Qt's notation, for QTimeEdit and QTime::toString.
QString qtTimeFormat(const QString &format);

} // namespace quorvale
