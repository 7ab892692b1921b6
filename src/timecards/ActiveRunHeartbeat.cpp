#include "timecards/ActiveRunHeartbeat.h"

#include "timecards/Timer.h"

namespace quorvale {

ActiveRunHeartbeat::ActiveRunHeartbeat(Timer &timer, QObject *parent)
    : QObject(parent), m_timer(timer)
{
    m_interval.setInterval(IntervalMs);
    connect(&m_interval, &QTimer::timeout, this, &ActiveRunHeartbeat::beat);
    m_interval.start();
}

void ActiveRunHeartbeat::beat()
{
    m_timer.heartbeat();
}

} // namespace quorvale
