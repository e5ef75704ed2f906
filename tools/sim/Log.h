#pragma once
// The simulator's clock and its log on standard error: one line per event,
// stamped with the seconds and milliseconds since the start.
#include <cstdint>
#include <ctime>
#include <string>

namespace corvane::sim {

using Nanos = std::int64_t;

inline constexpr Nanos kMillisecond = 1'000'000;
inline constexpr Nanos kSecond = 1'000'000'000;

// CLOCK_MONOTONIC in nanoseconds.
Nanos monotonicNow();
timespec toTimespec(Nanos t);

// The log's times count from the moment this is called.
void startLogClock();
void logLine(const std::string& text);

// `what`, a colon and the text of the current errno.
std::string systemError(const std::string& what);

} // namespace corvane::sim
