#pragma once

#include <cstdint>
#include <random>

namespace quorvale::admin {

// A seeded source of numbers for generated data. The engine is fully specified by
// the standard, and the helpers below avoid the library's distributions (whose
// results differ between implementations), so a seed gives the same data
// everywhere.
class Random {
public:
    explicit Random(std::uint64_t seed) : m_engine(seed) {}

    // 0 .. n-1; n must be positive.
    int below(int n) { return static_cast<int>(m_engine() % static_cast<std::uint64_t>(n)); }
    // low .. high, both included.
    int between(int low, int high) { return low + below(high - low + 1); }
    // True in percent out of 100 calls, on average.
    bool chance(int percent) { return below(100) < percent; }

    template <typename List> const auto &pick(const List &list)
    {
        return list[static_cast<std::size_t>(below(static_cast<int>(std::size(list))))];
    }

private:
    std::mt19937_64 m_engine;
};

} // namespace quorvale::admin
