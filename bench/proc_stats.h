#pragma once
// What the benchmarks read of a running process, how they read their
// arguments and how they judge a figure.
#include <optional>
#include <string_view>
#include <sys/types.h>

namespace corvane::bench {

// The CPU time of the whole process in nanoseconds: the time each of its
// threads has run (the first field of /proc/<pid>/task/<tid>/schedstat),
// summed over the threads it has now. Nothing when none can be read.
std::optional<long long> processCpuNs(pid_t pid);

// A whole number from low to high, the whole text and nothing else.
bool parseInt(std::string_view text, int low, int high, int& value);

// "PASS" when the figure is within its target, else "OVER".
const char* verdict(double value, double target);

} // namespace corvane::bench
