#pragma once

#include <QElapsedTimer>
#include <QString>
#include <algorithm>
#include <vector>

namespace quorvale::bench {

// The figures of one series of timed repetitions, in milliseconds.
struct Spread {
    double median = 0;
    double p90 = 0;
};

// Nearest rank in sorted times: with 15 samples the p90 is the 14th, not the slowest.
inline double nearestRank(const std::vector<double> &sorted, double q)
{
    if (sorted.empty())
        return 0;
    const auto i = static_cast<std::size_t>(q * static_cast<double>(sorted.size()) + 0.999999);
    return sorted[std::min(sorted.size(), std::max<std::size_t>(i, 1)) - 1];
}

inline Spread spreadOf(std::vector<double> ms)
{
    if (ms.empty())
        return {};
    std::sort(ms.begin(), ms.end());
    return {nearestRank(ms, 0.5), nearestRank(ms, 0.9)};
}

// Collects the time of the code between start() and stop() of each repetition,
// so that what sets a repetition up stays out of its figure.
class Samples {
public:
    void start() { m_timer.start(); }
    double stop()
    {
        const double ms = static_cast<double>(m_timer.nsecsElapsed()) / 1e6;
        m_ms.push_back(ms);
        return ms;
    }
    void add(double ms) { m_ms.push_back(ms); }
    Spread spread() const { return spreadOf(m_ms); }
    std::size_t count() const { return m_ms.size(); }
    const std::vector<double> &values() const { return m_ms; }

private:
    QElapsedTimer m_timer;
    std::vector<double> m_ms;
};

// Adds the time spent inside a wrapped call to a running total; for the parts a
// measured operation is made of.
class PartTimer {
public:
    template <class Work> auto time(Work &&work)
    {
        QElapsedTimer timer;
        timer.start();
        struct Add {
            PartTimer &self;
            QElapsedTimer &timer;
            ~Add() { self.m_ms += static_cast<double>(timer.nsecsElapsed()) / 1e6; }
        } add{*this, timer};
        return work();
    }
    // The total since the last take(), which resets it.
    double take()
    {
        const double ms = m_ms;
        m_ms = 0;
        return ms;
    }

private:
    double m_ms = 0;
};

// One line of the TimeCard table: ours against the baseline, with the target
// ours is held to (0: none).
struct OpsMeasure {
    QString name;
    Spread ours;
    Spread baseline;
    double targetMs = 0;
    // write() system calls per operation, ours and the baseline's; -1: not counted.
    double writesEach = -1;
    double baselineWritesEach = -1;
};

} // namespace quorvale::bench
