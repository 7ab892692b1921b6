#pragma once

#include "filters/TimeCardFilter.h"
#include "timecards/CommandSet.h"

#include <QObject>
#include <memory>

namespace quorvale {

class MainCommands;
class Prompts;
class DataStore;
class OutlookSession;
class WorkingSet;
struct AdminOptions;
struct PreparedCommands;
struct RegSettings;
class TimeCardEditor;
class QuickFilterControls;
class frmTimeCard;
struct FilterDialogSetup;

// The quick filter's tools beside the TimeCard's own contact tools.
// The main window's filter command ("&Filter", Ctrl+F) and the quick filter
// tools. Every one validates the current TimeCard first; a TimeCard that cannot
// be left keeps the set as it is.
class FilterCommands : public CommandSet {
public:
    FilterCommands(frmTimeCard &window, DataStore &store, OutlookSession &outlook,
                   WorkingSet &workingSet, const RegSettings &settings, const AdminOptions &options,
                   const PreparedCommands &commands, TimeCardEditor &editor,
                   MainCommands &mainCommands, Prompts &prompts);

    bool handles(int toolId) const override;
    void run(int toolId) override;

    // Whether a filter narrows the set now.
    bool filtered() const { return m_filter.filtered(); }
    // Turns any filter off, so that a list of every TimeCard can be shown; the
    // dialog's criteria stay for the next time it opens.
    void clear();

    TimeCardFilter &filter() { return m_filter; }
    // The dialog's fields and lists for the options in force.
    FilterDialogSetup dialogSetup() const;

private:
    bool leaveCurrent();
    void filterCommand();
    void selectQuickFilter();
    void settled();
    // The quick filter's control on its own tool bar, as the settings choose it.
    void buildQuickFilterBar();
    void quickFilterChosen();
    void quickFilterContact();

    frmTimeCard &m_window;
    DataStore &m_store;
    OutlookSession &m_outlook;
    WorkingSet &m_workingSet;
    const RegSettings &m_settings;
    const AdminOptions &m_options;
    const PreparedCommands &m_commands;
    TimeCardEditor &m_editor;
    TimeCardFilter m_filter;
    QuickFilterControls *m_quick = nullptr; // the window's, on its tool bar
    // The controls' connections go with these commands.
    std::unique_ptr<QObject> m_receiver = std::make_unique<QObject>();
};

} // namespace quorvale
