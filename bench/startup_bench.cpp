// corvane-bench-startup: how fast Corvane shows its main window, how much
// memory it takes and how much CPU it burns while idle.
//
//   corvane-bench-startup [--runs N] [--idle-seconds S] PATH-TO-CORVANE
//
// The program is copied into a fresh temporary folder, so that its profile
// files start absent. Each of the N rounds makes a first start (profile files
// removed beforehand, so the program creates the default profiles) and then a
// normal start (files present). A launch is timed from fork() to the
// MapNotify of the top-level window titled "Tollan Corvane", seen through
// SubstructureNotify on the root window; the window is then left up for a
// moment and closed with WM_DELETE_WINDOW, and wait4() gives the peak resident
// memory. A last run is left idle, stopped, for S seconds while its CPU time
// is read, summed over its threads, from /proc/<pid>/task/<tid>/schedstat.
//
// The figures are printed against their targets; the exit status is 0 when
// they could be measured at all, whatever they are, and 1 when they could not.
#include "bench/child_process.h"
#include "bench/proc_stats.h"
#include "bench/x_windows.h"

#include <sys/select.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using Milliseconds = std::chrono::duration<double, std::milli>;

namespace {

constexpr const char* kWindowTitle = "Tollan Corvane";
constexpr const char* kProfilesFile = "Profiles1.2.dat";
constexpr const char* kLastProfileFile = "LastProfile1.2.dat";

constexpr double kLaunchTargetMs = 400.0;
constexpr double kMemoryTargetMb = 60.0;
constexpr double kIdleCpuTargetPercent = 1.0;

// How long a launch may take before the run is given up, how long the window
// stays up before it is closed (so the peak memory covers the running loop,
// not just the start-up), how long the idle run settles before its CPU time is
// counted, and how long a closed program may take to exit.
constexpr auto kShowTimeout = std::chrono::seconds(30);
constexpr auto kHoldTime = std::chrono::milliseconds(1000);
constexpr auto kIdleSettleTime = std::chrono::seconds(2);
constexpr auto kExitTimeout = std::chrono::seconds(10);

struct Options {
    fs::path program;
    int runs = 10;
    int idleSeconds = 30;
};

struct RunFigures {
    double launchMs = 0;
    double closeMs = 0;
    double peakRssMb = 0;
};

using corvane::bench::BenchError;
using corvane::bench::ChildProcess;

// Throws when the program has ended, since every caller needs it alive.
void checkAlive(ChildProcess& child, const char* when)
{
    if (!child.running())
        throw BenchError{std::string("Corvane ended ") + when + " (" + child.howItEnded() + ")"};
}

struct Shown {
    Window window = None;
    Clock::time_point at;
};

bool isOurWindow(Display* display, Window mapped, pid_t pid, Window& target)
{
    for (Window w : corvane::xtools::findNamed(display, mapped, kWindowTitle, 2)) {
        const auto owner = corvane::xtools::windowPid(display, w);
        if (!owner || *owner == static_cast<long>(pid)) {
            target = w;
            return true;
        }
    }
    return false;
}

// Blocks on the X connection until the child's main window is mapped. The
// clock is read as soon as the MapNotify is taken off the queue; the select()
// timeout only serves to notice a child that died.
Shown waitForShown(Display* display, ChildProcess& child)
{
    const int fd = ConnectionNumber(display);
    const auto deadline = child.started() + kShowTimeout;
    for (;;) {
        while (XPending(display) > 0) {
            XEvent event{};
            XNextEvent(display, &event);
            if (event.type != MapNotify)
                continue;
            const auto at = Clock::now();
            Window target = None;
            if (isOurWindow(display, event.xmap.window, child.pid(), target))
                return Shown{target, at};
        }
        checkAlive(child, "before showing its window");
        const auto left = deadline - Clock::now();
        if (left <= Clock::duration::zero())
            throw BenchError{"no window titled \"Tollan Corvane\" was shown within 30 s"};
        const auto slice = std::min<Clock::duration>(left, std::chrono::milliseconds(50));
        const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(slice).count();
        timeval timeout{static_cast<time_t>(micros / 1000000), static_cast<suseconds_t>(micros % 1000000)};
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(fd, &readable);
        select(fd + 1, &readable, nullptr, nullptr, &timeout);
    }
}

// Closes the shown window and waits for the program to end; the time that took.
double closeAndWait(Display* display, ChildProcess& child, Window window)
{
    const auto asked = Clock::now();
    corvane::xtools::sendDeleteWindow(display, window);
    if (!child.waitForExit(kExitTimeout))
        throw BenchError{"Corvane did not exit within 10 s of its window being closed"};
    return Milliseconds(Clock::now() - asked).count();
}

RunFigures timedRun(Display* display, const fs::path& program, const fs::path& log, std::string& warning)
{
    XSync(display, True); // drop events left over from the previous run
    ChildProcess child({program.string()}, program.parent_path(), log);
    const Shown shown = waitForShown(display, child);
    RunFigures figures;
    figures.launchMs = Milliseconds(shown.at - child.started()).count();
    std::this_thread::sleep_for(kHoldTime);
    checkAlive(child, "while its window was shown");
    figures.closeMs = closeAndWait(display, child, shown.window);
    figures.peakRssMb = child.peakRssMb();
    if (child.exitStatus() != 0)
        warning = "Corvane ended with " + child.howItEnded() + " after its window was closed";
    return figures;
}

double idleCpuPercent(Display* display, const fs::path& program, const fs::path& log, int seconds)
{
    XSync(display, True);
    ChildProcess child({program.string()}, program.parent_path(), log);
    const Shown shown = waitForShown(display, child);
    std::this_thread::sleep_for(kIdleSettleTime);
    checkAlive(child, "while settling");
    const long long cpuBefore = child.cpuNs();
    const auto before = Clock::now();
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    checkAlive(child, "while idle");
    const long long cpuNs = child.cpuNs() - cpuBefore;
    const double wallNs = std::chrono::duration<double, std::nano>(Clock::now() - before).count();
    closeAndWait(display, child, shown.window);
    return 100.0 * static_cast<double>(cpuNs) / wallNs;
}

struct Summary {
    double median = 0;
    double min = 0;
    double max = 0;
};

Summary summarise(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    const double median = n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
    return Summary{median, values.front(), values.back()};
}

void printRow(const char* figure, const Summary& s, const char* target, const char* result)
{
    if (*target == '\0')
        std::printf("%-40s %9.1f %9.1f %9.1f\n", figure, s.median, s.min, s.max);
    else
        std::printf("%-40s %9.1f %9.1f %9.1f   %-8s %s\n", figure, s.median, s.min, s.max, target, result);
}

using corvane::bench::parseInt;
using corvane::bench::verdict;

std::optional<Options> parseArguments(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--runs" && i + 1 < argc) {
            if (!parseInt(argv[++i], 1, 1000, options.runs))
                return std::nullopt;
        } else if (arg == "--idle-seconds" && i + 1 < argc) {
            if (!parseInt(argv[++i], 1, 3600, options.idleSeconds))
                return std::nullopt;
        } else if (options.program.empty() && !arg.empty() && arg.front() != '-') {
            options.program = arg;
        } else {
            return std::nullopt;
        }
    }
    if (options.program.empty())
        return std::nullopt;
    return options;
}

