#pragma once
// What the benchmarks read of a running process, how they read their
// arguments and how they judge a figure.
#include <optional>
#include <string_view>
#include <sys/types.h>

namespace corvane::bench {

// utime + stime of the whole process, in clock ticks; nothing when its
// /proc/<pid>/stat cannot be read.
std::optional<long long> processCpuTicks(pid_t pid);

// The voluntary context switches of its main thread; nothing when its
// /proc/<pid>/status cannot be read.
std::optional<long long> processVoluntarySwitches(pid_t pid);

// A whole number from low to high, the whole text and nothing else.
bool parseInt(std::string_view text, int low, int high, int& value);

// "PASS" when the figure is within its target, else "OVER".
const char* verdict(double value, double target);

} // namespace corvane::bench
