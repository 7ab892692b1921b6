#pragma once

#include "ui/TimeCardFields.h"

#include <memory>

namespace quorvale {

class DesktopIdle;
class MainCommands;
class RunningTimerView;
class TimeCardSession;
class TimerTray;
class WorkingSet;
class frmTimeCard;

// The running timer kept in sight beyond its own fields, so recorded hours stay
// honest: the window's title and status note, the tray, the reminders of a
// forgotten timer and the question about idle time.
class TimerInSight {
public:
    struct Parts {
        TimeCardSession &session;
        frmTimeCard &window;
        MainCommands &commands;
        WorkingSet &workingSet;
        const PickListSource &pickLists;
    };
    explicit TimerInSight(const Parts &parts);
    ~TimerInSight();
    TimerInSight(const TimerInSight &) = delete;
    TimerInSight &operator=(const TimerInSight &) = delete;

    // The title, the status note and the tray follow the timer and the row shown.
    void update();
    TimerTray &tray() { return *m_tray; }

private:
    // The tray's commands: pause the timed TimeCard wherever the window is, and
    // start the timer on another TimeCard (resume, switch).
    void pause();
    void timeCard(qint64 timeCardId);

    Parts m_p;
    std::unique_ptr<RunningTimerView> m_view;
    std::unique_ptr<TimerTray> m_tray;
    std::unique_ptr<DesktopIdle> m_idle;
};

} // namespace quorvale
