#pragma once

#include <QObject>
#include <QTimer>

namespace quorvale {

class Timer;

// Once a minute tells the timer's store that the program still runs, apart
// from MainTimer so that ticks stay free of file writes. Owned by the window
// that owns the timer; a minute is the most the choice "up to when the program
// stopped" can miss after a crash.
class ActiveRunHeartbeat : public QObject {
    Q_OBJECT

public:
    static constexpr int IntervalMs = 60 * 1000;

    explicit ActiveRunHeartbeat(Timer &timer, QObject *parent = nullptr);

    void beat();

private:
    Timer &m_timer;
    QTimer m_interval;
};

} // namespace quorvale
