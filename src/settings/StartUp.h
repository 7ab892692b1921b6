#pragma once

#include "data/DataStore.h"
#include "data/WorkingSet.h"
#include "outlook/OutlookSession.h"
#include "settings/AdjustInterface.h"
#include "settings/AdminSettings.h"
#include "settings/Permissions.h"
#include "settings/PreparedCommands.h"
#include "settings/RegSettings.h"
#include "settings/WindowLifecycle.h"
#include "support/Version.h"

#include <QSize>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace quorvale {

class ErrorHandler;
class Prompts;
class Registry;

// The main window's size when none was saved: every tool and every field of
// the TimeCard page in sight (1100 x 680 pixels at 96 dpi), which a 1366 x 768
// screen holds.
inline constexpr QSize DefaultWindowTwips{16500, 10200};
// The size saved as "Form Width" and "Form Height", in twips. Nothing saved, or
// the 8220 x 7125 an earlier version saved for a window nobody resized (in
// which three tools and half the TimeCard page did not fit), is the default.
QSize storedWindowSize(QSize savedTwips);

// What start-up takes from its surroundings rather than deciding itself.
struct StartUpEnvironment {
    QString programDir;
    QString itemStoreRoot;
    // The system's time format in Qt's notation (QLocale::timeFormat).
    QString systemTimeFormat;
    int runningRevision = Version::Revision;
    // The administrator tool, whose presence (with QVReport.db) makes reports
    // available.
    QString adminToolPath;
};

// The program's start-up and shut-down around the main window: the chain of
// steps that ends in a bound working set, and the settings saved on closing.
// Each step returns true to go on; a step that returns false has told the person
// why (or the error handler has), and the program then ends without saving.
class StartUp : public WindowLifecycle {
public:
    StartUp(Registry &registry, Prompts &prompts, ErrorHandler &errors,
            StartUpEnvironment environment);
    ~StartUp() override;
    StartUp(const StartUp &) = delete;
    StartUp &operator=(const StartUp &) = delete;

    // The initial set-up window: true once the person chose a database and who
    // they are. Unset, the set-up is asked for through the prompts by name.
    using InitialSetupWindow = std::function<bool(Registry &registry, const QString &programDir)>;
    void setInitialSetup(InitialSetupWindow window) { m_initialSetup = std::move(window); }

    // The whole chain, in its fixed order.
    bool Form_Load();

    // The steps, in that order.
    bool VerifyRegistryKeys();
    bool ReadDatabaseKey();
    bool InitialSetup();
    bool VerifyDirectoriesAndFiles();
    bool OpenDB();
    bool StampSetupDate();
    bool ReadWindowSettings();
    bool CreateOutlookInstance();
    bool LoadSettings();
    bool AdaptMenus();
    bool SetRecordSet();
    bool SetTimeFormat();
    bool Finish();

    bool Form_Activate() override;
    void Form_QueryUnload(const WindowClosing &closing) override;

    // True while the first-run set-up was shown in this process.
    bool firstRunSetup() const { return m_firstRunSetup; }
    const DatabaseSettings &databaseSettings() const { return m_databaseSettings; }
    DataStore &store() { return *m_store; }
    OutlookSession &outlook() { return *m_outlook; }
    const RegSettings &settings() const { return m_settings; }
    // The user options dialog changes them for the rest of the run.
    RegSettings &settings() { return m_settings; }
    const StartUpEnvironment &environment() const { return m_env; }
    const QString &programDir() const override { return m_env.programDir; }
    const AdminOptions &options() const { return m_options; }
    const Permissions &permissions() const { return m_permissions; }
    const PreparedCommands &commands() const { return m_commands; }
    bool refreshPreparedCommands() override;
    WorkingSet &workingSet() { return *m_workingSet; }
    WorkingSetContext workingSetContext() const override;
    const std::vector<ToolChange> &toolChanges() const override { return m_toolChanges; }
    QSize windowSizeTwips() const override { return m_windowSizeTwips; }
    bool viewTimeDetail() const override { return m_viewTimeDetail; }
    bool viewActiveTaskList() const override { return m_viewActiveTaskList; }
    const QString &timeFormat() const { return m_timeFormat; }
    const QString &helpFile() const { return m_helpFile; }
    bool reportingAvailable() const override { return m_reportingAvailable; }

private:
    void makeContactCards();
    Registry &m_registry;
    Prompts &m_prompts;
    ErrorHandler &m_errors;
    StartUpEnvironment m_env;
    InitialSetupWindow m_initialSetup;

    DatabaseSettings m_databaseSettings;
    bool m_firstRunSetup = false;
    std::unique_ptr<DataStore> m_store;
    std::unique_ptr<OutlookSession> m_outlook;
    RegSettings m_settings;
    AdminOptions m_options;
    Permissions m_permissions;
    PreparedCommands m_commands;
    std::unique_ptr<WorkingSet> m_workingSet;
    std::vector<ToolChange> m_toolChanges;
    QSize m_windowSizeTwips = DefaultWindowTwips;
    bool m_viewTimeDetail = true;
    bool m_viewActiveTaskList = true;
    QString m_timeFormat;
    QString m_helpFile;
    bool m_activated = false;
    bool m_reportingAvailable = false;
};

// True when a stored text holds a date (or a date and time) in any form the
// program writes or a person would type.
bool holdsDate(const QString &text);

} // namespace quorvale
