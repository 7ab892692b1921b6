#include "data/Migrations.h"

#include <algorithm>

namespace quorvale::schema {

const std::vector<Migration> &programMigrations()
{
    // A new step appends an entry here and changes the table descriptions so that
    // a newly created database is the same as an upgraded one.
    static const std::vector<Migration> migrations{
        {1, QStringLiteral("Baseline schema"), {}, {}},
    };
    return migrations;
}

int programSchemaVersion()
{
    const auto &all = programMigrations();
    int version = 1;
    for (const auto &m : all)
        version = std::max(version, m.version);
    return version;
}

} // namespace quorvale::schema
