#pragma once

#include <QString>

namespace quorvale {
class Registry;
}

namespace quorvale::admin {

struct Location;

// Writes what a first program start needs to find its database and its user: the
// "Database" values for the file or the server (the server password scrambled as
// the program stores it) and the "License" values naming the user. One file write.
void writeStartupSettings(Registry &registry, const Location &location, int userId,
                          const QString &userName);

} // namespace quorvale::admin
