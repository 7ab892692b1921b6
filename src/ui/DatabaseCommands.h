#pragma once

#include "timecards/CommandSet.h"

#include <QDateTime>
#include <QString>
#include <functional>

class QWidget;

namespace quorvale {

class DataStore;
class Prompts;
struct CopySteps;

// The databases' upkeep from the window: compacting this person's local
// databases, and the shared program database's backup (on request and on the
// administrator's schedule at start) and restore. Each says in words what it
// did or why it did nothing, and what was kept.
class DatabaseCommands : public CommandSet {
public:
    // What the commands ask the desktop for; each has a working default.
    struct Hooks {
        // A folder for the backups, starting at `current`; empty: cancelled.
        std::function<QString(const QString &current)> chooseFolder;
        // A backup to restore from, starting in `folder`; empty: cancelled.
        std::function<QString(const QString &folder)> chooseBackup;
        std::function<QDateTime()> now;
        // Ends the program once a restore has closed the window.
        std::function<void()> quit;
    };

    DatabaseCommands(QWidget &window, DataStore &store, Prompts &prompts, Hooks hooks = {});

    bool handles(int toolId) const override;
    void run(int toolId) override;

    // At start: the administrator's scheduled backup, when one is due.
    void backupIfDue();

    // The window to close before a restore: false when it stayed open (the
    // person kept a TimeCard to finish).
    void setCloseWindow(std::function<bool()> closeWindow)
    {
        m_closeWindow = std::move(closeWindow);
    }
    // To answer the choosers without a desktop.
    Hooks &hooks() { return m_hooks; }

private:
    void compact();
    // scheduled: the backup was due at start, into the administrator's folder.
    void backup(bool scheduled);
    void restore();
    // Runs the copy on a worker thread behind a progress window that can be
    // cancelled; the window goes on painting meanwhile.
    template <typename Result>
    Result withCopyProgress(const QString &label,
                            const std::function<Result(const CopySteps &)> &copy);
    void tell(const QString &title, const QString &text, bool warning);

    QWidget &m_window;
    DataStore &m_store;
    Prompts &m_prompts;
    Hooks m_hooks;
    std::function<bool()> m_closeWindow;
};

} // namespace quorvale
