#pragma once

#include <QObject>
#include <QPointer>
#include <functional>
#include <optional>

class QAction;
class QMenu;
class QSystemTrayIcon;

namespace quorvale {

class RunningTimerView;
class Timer;

// The running timer in the desktop's tray, for a person working in other
// windows: the icon shows whether a run is on, its tip the running time, and
// its menu holds what they reach for without the main window. Shown only where
// the desktop offers a tray; the menu is the same either way.
class TimerTray : public QObject {
    Q_OBJECT
public:
    struct Hooks {
        std::function<void()> pause;
        // Starts the timer on that TimeCard (resume, or switch to another).
        std::function<void(qint64 timeCardId)> timeCard;
        std::function<void()> newTimeCard;
        std::function<void()> showWindow;
    };
    TimerTray(const Timer &timer, RunningTimerView &view, Hooks hooks, QObject *parent = nullptr);
    ~TimerTray() override;

    // The timer started, paused or ticked: icon, tip and menu follow.
    void update(const QString &title);

    // A reminder as the tray's message, where the desktop shows one.
    void remind(const QString &text);

    QMenu *menu() const { return m_menu.get(); }
    QAction *pauseAction() const { return m_pause; }
    QAction *resumeAction() const { return m_resume; }
    QMenu *switchMenu() const { return m_switch; }
    bool shown() const;

private:
    void fillSwitchMenu();

    const Timer &m_timer;
    RunningTimerView &m_view;
    Hooks m_hooks;
    std::unique_ptr<QMenu> m_menu;
    QPointer<QSystemTrayIcon> m_icon;
    QAction *m_pause = nullptr;
    QAction *m_resume = nullptr;
    QMenu *m_switch = nullptr;
    std::optional<bool> m_running;
};

} // namespace quorvale
