#pragma once

#include <QLocale>
#include <QString>
#include <Qt>
#include <optional>

namespace quorvale {

class Clock;

// The text Ctrl+1 .. Ctrl+6 (the top-row digits, not the keypad) put at the
// caret of a note field, replacing any selection:
//   1 "[date] "         2 two line breaks, then "[date] "
//   3 "[date time] "    4 two line breaks, then "[date time] "
//   5 "[time] "         6 two line breaks, then "[time] "
// Dates in the locale's short format, times as "hh:mm AM/PM", both from the
// clock's present moment. nullopt for every other key: nothing is inserted.
// The line breaks are "\n", what Enter types into a Qt text field.
std::optional<QString> InsertTimeStamp(int key, Qt::KeyboardModifiers modifiers, const Clock &clock,
                                       const QLocale &locale = QLocale());

} // namespace quorvale
