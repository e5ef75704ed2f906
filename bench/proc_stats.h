#pragma once
// What the benchmarks read of a running process and how they judge a figure.
#include <optional>
#include <sys/types.h>

namespace corvane::bench {

// utime + stime of the whole process, in clock ticks; nothing when its
// /proc/<pid>/stat cannot be read.
std::optional<long long> processCpuTicks(pid_t pid);

// "PASS" when the figure is within its target, else "OVER".
const char* verdict(double value, double target);

} // namespace corvane::bench
