#pragma once

#include <QElapsedTimer>
#include <QString>
#include <algorithm>
#include <functional>
#include <vector>

namespace quorvale::bench {

// One figure of a run: ours and the baseline's, both medians in milliseconds.
struct Measure {
    QString name;
    double ms;
    double baselineMs;
};

// Runs `work` `repetitions` times (after one warm-up run) and returns the median
// in milliseconds. The median keeps one slow outlier from deciding a figure.
inline double medianMs(int repetitions, const std::function<void()> &work)
{
    work();
    std::vector<double> times;
    times.reserve(static_cast<std::size_t>(repetitions));
    for (int i = 0; i < repetitions; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace quorvale::bench
