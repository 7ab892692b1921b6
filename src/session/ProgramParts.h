#pragma once

#include <QString>

namespace quorvale {

class DataStore;
class OutlookSession;
class StartUp;
class WorkingSet;
struct AdminOptions;
struct Permissions;
struct PreparedCommands;
struct RegSettings;

// What a completed start-up opened and read, for the two places that compose
// the running program: the TimeCard session and the main window with its
// commands. They hand each command only the pieces it works on.
struct ProgramParts {
    DataStore &store;
    OutlookSession &outlook;
    WorkingSet &workingSet;
    // Changed by the user options dialog for the rest of the run.
    RegSettings &settings;
    const AdminOptions &options;
    const Permissions &permissions;
    // Prepared again in place after the lists they read were maintained.
    const PreparedCommands &commands;
    // The time format start-up settled on (the system's when none was set).
    const QString &timeFormat;
};

ProgramParts programParts(StartUp &startUp);

} // namespace quorvale
