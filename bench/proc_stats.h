#pragma once
// What the benchmarks read of a running process, how they read their
// arguments and how they judge a figure.
#include <cstddef>
#include <optional>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace corvane::bench {

// The CPU time of the whole process in nanoseconds: the time each of its
// threads has run (the first field of /proc/<pid>/task/<tid>/schedstat),
// summed over the threads it has now. Nothing when none can be read.
std::optional<long long> processCpuNs(pid_t pid);

// How long the main thread of process `pid` asked to sleep, in nanoseconds,
// `count` times: each the request of the clock_nanosleep call it waits in
// (/proc/<pid>/task/<pid>/syscall), read from its memory (/proc/<pid>/mem)
// while that call still waits; 7 ms apart, so as to fall at changing points of
// any cycle. Both files need the right to trace the process, which a parent
// has over its child. Fewer when they cannot be read, or the thread is seldom
// found asleep, within 2 s.
std::vector<long long> mainThreadSleepsNs(pid_t pid, std::size_t count);

// A whole number from low to high, the whole text and nothing else.
bool parseInt(std::string_view text, int low, int high, int& value);

// "PASS" when the figure is within its target, else "OVER".
const char* verdict(double value, double target);

} // namespace corvane::bench
