#include "TimeStamp.h"

#include "Clock.h"
#include "TimeFormat.h"

namespace quorvale {

std::optional<QString> InsertTimeStamp(int key, Qt::KeyboardModifiers modifiers, const Clock &clock,
                                       const QLocale &locale)
{
    // Ctrl with Shift or Alt is some other shortcut; the keypad's digits are not
    // the top row.
    if (modifiers != Qt::ControlModifier || key < Qt::Key_1 || key > Qt::Key_6)
        return std::nullopt;
    const int n = key - Qt::Key_0;
    const QDateTime now = clock.now();
    const QString date = locale.toString(now.date(), QLocale::ShortFormat);
    // QTime::toString writes AM/PM the same in every locale, as "Medium Time" does.
    const QString time = now.time().toString(qtTimeFormat(QLatin1String(TimeFormats::AmPm)));

    QString stamp;
    if (n <= 2)
        stamp = date;
    else if (n <= 4)
        stamp = date + QLatin1Char(' ') + time;
    else
        stamp = time;
    const QString lineBreaks = n % 2 == 0 ? QStringLiteral("\n\n") : QString();
    return lineBreaks + QLatin1Char('[') + stamp + QStringLiteral("] ");
}

} // namespace quorvale