void removeProfileFiles(const fs::path& folder)
{
    std::error_code ignored;
    fs::remove(folder / kProfilesFile, ignored);
    fs::remove(folder / kLastProfileFile, ignored);
}

int run(const Options& options, Display* display)
{
    std::error_code error;
    if (!fs::is_regular_file(options.program, error))
        throw BenchError{"no program at " + options.program.string()};

    const fs::path folder = corvane::bench::makeTemporaryFolder("corvane-bench");
    const fs::path program = corvane::bench::copyCorvane(options.program, folder);
    const fs::path log = folder / "corvane-output.log";

    const char* displayName = DisplayString(display);
    std::printf("Corvane start-up benchmark\n");
    std::printf("  program: %s (run from a copy in %s)\n", options.program.c_str(), folder.c_str());
    std::printf("  display: %s\n", displayName);
    std::printf("  runs:    %d first starts and %d normal starts, then %d s idle\n\n", options.runs, options.runs,
                options.idleSeconds);
    std::fflush(stdout);

    std::vector<double> firstLaunch;
    std::vector<double> normalLaunch;
    std::vector<double> closeTimes;
    std::vector<double> memory;
    std::vector<std::string> warnings;
    bool filesWritten = true;
    try {
        for (int round = 0; round < options.runs; ++round) {
            std::string warning;
            removeProfileFiles(folder);
            const RunFigures first = timedRun(display, program, log, warning);
            if (!fs::exists(folder / kProfilesFile))
                filesWritten = false;
            firstLaunch.push_back(first.launchMs);
            closeTimes.push_back(first.closeMs);
            memory.push_back(first.peakRssMb);
            if (!warning.empty())
                warnings.push_back(warning);

            warning.clear();
            const RunFigures normal = timedRun(display, program, log, warning);
            normalLaunch.push_back(normal.launchMs);
            closeTimes.push_back(normal.closeMs);
            memory.push_back(normal.peakRssMb);
            if (!warning.empty())
                warnings.push_back(warning);
        }
    } catch (const BenchError& e) {
        throw BenchError{std::string(e.what()) + "; its output is in " + log.string()};
    }
    double idle = 0;
    try {
        idle = idleCpuPercent(display, program, log, options.idleSeconds);
    } catch (const BenchError& e) {
        throw BenchError{std::string(e.what()) + " (idle run); its output is in " + log.string()};
    }

    const Summary normal = summarise(normalLaunch);
    const Summary first = summarise(firstLaunch);
    const Summary rss = summarise(memory);
    const Summary closing = summarise(closeTimes);
    std::printf("%-40s %9s %9s %9s   %-8s %s\n", "figure", "median", "min", "max", "target", "result");
    printRow("launch to shown, normal start (ms)", normal, "<= 400", verdict(normal.median, kLaunchTargetMs));
    printRow("launch to shown, first start (ms)", first, "<= 400", verdict(first.median, kLaunchTargetMs));
    printRow("peak resident memory (MB)", rss, "<= 60", verdict(rss.max, kMemoryTargetMb));
    std::printf("%-40s %9.2f %9s %9s   %-8s %s\n", "idle CPU while stopped (% of one core)", idle, "", "", "<= 1",
                verdict(idle, kIdleCpuTargetPercent));
    printRow("window closed to exit (ms)", closing, "", "");
    std::printf("\nLaunch times are judged by their median, memory by the highest run, idle CPU over %d s.\n",
                options.idleSeconds);
    if (!filesWritten)
        std::printf("note: a first start left no %s beside the program\n", kProfilesFile);
    for (const std::string& warning : warnings)
        std::printf("warning: %s\n", warning.c_str());

    fs::remove_all(folder, error);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const auto options = parseArguments(argc, argv);
    if (!options) {
        std::fprintf(stderr, "usage: corvane-bench-startup [--runs N] [--idle-seconds S] PATH-TO-CORVANE\n");
        return 2;
    }
    Display* display = corvane::xtools::openDisplay("corvane-bench-startup");
    if (display == nullptr)
        return 2;
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);

    int status = 1;
    try {
        status = run(*options, display);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "corvane-bench-startup: %s\n", e.what());
    }
    XCloseDisplay(display);
    return status;
}
