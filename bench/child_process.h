#pragma once
// Starting and ending the programs that the benchmarks and the end-to-end
// tests run (Corvane, the tracker simulator), what the benchmarks read of them
// while they run, and the small file, clock and waiting helpers they share.
// Failures to start throw std::runtime_error.
#include <sys/resource.h>
#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::bench {

namespace fs = std::filesystem;
using Millis = std::chrono::milliseconds;

// A figure that cannot be measured: the program ended early, showed no window,
// or its figures in /proc could not be read.
struct BenchError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// CLOCK_MONOTONIC in nanoseconds, the clock of the simulator's timestamps.
std::int64_t monotonicNs();

// Polls `done` every `interval` until it holds (true) or `timeout` has passed
// (false, after one last try).
bool waitUntil(const std::function<bool()>& done, Millis timeout, Millis interval = Millis(20));

// The whole file; empty when it is missing.
std::string readFile(const fs::path& path);
void writeFile(const fs::path& path, std::string_view bytes);
// A new empty folder PREFIX-XXXXXX in the system's temporary folder.
fs::path makeTemporaryFolder(const std::string& prefix);
// Copies the program at `program` into `folder` as `corvane`, runnable by its
// owner, so that it keeps its settings there; the copy's path. Throws
// BenchError when it cannot.
fs::path copyCorvane(const fs::path& program, const fs::path& folder);
// The program `name` in the folder of the running program, where the build
// puts the benchmarks and the programs they start.
fs::path besideThisProgram(const std::string& name);

// A started program: argv[0] is looked up on the PATH unless it holds a
// slash. It runs in `folder` (the current one when empty); standard output and
// error are appended to `output` (/dev/null when empty), standard error to
// `errors` instead when given; standard input is a pipe with `input`, else
// /dev/null. It dies with the process that started it, and is ended (SIGTERM,
// up to 3 s, then SIGKILL) when the object goes.
class ChildProcess {
public:
    explicit ChildProcess(std::vector<std::string> argv, const fs::path& folder = {}, const fs::path& output = {},
                          const fs::path& errors = {}, bool input = false);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return pid_; }
    // Read just before fork().
    std::chrono::steady_clock::time_point started() const { return started_; }
    bool running();
    // True when it ended within `timeout`.
    bool waitForExit(Millis timeout);
    // SIGTERM, then SIGKILL when it has not ended after `grace`.
    void stop(Millis grace = Millis(3000));
    // The exit status; nothing while it runs or when a signal ended it.
    std::optional<int> exitStatus() const;
    // "exit status N", "signal NAME" or "still running", for messages.
    std::string howItEnded() const;
    // Peak resident memory in MB, once it has ended.
    double peakRssMb() const { return static_cast<double>(usage_.ru_maxrss) / 1024.0; }
    // While it runs: the CPU time of all its threads so far, in nanoseconds
    // (processCpuNs). Throws BenchError when it cannot be read.
    long long cpuNs() const;
    void writeInput(std::string_view bytes);

private:
    pid_t pid_ = -1;
    int input_ = -1;
    bool reaped_ = false;
    int status_ = 0;
    rusage usage_{};
    std::chrono::steady_clock::time_point started_;
};

// The CPU time of one cycle of the least loop a Qt Widgets program of
// Corvane's shape can run at this delay (corvane-bench-empty-window --cycle:
// sleep, process events), in microseconds, over `seconds` seconds.
double emptyLoopCycleUs(const fs::path& emptyWindow, int delayMs, int seconds);

} // namespace corvane::bench
