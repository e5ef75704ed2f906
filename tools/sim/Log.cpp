#include "tools/sim/Log.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace corvane::sim {

namespace {

Nanos g_startTime = 0;

} // namespace

Nanos monotonicNow()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<Nanos>(ts.tv_sec) * kSecond + ts.tv_nsec;
}

timespec toTimespec(Nanos t)
{
    timespec ts{};
    ts.tv_sec = static_cast<time_t>(t / kSecond);
    ts.tv_nsec = static_cast<long>(t % kSecond);
    return ts;
}

void startLogClock() { g_startTime = monotonicNow(); }

void logLine(const std::string& text)
{
    const Nanos t = monotonicNow() - g_startTime;
    std::fprintf(stderr, "[%5lld.%03lld] %s\n", static_cast<long long>(t / kSecond),
                 static_cast<long long>((t / kMillisecond) % 1000), text.c_str());
}

std::string systemError(const std::string& what) { return what + ": " + std::strerror(errno); }

} // namespace corvane::sim
