#pragma once

#include <QString>

namespace quorvale {
class ErrorHandler;
class Prompts;
} // namespace quorvale

namespace quorvale::bench {

struct PickListOptions {
    QString dir;           // the scratch program directory is made below it
    int contacts = 10'000; // active ones; a few inactive ones are added beside them
    int repetitions = 15;
    bool json = false;
    QString server; // an ODBC connect string: the same on the server, in a schema of its own
};

// The contact picker and the activity lists on a fresh program database of
// `contacts` active contacts, through the program's own ContactPicker,
// PreparedCommands and activityEntries on cnnLink, against SQLite's C API on
// the data file (or, with a server, the ODBC C API there): opening the picker
// on its first rows, reading the whole list on a connection of its own, each
// keystroke of typing and erasing search texts (against a LIKE query per
// keystroke), and refilling both activity lists after a change of contact.
// Returns the process's exit code.
int measurePickLists(const PickListOptions &options, Prompts &prompts, ErrorHandler &errors);

} // namespace quorvale::bench
