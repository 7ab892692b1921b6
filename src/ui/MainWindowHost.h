#pragma once

#include "timecards/Clock.h"
#include "timecards/CommandSet.h"
#include "timecards/MainCommands.h"
#include "timecards/SegmentNotes.h"
#include "timecards/TimeAdjust.h"
#include "timecards/TimeCardDelete.h"
#include "ui/InterruptBinding.h"
#include "ui/ItemInspector.h"
#include "ui/WindowCommands.h"
#include "ui/frmTimeCard.h"

#include <QScopeGuard>
#include <QStatusBar>
#include <memory>

namespace quorvale {

namespace pim {
class OutboxSender;
}

class ErrorHandler;
class Prompts;
class Registry;
class WindowLifecycle;
class TimeCardBinder;
class TimeCardSession;
class TimeCardEditor;
class TimerBinding;
class ActiveRunStore;
class KeptEdits;
class TimeCardMirror;
class TimerInSight;
class TimerTray;
class InterruptTimer;
class frmInterruptTimer;
class AbbreviationCommands;
class EditCommands;
class HelpCommands;
class DatabaseCommands;
class TourCommands;
class ReportCommands;
class SettingsCommands;
class ContactCommands;
class DocumentCommands;
class PaymentCommands;
class ChargeCommands;
class NewItemCommands;
class FilterCommands;
class ManageCommands;
class ViewCommands;
class LinkCommands;
class LinkFollowing;
class MassEditCommands;

// The main window with the commands it dispatches to, wired to a completed
// start-up: errors go to the common handler, closing saves through start-up.
// It receives what start-up opened and hands each command only its pieces.
class MainWindowHost : public CommandSet {
public:
    // clock: where the timer's time comes from (the system's when null).
    MainWindowHost(const ProgramParts &program, WindowLifecycle &lifecycle, Registry &registry,
                   Prompts &prompts, ErrorHandler &errors, const Clock *clock = nullptr);
    ~MainWindowHost() override;
    MainWindowHost(const MainWindowHost &) = delete;
    MainWindowHost &operator=(const MainWindowHost &) = delete;

    frmTimeCard &window() { return *m_window; }
    MainCommands &commands() { return m_commands; }
    TimeCardEditor &editor() { return *m_editor; }

    // Sizes the window as it was left and shows it; the first activation follows.
    void show();

    // F11 and F12: a new TimeCard with its defaults and journal entry, and the
    // delete with its dialog. A paste makes its own times, so the timer must not
    // start on its TimeCard (noAutostart).
    bool newTimeCard(bool noAutostart = false);
    void deleteTimeCard();
    // Add/Subtract Time on the time spent, or on the estimate while it has the focus.
    void adjustTime(AdjustDirection direction);
    TimerBinding &timer() { return *m_timer; }
    // F4: the interrupt timer's window, made on first use.
    frmInterruptTimer &interruptTimerWindow() { return m_interrupt->window(); }
    InterruptBinding &interruption() { return *m_interrupt; }
    ViewCommands &viewCommands() { return m_windowCommands->view(); }
    HelpCommands &helpCommands() { return m_windowCommands->help(); }
    DatabaseCommands &databaseCommands() { return m_windowCommands->databases(); }
    TourCommands &tourCommands() { return m_windowCommands->tour(); }
    AbbreviationCommands &abbreviationCommands() { return m_windowCommands->abbreviations(); }
    // Expenses and fixed charges: the entry point of the new-item and link commands.
    ChargeCommands &chargeCommands() { return m_windowCommands->charges(); }
    // The running timer in the tray (its menu is there without a tray too).
    TimerTray &tray();

    // The TimeCard's own commands: new, delete, timer, interruption, time.
    bool handles(int toolId) const override;
    void run(int toolId) override;

private:
    ProgramParts m_program;
    WindowLifecycle &m_lifecycle;
    Registry &m_registry;
    Prompts &m_prompts;
    ErrorHandler &m_errorHandler;
    SystemClock m_systemClock;
    const Clock &m_clock;
    MainCommands m_commands;
    // Sends what waits in the Outbox: at the start and after each message the
    // editors send. Before the window and the editors, so it outlives both.
    std::unique_ptr<pim::OutboxSender> m_outbox;
    std::unique_ptr<frmTimeCard> m_window;
    // Shows items in their editors for the whole run (Item::Display).
    std::unique_ptr<ItemInspector> m_inspector;
    // After the window: it goes before the window does.
    std::unique_ptr<TimeCardSession> m_session;
    // The session's parts, which the commands are given.
    TimeCardEditor *m_editor = nullptr;
    TimeCardBinder *m_binder = nullptr;
    TimeCardMirror *m_mirror = nullptr;
    ActiveRunStore *m_runStore = nullptr;
    TimerBinding *m_timer = nullptr;
    std::unique_ptr<InterruptBinding> m_interrupt;
    std::unique_ptr<WindowCommands> m_windowCommands;
    std::unique_ptr<TimerInSight> m_sight;
    bool m_showingNote = false; // the field shows a note: nothing was typed

    DeleteContext deleteContext();

    void syncTimerTools();
    // Puts the status bar back to "Review" when it goes, however the work ended.
    auto reviewWhenDone()
    {
        return qScopeGuard(
            [this] { m_window->statusBar()->showMessage(QStringLiteral("Review")); });
    }
    // The time segment field shows the current TimeCard's note on its next run.
    void showSegmentNote();
    // The title, status note and tray follow the timer (TimerInSight).
    void updateCaption();

    // Closing while the database server is away: asks whether to quit anyway
    // (a timer's run and the current TimeCard's changes are kept on this
    // computer for the next start).
    bool quitWithoutServer();
    // The server is back: the TimeCard's pending changes and the runs' time
    // details kept meanwhile are written.
    void writeKeptWork();
};

} // namespace quorvale
