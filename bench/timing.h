#pragma once
// Timing a short action many times: the median, the 99th percentile and the
// maximum, in microseconds, and a row of them.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <functional>
#include <vector>

namespace corvane::bench {

struct Summary {
    double p50 = 0, p99 = 0, max = 0;
};

inline double percentileOfSorted(const std::vector<double>& sorted, double p)
{
    const auto rank = static_cast<std::size_t>(std::ceil(p / 100.0 * static_cast<double>(sorted.size())));
    return sorted[std::clamp<std::size_t>(rank, 1, sorted.size()) - 1];
}

// Times `round` `rounds` times; `between` runs untimed after each.
inline Summary measure(int rounds, const std::function<void()>& round, const std::function<void()>& between)
{
    using Clock = std::chrono::steady_clock;
    std::vector<double> us;
    us.reserve(static_cast<std::size_t>(rounds));
    for (int i = 0; i < rounds; ++i) {
        const auto start = Clock::now();
        round();
        us.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
        between();
    }
    std::sort(us.begin(), us.end());
    return {percentileOfSorted(us, 50), percentileOfSorted(us, 99), us.back()};
}

inline void printRow(const char* figure, const Summary& s)
{
    std::printf("%-44s %9.1f %9.1f %9.1f\n", figure, s.p50, s.p99, s.max);
}

} // namespace corvane::bench
