#pragma once

#include <QString>

namespace quorvale {

// What becomes of control characters (U+0000-U+001F, U+007F, U+0080-U+009F)
// in text that leaves the program: item files, mail, reports, the terminal.
// The database keeps every character as it was typed; only its copies outside
// are cleaned. iCalendar and vCard forbid these characters, a mail header
// cannot carry them, an HTML page or a spreadsheet shows them as boxes, and a
// terminal obeys them: ESC and U+009B start sequences that recolour the screen,
// move the cursor or rename the window.
enum class ControlCharacters {
    // Dropped, except TAB and the line breaks (CR, LF) of multi-line values:
    // descriptions, notes, message bodies, report cells.
    DropKeepLines,
    // Dropped, except TAB; a line break (CR, LF or CR LF) becomes one space:
    // subjects, names, header fields, parameters.
    DropOneLine,
    // Each one written as the escape a programmer would type: \t, \n, \r and
    // \xHH (\x1b, \x7f, \x9b). For the terminal: the person sees that something
    // is there and which character it is, in plain ASCII that needs no font
    // and survives any locale, log file and pipe.
    Escape,
};

QString outgoingText(const QString &text, ControlCharacters how);

} // namespace quorvale
