// corvane-bench-startup: how fast Corvane shows its main window and how much
// memory it takes, beside the least a Qt Widgets program with a window of the
// same size costs, and how much CPU it burns while idle.
//
//   corvane-bench-startup [--runs N] [--idle-seconds S] [--baseline PATH]
//                         [--window-alone PATH] PATH-TO-CORVANE
//
// The program is copied into a fresh temporary folder, so that its profile
// files start absent. Each of the N rounds (default 12) makes, in this order,
// a first start (profile files removed beforehand, so the program creates the
// default profiles), a normal start (files present) and a start of the
// baseline, corvane-bench-empty-window (by default the one beside this
// program): a fixed-size window of the same title, style and size and nothing
// else, the size taken from the inside of Corvane's first shown window; and a
// start of corvane-bench-window-alone (beside this program too): Corvane's
// own window over the recording fakes, with no port, device or display
// connection of its own, the floor below which no change outside the window
// can bring Corvane. Each is thus timed under the same load. A launch is
// timed from fork() to the MapNotify of the top-level window titled "Tollan
// Corvane", seen through SubstructureNotify on the root window; the window is
// then left up for a moment and closed with WM_DELETE_WINDOW, and wait4()
// gives the peak resident memory. Corvane's normal start is judged against
// the baseline by the medians: its launch time at most 1.3 times the
// baseline's, its peak resident memory at most 1.2 times.
//
// Then Corvane is left idle, stopped and with no tracker, in two states, each
// in a fresh folder with the default profiles (the tracker on COM 1): with
// com1 to com4 leading nowhere, so that it searches the ports in every cycle;
// and with com1 leading to a pseudo-terminal that takes what the program
// writes and never answers. In each, its CPU time over S seconds (default 30)
// after a settling time, summed over its threads from schedstat, is judged at
// most 0.1% of one core.
//
// The figures are printed against their targets; the exit status is 0 when
// they could be measured at all, whatever they are, and 1 when they could not.
#include "bench/child_process.h"
#include "bench/port_entries.h"
#include "bench/proc_stats.h"
#include "bench/x_windows.h"

#include <X11/Xutil.h>

#include <sys/select.h>

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
constexpr const char* kBaselineName = "corvane-bench-empty-window";
constexpr const char* kWindowAloneName = "corvane-bench-window-alone";

// Corvane's normal start against the empty window, median to median.
constexpr double kLaunchRatioTarget = 1.3;
constexpr double kMemoryRatioTarget = 1.2;
constexpr double kIdleCpuTargetPercent = 0.1;

// How long a launch may take before the run is given up, how long the window
// stays up before it is closed (so the peak memory covers the running loop,
// not just the start-up), how long the idle runs settle before their CPU time
// is counted, and how long a closed program may take to exit.
constexpr auto kShowTimeout = std::chrono::seconds(30);
constexpr auto kHoldTime = std::chrono::milliseconds(1000);
constexpr auto kIdleSettleTime = std::chrono::seconds(2);
constexpr auto kExitTimeout = std::chrono::seconds(10);

struct Options {
    fs::path program;
    fs::path baseline;
    fs::path windowAlone;
    int runs = 12;
    int idleSeconds = 30;
};

// A program to time: its command line, its name in messages and the file
// its output goes to.
struct Launch {
    std::vector<std::string> argv;
    std::string name;
    fs::path log;
};

struct RunFigures {
    double launchMs = 0;
    double closeMs = 0;
    double peakRssMb = 0;
    int width = 0; // the inside of the shown window, in pixels
    int height = 0;
};

using corvane::bench::BenchError;
using corvane::bench::ChildProcess;

// Throws when the program has ended, since every caller needs it alive.
void checkAlive(ChildProcess& child, const char* when)
{
    if (!child.running())
        throw BenchError{std::string("it ended ") + when + " (" + child.howItEnded() + ")"};
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
        throw BenchError{"it did not exit within 10 s of its window being closed"};
    return Milliseconds(Clock::now() - asked).count();
}

RunFigures timedRun(Display* display, const Launch& launch, const fs::path& folder, std::vector<std::string>& warnings)
{
    try {
        XSync(display, True); // drop events left over from the previous run
        ChildProcess child(launch.argv, folder, launch.log);
        const Shown shown = waitForShown(display, child);
        RunFigures figures;
        figures.launchMs = Milliseconds(shown.at - child.started()).count();
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(display, shown.window, &attributes) != 0) {
            figures.width = attributes.width;
            figures.height = attributes.height;
        }
        std::this_thread::sleep_for(kHoldTime);
        checkAlive(child, "while its window was shown");
        figures.closeMs = closeAndWait(display, child, shown.window);
        figures.peakRssMb = child.peakRssMb();
        if (child.exitStatus() != 0)
            warnings.push_back(launch.name + " ended with " + child.howItEnded() + " after its window was closed");
        return figures;
    } catch (const BenchError& e) {
        throw BenchError{launch.name + ": " + e.what() + "; its output is in " + launch.log.string()};
    }
}

