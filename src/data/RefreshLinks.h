#pragma once

#include <QString>

namespace quorvale {

class LinkDatabase;
struct DatabaseSettings;

// Re-points the tables of the link database at the configured program database:
// at QVData.db in the data directory (Jet), or at the server and user the
// settings name. Returns true when a pass-through table had to be dropped and made
// again as a file link; the caller then reopens the link database and calls again
// with force set, so that every remaining link is set as well.
//
// Server links keep the connect string without its password (and lose one an
// older link file kept); LinkDatabase adds the password when it connects.
bool RefreshLinks(bool &force, LinkDatabase &link, const DatabaseSettings &settings);

} // namespace quorvale
