#pragma once

#include "qvadmin/Location.h"

#include <QStringList>
#include <cstdint>
#include <functional>
#include <optional>

class QTextStream;

namespace quorvale::db {
class Connection;
}

namespace quorvale::admin {

// How a benchmark database is made up. The first user (the lowest UserID, the
// init user) is the measured user: the one whose open TimeCards the program's
// main window will work through.
//  - measuredUninvoiced: the measured user's uninvoiced TimeCards
//    (default: 1% of timeCards, so 10,000 of 1,000,000);
//  - the remaining TimeCards are spread evenly over all users; the measured
//    user's share is all invoiced, every other user has uninvoicedPerUser open
//    ones among its share (default: 1% of the share) and the rest invoiced.
// Uninvoiced TimeCards are never hidden, so the measured user's working set is
// exactly measuredUninvoiced TimeCards.
struct GenerateOptions {
    qint64 timeCards = 0;
    int users = 1;
    std::uint64_t seed = 1;
    std::optional<qint64> uninvoicedPerUser;
    std::optional<qint64> measuredUninvoiced;
};

struct GenerateResult {
    int usersAdded = 0;
    qint64 timeCards = 0;
    int measuredUserId = 0;
    qint64 measuredUninvoiced = 0;
    qint64 uninvoiced = 0;
};

// Adds users, contacts and activities as needed and the TimeCards, in one
// transaction. progress(done, total) is called every so often.
GenerateResult generateData(db::Connection &db, const GenerateOptions &options,
                            const std::function<void(qint64, qint64)> &progress = {});

// "generate --timecards N --users U [--seed S] [--uninvoiced-per-user K]
// [--measured-uninvoiced M] [--user NAME]": init first when there is no database.
int runGenerate(const QStringList &args, const GlobalOptions &globals, QTextStream &out,
                QTextStream &err);

} // namespace quorvale::admin