// Waits, reading and discarding what the program writes to `terminal` if
// there is one.
void idleFor(Clock::duration duration, corvane::bench::SilentTerminal* terminal)
{
    if (terminal)
        terminal->discardFor(std::chrono::duration_cast<corvane::bench::Millis>(duration));
    else
        std::this_thread::sleep_for(duration);
}

// Corvane's CPU time while idle and stopped, in % of one core, run from a
// fresh folder whose com1 leads to `terminal` when given, and nowhere else.
double idleCpuPercent(Display* display, const fs::path& source, int seconds, corvane::bench::SilentTerminal* terminal)
{
    const fs::path folder = corvane::bench::makeTemporaryFolder("corvane-idle");
    const fs::path log = folder / "corvane-output.log";
    try {
        const fs::path program = corvane::bench::copyCorvane(source, folder);
        corvane::bench::linkPortsNowhere(folder, terminal ? 2 : 1, 4);
        if (terminal)
            fs::create_symlink(terminal->device(), folder / "com1");
        XSync(display, True);
        ChildProcess child({program.string()}, folder, log);
        const Shown shown = waitForShown(display, child);
        idleFor(kIdleSettleTime, terminal);
        checkAlive(child, "while settling");
        const long long cpuBefore = child.cpuNs();
        const auto before = Clock::now();
        idleFor(std::chrono::seconds(seconds), terminal);
        checkAlive(child, "while idle");
        const long long cpuNs = child.cpuNs() - cpuBefore;
        const double wallNs = std::chrono::duration<double, std::nano>(Clock::now() - before).count();
        closeAndWait(display, child, shown.window);
        std::error_code ignored;
        fs::remove_all(folder, ignored);
        return 100.0 * static_cast<double>(cpuNs) / wallNs;
    } catch (const BenchError& e) {
        throw BenchError{std::string("Corvane (idle): ") + e.what() + "; its output is in " + log.string()};
    }
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

constexpr const char* kRowFormat = "%-50s %9.1f %9.1f %9.1f\n";

void printRow(const char* figure, const Summary& s) { std::printf(kRowFormat, figure, s.median, s.min, s.max); }

// A figure of one value, judged against its target.
void printJudged(const char* figure, double value, double target)
{
    char limit[16];
    std::snprintf(limit, sizeof limit, "<= %g", target);
    std::printf("%-50s %9.3f %9s %9s   %-8s %s\n", figure, value, "", "", limit,
                corvane::bench::verdict(value, target));
}

// A figure of one value that bounds another from below: no target of its own.
void printFloor(const char* figure, double value)
{
    std::printf("%-50s %9.3f %9s %9s   %-8s %s\n", figure, value, "", "", "-", "floor");
}

using corvane::bench::parseInt;

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
        } else if (arg == "--baseline" && i + 1 < argc) {
            options.baseline = fs::absolute(argv[++i]);
        } else if (arg == "--window-alone" && i + 1 < argc) {
            options.windowAlone = fs::absolute(argv[++i]);
        } else if (options.program.empty() && !arg.empty() && arg.front() != '-') {
            options.program = arg;
        } else {
            return std::nullopt;
        }
    }
    if (options.program.empty())
        return std::nullopt;
    if (options.baseline.empty())
        options.baseline = corvane::bench::besideThisProgram(kBaselineName);
    if (options.windowAlone.empty())
        options.windowAlone = corvane::bench::besideThisProgram(kWindowAloneName);
    return options;
}

void removeProfileFiles(const fs::path& folder)
{
    std::error_code ignored;
    fs::remove(folder / kProfilesFile, ignored);
    fs::remove(folder / kLastProfileFile, ignored);
}

// The launch times, closing times and peak memory of one kind of start.
struct Series {
    std::vector<double> launchMs, closeMs, peakRssMb;
    void add(const RunFigures& f)
    {
        launchMs.push_back(f.launchMs);
        closeMs.push_back(f.closeMs);
        peakRssMb.push_back(f.peakRssMb);
    }
};

