#pragma once

#include "timecards/InterruptTimer.h"
#include "timecards/InterruptTimerHost.h"

#include <functional>
#include <memory>

class QWidget;

namespace quorvale {

class Clock;
class TimeCardSession;
class frmInterruptTimer;

// The interruption timer beside the TimeCard's own: its window, made on first
// use, and what its pastes and its resume do to the session's TimeCards.
class InterruptBinding final : public InterruptTimerHost {
public:
    struct Hooks {
        // A new TimeCard for a paste (F11 without the timer); false when none was made.
        std::function<bool()> newTimeCard;
        // A paste was written to the current TimeCard: show it.
        std::function<void()> pasted;
        // The timers' tools and captions may have changed.
        std::function<void()> changed;
        // A second of the interruption went by.
        std::function<void()> ticked;
    };
    InterruptBinding(TimeCardSession &session, const Clock &clock, QWidget &parent, Hooks hooks);
    ~InterruptBinding() override;
    InterruptBinding(const InterruptBinding &) = delete;
    InterruptBinding &operator=(const InterruptBinding &) = delete;

    // F4: the interruption's window, made on first use.
    frmInterruptTimer &window();
    // The menu's interruption tools follow those of its window.
    InterruptTools tools() const;
    // Paste, Cancel and Cancel && Resume from the menu act as in the window.
    void runTool(int toolId);

    TimerValueInputs valueInputs() const override;
    QString timeSegmentNote() const override;
    bool processActiveCard() override;
    void runEnded(const TimerEnded &ended) override;
    void pasteToNewTimeCard(const InterruptPaste &paste) override;
    std::optional<QString> currentTimeSpent() const override;
    void pasteToCurrentTimeCard(const InterruptPaste &paste) override;
    void resumeTimer(qint64 timeCardId) override;
    void timerInterfaceChanged() override;

private:
    TimeCardSession &m_session;
    const Clock &m_clock;
    QWidget &m_parent;
    Hooks m_hooks;
    std::unique_ptr<InterruptTimer> m_interrupt;
    // A child of the parent window, which deletes it.
    frmInterruptTimer *m_window = nullptr;
};

} // namespace quorvale
