#pragma once

#include "platform/db/Connection.h"
#include "qvadmin/Location.h"

namespace quorvale::admin {

// The program database a maintenance command works on, found as
// locationOfExisting() describes and opened for the command's life.
class ProgramDatabase {
public:
    explicit ProgramDatabase(const GlobalOptions &options);
    ProgramDatabase(const ProgramDatabase &) = delete;
    ProgramDatabase &operator=(const ProgramDatabase &) = delete;

    db::Connection &connection() { return m_connection; }
    const Location &location() const { return m_location; }

private:
    Location m_location;
    db::Connection m_connection;
};

// "Yes" or "No" for a stored Boolean.
QString yesNo(const QVariant &stored);

} // namespace quorvale::admin