int run(const Options& options, Display* display)
{
    for (const fs::path& needed : {options.program, options.baseline, options.windowAlone}) {
        std::error_code error;
        if (!fs::is_regular_file(needed, error))
            throw BenchError{"no program at " + needed.string()};
    }

    const fs::path folder = corvane::bench::makeTemporaryFolder("corvane-bench");
    const Launch corvane{
        {corvane::bench::copyCorvane(options.program, folder).string()}, "Corvane", folder / "corvane-output.log"};
    Launch baseline{
        {options.baseline.string(), "--title", kWindowTitle}, "the empty window", folder / "empty-window-output.log"};
    const Launch windowAlone{{options.windowAlone.string()}, "the window alone", folder / "window-alone-output.log"};

    std::printf("Corvane start-up benchmark\n");
    std::printf("  program:  %s (run from a copy in %s)\n", options.program.c_str(), folder.c_str());
    std::printf("  baseline: %s\n", options.baseline.c_str());
    std::printf("  floor:    %s\n", options.windowAlone.c_str());
    std::printf("  display:  %s\n", DisplayString(display));
    std::printf("  runs:     %d rounds of a first start, a normal start, an empty-window start and a\n"
                "            start of the window alone;\n"
                "            then %d s idle in each of two states\n",
                options.runs, options.idleSeconds);
    std::fflush(stdout);

    Series first, normal, empty, alone;
    std::vector<std::string> warnings;
    bool filesWritten = true;
    for (int round = 0; round < options.runs; ++round) {
        removeProfileFiles(folder);
        const RunFigures firstRun = timedRun(display, corvane, folder, warnings);
        if (!fs::exists(folder / kProfilesFile))
            filesWritten = false;
        first.add(firstRun);
        if (round == 0) {
            if (firstRun.width <= 0 || firstRun.height <= 0)
                throw BenchError{"the size of Corvane's window could not be read"};
            const std::string size = std::to_string(firstRun.width) + "x" + std::to_string(firstRun.height);
            baseline.argv.insert(baseline.argv.end(), {"--size", size});
            std::printf("  window:   %s pixels inside, as Corvane first showed it\n\n", size.c_str());
            std::fflush(stdout);
        }
        normal.add(timedRun(display, corvane, folder, warnings));
        empty.add(timedRun(display, baseline, folder, warnings));
        alone.add(timedRun(display, windowAlone, folder, warnings));
    }

    // The first idle state leaves every port without a device; the second
    // gives COM 1 one that never answers.
    const double searching = idleCpuPercent(display, options.program, options.idleSeconds, nullptr);
    corvane::bench::SilentTerminal terminal;
    const double waiting = idleCpuPercent(display, options.program, options.idleSeconds, &terminal);

    const Summary normalLaunch = summarise(normal.launchMs);
    const Summary emptyLaunch = summarise(empty.launchMs);
    const Summary normalRss = summarise(normal.peakRssMb);
    const Summary emptyRss = summarise(empty.peakRssMb);
    const Summary aloneLaunch = summarise(alone.launchMs);
    const Summary aloneRss = summarise(alone.peakRssMb);
    std::vector<double> closing = first.closeMs;
    closing.insert(closing.end(), normal.closeMs.begin(), normal.closeMs.end());

    std::printf("%-50s %9s %9s %9s   %-8s %s\n", "figure", "median", "min", "max", "target", "result");
    printRow("launch to shown, normal start (ms)", normalLaunch);
    printRow("launch to shown, first start (ms)", summarise(first.launchMs));
    printRow("launch to shown, empty window (ms)", emptyLaunch);
    printRow("peak resident memory, normal start (MB)", normalRss);
    printRow("peak resident memory, empty window (MB)", emptyRss);
    printRow("launch to shown, the window alone (ms)", aloneLaunch);
    printRow("peak resident memory, the window alone (MB)", aloneRss);
    printJudged("launch, normal start / empty window", normalLaunch.median / emptyLaunch.median, kLaunchRatioTarget);
    printJudged("peak memory, normal start / empty window", normalRss.median / emptyRss.median, kMemoryRatioTarget);
    printFloor("launch, the window alone / empty window", aloneLaunch.median / emptyLaunch.median);
    printFloor("peak memory, the window alone / empty window", aloneRss.median / emptyRss.median);
    printJudged("idle CPU, searching the ports (% of one core)", searching, kIdleCpuTargetPercent);
    printJudged("idle CPU, waiting on an open port (% of one core)", waiting, kIdleCpuTargetPercent);
    printRow("window closed to exit (ms)", summarise(closing));
    std::printf("\nThe ratios are of the medians; those of the window alone are the least the normal start's can\n"
                "be while the window stays as it is. Idle CPU: stopped, no tracker, over %d s after %lld s of settling,\n"
                "summed over the program's threads (schedstat). Closing: Corvane's first and normal starts.\n",
                options.idleSeconds, static_cast<long long>(kIdleSettleTime.count()));
    if (terminal.received() == 0)
        std::printf("note: nothing arrived on the pseudo-terminal behind COM 1: the program did not open it, and the\n"
                    "      idle CPU \"waiting on an open port\" is not what it says\n");
    else
        std::printf("COM 1 was open while waiting: %zu bytes arrived on its pseudo-terminal, unanswered.\n",
                    terminal.received());
    if (!filesWritten)
        std::printf("note: a first start left no %s beside the program\n", kProfilesFile);
    for (const std::string& warning : warnings)
        std::printf("warning: %s\n", warning.c_str());

    std::error_code ignored;
    fs::remove_all(folder, ignored);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const auto options = parseArguments(argc, argv);
    if (!options) {
        std::fprintf(stderr, "usage: corvane-bench-startup [--runs N] [--idle-seconds S] [--baseline PATH] "
                             "[--window-alone PATH] PATH-TO-CORVANE\n");
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
