#pragma once

#include <QString>

namespace quorvale {

class LinkDatabase;
struct DatabaseSettings;

// Re-points the tables of the link database at the configured program database:
// at QVData.db in the data directory (Jet), or at the server with the current
// credentials. Returns true when a pass-through table had to be dropped and made
// again as a file link; the caller then reopens the link database and calls again
// with force set, so that every remaining link is set as well.
//
// serverPassword is the plain password (already unscrambled).
bool RefreshLinks(bool &force, LinkDatabase &link, const DatabaseSettings &settings,
                  const QString &serverPassword);

} // namespace quorvale
