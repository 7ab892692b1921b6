#pragma once

#include "data/Migrations.h"

#include <QString>
#include <vector>

namespace quorvale {

// The database upgrade component: brings the program database (QVData.db in the
// data directory) up to this program's schema version. Every pending step, the
// new version number and the reset of the upgrade request commit together, so a
// failure leaves the file exactly as it was. When the upgrade changes the set of
// tables, a new link database is left as QVLinkBU.db in the program directory for
// the caller to swap in for QVLink.db.
class DatabaseUpgrader {
public:
    // The one mode there is: upgrade the program database.
    static constexpr int ModeUpgrade = 1;

    DatabaseUpgrader();
    // With another list of steps than the program's own (tests, tools).
    explicit DatabaseUpgrader(std::vector<schema::Migration> migrations);

    // Whether the program database in dataDir is at an older schema version than
    // this program writes; false when it cannot be read (opening reports that).
    static bool isBehind(const QString &dataDir);

    void prepare(int mode, const QString &programDir, const QString &dataDir);
    // True when the database is at the current version and the upgrade request is
    // cleared; False (with lastError) when nothing was changed.
    bool run();

    const QString &lastError() const { return m_lastError; }
    int versionBefore() const { return m_versionBefore; }
    int versionAfter() const { return m_versionAfter; }
    bool linkDatabaseWritten() const { return m_linkWritten; }

private:
    bool fail(const QString &why);
    void upgrade(const QString &dataFile, const QString &pendingLinkFile);

    std::vector<schema::Migration> m_migrations;
    int m_mode = 0;
    QString m_programDir;
    QString m_dataDir;
    QString m_lastError;
    int m_versionBefore = 0;
    int m_versionAfter = 0;
    bool m_linkWritten = false;
    bool m_linkPending = false;
};

} // namespace quorvale
