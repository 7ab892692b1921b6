#pragma once

#include "data/DatabaseSettings.h"
#include "data/LinkDatabase.h"
#include "data/ServerWatch.h"
#include "platform/db/Connection.h"
#include "platform/db/Recordset.h"

#include <QString>
#include <functional>
#include <memory>

namespace quorvale {

class ErrorHandler;
class Prompts;

// The database connections of one run of the program: `cnnLink`, `cnnLocal`,
// `cnnData` (connection type 1, until the main window first shows) and
// `rsAdminOptions`. Opened once at start-up by OpenDB, closed at shut-down.
class DataStore {
public:
    // The database upgrade component: (program directory, data directory) ->
    // success. The default runs DatabaseUpgrader.
    using Upgrade = std::function<bool(const QString &programDir, const QString &dataDir)>;

    DataStore(DatabaseSettings settings, QString programDir, Prompts &prompts,
              ErrorHandler &errors);
    ~DataStore();
    DataStore(const DataStore &) = delete;
    DataStore &operator=(const DataStore &) = delete;

    void setUpgrade(Upgrade upgrade) { m_upgrade = std::move(upgrade); }
    void setSettings(const DatabaseSettings &settings) { m_settings = settings; }
    const DatabaseSettings &settings() const { return m_settings; }
    const QString &programDir() const { return m_programDir; }

    // False (after telling the person) when QVLocal.db is missing.
    bool VerifyDirectoriesAndFiles();
    // Opens every connection; False when one could not be opened (the common error
    // handler has been told). Safe to call again: everything is reopened.
    bool OpenDB();

    db::Connection &cnnLink() { return m_link.connection(); }
    LinkDatabase &linkDatabase() { return m_link; }
    db::Connection &cnnLocal() { return m_local; }
    db::Connection *cnnData() { return m_data.get(); }
    db::Recordset &rsAdminOptions() { return m_adminOptions; }
    // The unscrambled server password, empty with the embedded engine.
    const QString &serverPassword() const { return m_serverPassword; }

    // The database server's connection while it is lost; the common error
    // handler hands it lost connections.
    ServerWatch &serverWatch() { return *m_serverWatch; }

    // Closes and releases `cnnData` (the main window has become active).
    void closeDataConnection() { m_data.reset(); }
    void closeAll();
    // Runs `work` with cnnLocal closed, for a step that needs QVLocal.db to
    // itself (compaction), and opens it again afterwards, also when work throws.
    void withLocalClosed(const std::function<void()> &work);

private:
    void openDatabases();
    void openLinkAndRefresh();
    void openAdminOptions();
    bool upgradeRequested();
    void runUpgrade();
    void replaceLinkFile(const QString &backup, const QString &linkFile);

    DatabaseSettings m_settings;
    QString m_programDir;
    Prompts &m_prompts;
    ErrorHandler &m_errors;
    Upgrade m_upgrade;

    LinkDatabase m_link;
    db::Connection m_local;
    std::unique_ptr<db::Connection> m_data;
    db::Recordset m_adminOptions;
    QString m_serverPassword;
    std::unique_ptr<ServerWatch> m_serverWatch;
};

} // namespace quorvale
