#pragma once

#include "Samples.h"

#include <QString>
#include <vector>

namespace quorvale {
class ErrorHandler;
class Prompts;
} // namespace quorvale

namespace quorvale::bench {

struct TimeCardOpsOptions {
    QString programDir; // a database made by `qvadmin generate`
    int repetitions = 15;
    // The journal folder is filled to this many entries before the second round.
    int journalItems = 10'000;
    bool json = false;
};

// What a person does to one TimeCard, through the program's own editor, journal
// mirror and timer on a completed start-up, against the same rows and item
// files written straight through SQLite's C API and libical: creating a
// TimeCard, leaving it changed, a timer tick (CPU and I/O) and a timed run.
// Runs once with an empty item store and once with a journal folder of
// `journalItems` entries. Everything it adds is removed again afterwards.
// Returns the process's exit code.
int measureTimeCardOps(const TimeCardOpsOptions &options, Prompts &prompts, ErrorHandler &errors);

} // namespace quorvale::bench
