#include "TimeFormat.h"

namespace quorvale {

QString chooseTimeFormat(const QString &systemTimeFormat, int timeFormatSetting)
{
    switch (timeFormatSetting) {
    case 1:
        return QLatin1String(TimeFormats::AmPm);
    case 2:
        return QLatin1String(TimeFormats::Hours24);
    case 3:
        return QLatin1String(TimeFormats::Seconds24);
    default:
        break;
    }
    // Qt writes a 24-hour clock with "H" and a 12-hour one with "h" and "AP".
    const bool twentyFour = systemTimeFormat.contains(QLatin1Char('H')) &&
                            !systemTimeFormat.contains(QLatin1String("ap"), Qt::CaseInsensitive);
    if (twentyFour)
        return QLatin1String(TimeFormats::Seconds24);
    return QLatin1String(TimeFormats::AmPm);
}

QString qtTimeFormat(const QString &format)
{
    if (format == QLatin1String(TimeFormats::AmPm))
        return QStringLiteral("hh:mm AP");
    return format;
}

} // namespace quorvale
