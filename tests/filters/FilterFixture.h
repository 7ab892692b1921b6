#pragma once

#include "data/DataStore.h"
#include "data/WorkingSet.h"
#include "testsupport/ProgramFiles.h"

#include <QVariantMap>
#include <vector>

namespace quorvale::test {

// The working set of one user over a real data file, with TimeCards made to
// order column by column.
struct FilterFixture {
    static constexpr qint32 User = 4;

    ProgramFiles files;
    DataStore store{files.jetSettings(0), files.programDir(), files.prompts, files.errors};
    WorkingSet set{files.errors};
    WorkingSetContext context{true, Terms{}, User, QStringLiteral("Pat")};

    // A TimeCard of the user with these columns set (names as in tblTimeCards).
    qint32 card(const QVariantMap &columns, qint32 userId = User) const;

    bool open(bool includeHidden = true);
    std::vector<qint32> keys();
    qint32 current();
};

} // namespace quorvale::test
