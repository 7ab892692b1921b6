#pragma once

#include <QString>
#include <QTextStream>

namespace quorvale::bench {

struct LoadOptions {
    QString server; // an ODBC connect string; the run uses a schema of its own there
    int users = 50;
    int seconds = 20;
    bool json = false;
};

// Many people on one program database server at once. Each simulated user, on a
// thread and a connection of its own, opens its open work, creates a TimeCard,
// times it (a save of the time every few moments), leaves it with a description,
// and now and then adds a minute to a TimeCard the whole firm shares, read and
// written back as a person's window does (a save over someone else's change is
// refused, re-read and done again). First one user alone, as the baseline, then
// all of them, for the same time each. Prints throughput, latency percentiles per
// operation, errors, conflicts, and lost writes: every value a user was told was
// saved is read back at the end. Returns 0 when nothing was lost and nothing failed.
int runLoad(const LoadOptions &options, QTextStream &out);

} // namespace quorvale::bench
