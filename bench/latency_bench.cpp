// corvane-bench-latency: how long a head movement takes to reach the pointer,
// and what one cycle of the main loop costs while the tracker streams.
//
//   corvane-bench-latency [--seconds S] [--simulator PATH] PATH-TO-CORVANE
//
// For each cycle delay, 5, 10 and 20 ms, a copy of the program runs in a fresh
// folder whose current profile has that DelayMillisecs, tracker mode Mouse
// Emulation, no smoothing and speed 10, so that each packet moves the pointer
// by ten pixels per count. The delay slider takes nothing below 10 ms unless it
// stands at 10 already: a profile's 5 ms applied with the slider elsewhere, as
// at start (20), becomes 10. So for 5 ms the folder holds two profiles, as a
// user's would: "Latency 10 ms", applied at start, and "Latency 5 ms", which
// the benchmark then picks in the profile list as a user does (a click opens
// the list, Down and Return take the next item); the program's last-profile
// file must then name it. Before streaming, what the main thread asks each time
// it sleeps (the request of its clock_nanosleep, read in /proc) must be the
// delay, else that delay is not measured. Its wakeups would not tell: a cycle
// also waits on the X connection for its keyboard poll, once or not at all.
//
// corvane-tracker-sim (by default the one beside this program) is linked in as
// COM 1 and streams 60 packets/s for S seconds (default 10), one count per
// packet along a square, after one second of still packets; it logs the
// CLOCK_MONOTONIC time at which it wrote each packet's last byte. The
// pointer's moves are watched as XInput2 raw motion on the root window and
// stamped with CLOCK_MONOTONIC as they arrive. Packets are matched to moves
// in order by the running sum of their values (bench/latency_match.h); a
// packet's latency runs from its write to the move that carried it.
//
// The CPU time of the program over the streaming window, in nanoseconds and
// summed over all its threads (/proc/<pid>/task/<tid>/schedstat: Qt reads the
// X connection in a thread of its own), is divided by the cycles run in it.
// The cycles are counted as the window over the delay. A cycle also works and
// waits on the X connection, about half a millisecond on Xvfb while streaming
// (cycles of 5.6, 10.6 and 20.5 ms), so the count is high and the CPU per
// cycle low by that over the delay: about 10% at 5 ms, 3% at 20 ms.
//
// The figures are printed against their targets: median latency at most
// delay/2 + 1 ms; 99th percentile at most 6 ms at 5 ms, delay + 2 ms at 10 and
// 20 ms; CPU at most 50 us per cycle at 20 ms and at most 1% of one core at
// 5 ms. The exit status is 0 when every delay could be measured, whatever the
// figures are, and 1 when one could not (its rows say why).
#include "bench/child_process.h"
#include "bench/latency_match.h"
#include "bench/port_entries.h"
#include "bench/proc_stats.h"
#include "bench/timing.h"
#include "bench/x_windows.h"

#include <X11/extensions/XInput2.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <poll.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fs = std::filesystem;

namespace {

using corvane::bench::BenchError;
using corvane::bench::ChildProcess;
using corvane::bench::monotonicNs;
using corvane::bench::Move;
using corvane::bench::Nanos;
using corvane::bench::Packet;
using corvane::bench::readFile;
using corvane::bench::readPackets;
using corvane::bench::waitUntil;
using corvane::bench::writeFile;
using Seconds = std::chrono::seconds;

constexpr Nanos kMillisecond = 1'000'000;
constexpr Nanos kSecond = 1'000'000'000;

constexpr const char* kWindowTitle = "Tollan Corvane";
constexpr int kDelays[] = {5, 10, 20};
// The CPU targets: per cycle at the default delay, of one core at the shortest.
constexpr int kPerCycleJudgedAt = 20;
constexpr double kPerCycleTargetUs = 50;
constexpr int kCoreShareJudgedAt = 5;
constexpr double kCoreShareTargetPercent = 1;
// The stream: packets a second, the still ones it starts with, then turns of
// the square, each four sides of kSidePackets.
constexpr int kPacketsPerSecond = 60, kLeadPackets = 60, kSidePackets = 15;

// The X side: raw pointer motion on the root window, clicks and keys through XTest.
class PointerWatch {
public:
    explicit PointerWatch(Display* display) : display_(display)
    {
        int event = 0, error = 0;
        if (!XQueryExtension(display_, "XInputExtension", &xi_, &event, &error))
            throw BenchError{"the X server has no XInput extension"};
        int major = 2, minor = 0;
        if (XIQueryVersion(display_, &major, &minor) != Success)
            throw BenchError{"the X server has no XInput 2"};
        int xtestEvent = 0, xtestError = 0, xtestMajor = 0, xtestMinor = 0;
        if (!XTestQueryExtension(display_, &xtestEvent, &xtestError, &xtestMajor, &xtestMinor))
            throw BenchError{"the X server has no XTEST extension"};
        unsigned char mask[XIMaskLen(XI_LASTEVENT)] = {};
        XISetMask(mask, XI_RawMotion);
        XIEventMask events{XIAllMasterDevices, static_cast<int>(sizeof mask), mask};
        XISelectEvents(display_, DefaultRootWindow(display_), &events, 1);
        XSync(display_, False);
    }

    void centrePointer()
    {
        const int screen = DefaultScreen(display_);
        corvane::xtools::moveTo(display_, {DisplayWidth(display_, screen) / 2, DisplayHeight(display_, screen) / 2});
    }

    std::optional<Window> findWindow(pid_t pid)
    {
        return corvane::xtools::findShownTopLevel(display_, kWindowTitle, pid);
    }

    void clickStart(Window window)
    {
        corvane::xtools::click(display_, corvane::xtools::startButtonCentre(display_, window));
    }

    // Picks the profile listed after the current one as a user does: a click
    // opens the list, Down moves to the next item and Return takes it.
    void pickNextProfile(Window window, pid_t pid)
    {
        corvane::xtools::click(display_, corvane::xtools::profileListCentre(display_, window));
        if (!waitUntil([&] { return corvane::xtools::popupShown(display_, pid); }, Seconds(5)))
            throw BenchError{"the profile list did not open when clicked"};
        corvane::xtools::pressKey(display_, XK_Down);
        corvane::xtools::pressKey(display_, XK_Return);
    }

    void close(Window window) { corvane::xtools::sendDeleteWindow(display_, window); }

    // Waits up to `timeoutMs` for X events and collects the raw motion among
    // them, stamped when they were taken off the connection.
    void collect(int timeoutMs, std::vector<Move>& moves)
    {
        if (XPending(display_) == 0) {
            pollfd p{ConnectionNumber(display_), POLLIN, 0};
            ::poll(&p, 1, timeoutMs);
        }
        const Nanos now = monotonicNs();
        while (XPending(display_) > 0) {
            XEvent event{};
            XNextEvent(display_, &event);
            XGenericEventCookie* cookie = &event.xcookie;
            if (cookie->type != GenericEvent || cookie->extension != xi_ || !XGetEventData(display_, cookie))
                continue;
            if (cookie->evtype == XI_RawMotion) {
                const auto* raw = static_cast<const XIRawEvent*>(cookie->data);
                Move move{now, 0, 0};
                const double* value = raw->raw_values;
                for (int axis = 0; axis < raw->valuators.mask_len * 8; ++axis) {
                    if (!XIMaskIsSet(raw->valuators.mask, axis))
                        continue;
                    if (axis == 0)
                        move.dx = static_cast<int>(std::lround(*value));
                    else if (axis == 1)
                        move.dy = static_cast<int>(std::lround(*value));
                    ++value;
                }
                moves.push_back(move);
            }
            XFreeEventData(display_, cookie);
        }
    }

    void discardEvents() { XSync(display_, True); }

private:
    Display* display_;
    int xi_ = 0;
};

struct Figures {
    int delay = 0;
    std::string failure; // why the delay could not be measured; empty when it was
    double sleepMs = 0;  // what the main thread's sleeps asked for before streaming
    corvane::bench::Matching stream;
    double windowSeconds = 0;
    long long cpuNs = 0;
    std::optional<double> emptyLoopUs; // the reference loop's CPU per cycle, when it could be measured
};

std::string delayText(int delay) { return std::to_string(delay) + " ms"; }

std::string profileName(int delay) { return "Latency " + delayText(delay); }

std::string profileLine(int delay)
{
    return '"' + profileName(delay)
         + "\",\"Ambrel\",\"COM 1\",\"19200 Kbps\",\"Mouse Emulation\",2,3,4,\"Mouse Event\",0,0,0,10,10,10,"
           "\"Disabled\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\","
         + std::to_string(delay) + "\r\n";
}

std::string squareScript(int seconds)
{
    std::string text;
    for (int i = 0; i < kLeadPackets; ++i)
        text += "0 0 0\n";
    static const char* const kSides[] = {"1 0 0\n", "0 1 0\n", "-1 0 0\n", "0 -1 0\n"};
    const int turns = seconds * kPacketsPerSecond / (4 * kSidePackets);
    for (int turn = 0; turn < turns; ++turn) {
        for (const char* side : kSides) {
            for (int i = 0; i < kSidePackets; ++i)
                text += side;
        }
    }
    return text;
}

struct Options {
    fs::path program;
    fs::path simulator;
    int seconds = 10;
};

// The delay slider's lowest setting: a shorter delay holds only in a profile
// applied with the slider there already.
constexpr int kSliderLowest = 10;
// How many of the main thread's sleeps, read while stopped, must all ask for
// the delay before it is measured.
constexpr std::size_t kSleepReadings = 5;

Figures measure(Display* display, PointerWatch& screen, const Options& options, int delay)
{
    const fs::path folder = corvane::bench::makeTemporaryFolder("corvane-latency");
    const fs::path program = corvane::bench::copyCorvane(options.program, folder);
    // A delay below the slider's lowest comes second, after a profile at the
    // lowest that is applied at start and puts the slider there.
    const int startDelay = std::max(delay, kSliderLowest);
    writeFile(folder / "Profiles1.2.dat", profileLine(startDelay) + (delay < startDelay ? profileLine(delay) : ""));
    const fs::path lastProfile = folder / "LastProfile1.2.dat";
    writeFile(lastProfile, '"' + profileName(startDelay) + "\"\r\n");
    // COM 2 to 4 lead nowhere, so that nothing but the simulator is ever opened.
    corvane::bench::linkPortsNowhere(folder, 2, 4);
    const std::string script = squareScript(options.seconds);
    writeFile(folder / "script.txt", script);
    const std::size_t total = static_cast<std::size_t>(std::count(script.begin(), script.end(), '\n'));

    const fs::path record = folder / "sim-record.bin";
    const fs::path timestamps = folder / "sim-timestamps.txt";
    ChildProcess sim({options.simulator.string(), "--link", (folder / "com1").string(), "--record", record.string(),
                      "--timestamps", timestamps.string(), "--motion", "script:" + (folder / "script.txt").string(),
                      "--once", "--rate", std::to_string(kPacketsPerSecond), "--no-control"},
                     folder, folder / "sim.log");
    if (!waitUntil([&] { return fs::exists(folder / "com1") || !sim.running(); }, Seconds(5)) || !sim.running())
        throw BenchError{"the simulator did not start; see " + (folder / "sim.log").string()};

    ChildProcess corvane({program.string()}, folder, folder / "corvane.log");
    std::optional<Window> window;
    if (!waitUntil([&] { return (window = screen.findWindow(corvane.pid())).has_value() || !corvane.running(); },
                   Seconds(30))
        || !window)
        throw BenchError{"Corvane showed no window; see " + (folder / "corvane.log").string()};
    // Set up and stopped: the set-up command, then "!".
    const auto setUp = [&] {
        const std::string bytes = readFile(record);
        return bytes.size() >= 2 && bytes.compare(bytes.size() - 2, 2, "\r!") == 0;
    };
    if (!waitUntil(setUp, Seconds(10)))
        throw BenchError{"the tracker was not set up; see " + (folder / "sim.log").string()};
    if (delay < startDelay) {
        // The list is in alphabetical order: "Latency 10 ms", then the shorter.
        screen.pickNextProfile(*window, corvane.pid());
        const auto picked = [&] { return readFile(lastProfile).starts_with('"' + profileName(delay) + '"'); };
        if (!waitUntil(picked, Seconds(5)))
            throw BenchError{"picking \"" + profileName(delay)
                             + "\" in the profile list did not apply it; files kept in " + folder.string()};
    }
    // The delay in force: what the main thread asks each time it sleeps.
    const std::vector<long long> sleeps = corvane::bench::mainThreadSleepsNs(corvane.pid(), kSleepReadings);
    if (sleeps.size() < kSleepReadings)
        throw BenchError{"the sleeps of Corvane's main thread could not be read (/proc/<pid>/task/<pid>/syscall "
                         "and /proc/<pid>/mem)"};
    for (const long long ns : sleeps) {
        if (ns != delay * kMillisecond)
            throw BenchError{"Corvane's main thread sleeps " + std::to_string(ns / 1000) + " us a cycle: the "
                             + delayText(delay) + " delay is not in force; files kept in " + folder.string()};
    }
    Figures figures;
    figures.delay = delay;
    figures.sleepMs = static_cast<double>(sleeps.front()) / kMillisecond;

    screen.discardEvents();
    screen.clickStart(*window);
    screen.centrePointer();

    std::vector<Move> moves;
    const long long cpuBefore = corvane.cpuNs();
    const Nanos before = monotonicNs();
    const Nanos limit = before + (options.seconds + 15) * kSecond;
    Nanos nextLook = before;
    std::optional<Nanos> ended;
    std::size_t written = 0;
    while (monotonicNs() < limit) {
        screen.collect(5, moves);
        const Nanos now = monotonicNs();
        if (!ended && now >= nextLook) {
            readPackets(timestamps, &written);
            if (written >= total)
                ended = now;
            nextLook = now + 100 * kMillisecond;
        }
        if (ended && now >= *ended + 300 * kMillisecond)
            break;
        if (!corvane.running())
            throw BenchError{"Corvane ended while streaming; see " + (folder / "corvane.log").string()};
    }
    figures.cpuNs = corvane.cpuNs() - cpuBefore;
    figures.windowSeconds = static_cast<double>(monotonicNs() - before) / kSecond;

    screen.close(*window);
    if (!corvane.waitForExit(Seconds(10)) || corvane.exitStatus() != 0)
        std::printf("warning: Corvane (delay %d ms) did not end normally after its window was closed\n", delay);
    sim.stop();
    XSync(display, False);

    const std::vector<Packet> packets = readPackets(timestamps);
    if (packets.empty())
        throw BenchError{"the simulator sent no packet; see " + (folder / "sim.log").string()};
    // Moves before the first moving packet are the benchmark's own (the clicks
    // and putting the pointer in the middle of the screen).
    std::erase_if(moves, [&](const Move& m) { return m.seen < packets.front().written; });
    figures.stream = corvane::bench::match(packets, moves);
    if (figures.stream.latenciesMs.empty())
        throw BenchError{"no pointer move matched a packet; files kept in " + folder.string()};
    std::error_code ignored;
    fs::remove_all(folder, ignored);
    return figures;
}

using corvane::bench::verdict;

// The 99th percentile's target: delay + 2 ms, but 6 ms at the shortest delay.
double p99Target(int delay) { return delay == 5 ? 6.0 : delay + 2.0; }

// The CPU target of a delay, and how the figures stand against it; none ("-")
// at the delays without one.
struct CpuJudgement {
    std::string target = "-";
    const char* result = "";
};

CpuJudgement judgeCpu(int delay, double perCycleUs, double corePercent)
{
    char target[32];
    if (delay == kPerCycleJudgedAt) {
        std::snprintf(target, sizeof target, "<= %.0f us/cycle", kPerCycleTargetUs);
        return {target, verdict(perCycleUs, kPerCycleTargetUs)};
    }
    if (delay == kCoreShareJudgedAt) {
        std::snprintf(target, sizeof target, "<= %.0f%% of a core", kCoreShareTargetPercent);
        return {target, verdict(corePercent, kCoreShareTargetPercent)};
    }
    return {};
}

void report(const std::vector<Figures>& all)
{
    std::printf("Latency from the packet's last byte written to the pointer moved:\n");
    std::printf("%-8s %8s %8s %8s %9s %9s %9s   %-16s %-16s\n", "delay", "packets", "matched", "stray", "p50 (ms)",
                "p99 (ms)", "max (ms)", "p50 target", "p99 target");
    for (const Figures& f : all) {
        if (!f.failure.empty()) {
            std::printf("%-8s NOT MEASURED: %s\n", delayText(f.delay).c_str(), f.failure.c_str());
            continue;
        }
        std::vector<double> sorted = f.stream.latenciesMs;
        std::sort(sorted.begin(), sorted.end());
        const double p50 = corvane::bench::percentileOfSorted(sorted, 50);
        const double p99 = corvane::bench::percentileOfSorted(sorted, 99);
        const double target50 = f.delay / 2.0 + 1;
        const double target99 = p99Target(f.delay);
        char t50[32], t99[32];
        std::snprintf(t50, sizeof t50, "<= %.1f %s", target50, verdict(p50, target50));
        std::snprintf(t99, sizeof t99, "<= %.1f %s", target99, verdict(p99, target99));
        std::printf("%-8s %8zu %8zu %8zu %9.2f %9.2f %9.2f   %-16s %-16s\n", delayText(f.delay).c_str(),
                    f.stream.packets, f.stream.matched, f.stream.strayMoves, p50, p99, sorted.back(), t50, t99);
    }
    std::printf("\nCPU while streaming %d packets/s:\n", kPacketsPerSecond);
    std::printf("%-8s %10s %10s %9s %8s %15s %12s %11s   %-18s %s\n", "delay", "sleep (ms)", "window (s)", "CPU (ms)",
                "cycles", "CPU/cycle (us)", "% of a core", "empty (us)", "target", "result");
    for (const Figures& f : all) {
        if (!f.failure.empty()) {
            std::printf("%-8s NOT MEASURED\n", delayText(f.delay).c_str());
            continue;
        }
        const double cpuMs = static_cast<double>(f.cpuNs) / kMillisecond;
        const double cycles = f.windowSeconds * 1000.0 / f.delay;
        const double perCycleUs = cpuMs * 1000.0 / cycles;
        const double corePercent = cpuMs / 10.0 / f.windowSeconds;
        const CpuJudgement judged = judgeCpu(f.delay, perCycleUs, corePercent);
        char emptyUs[16] = "-";
        if (f.emptyLoopUs)
            std::snprintf(emptyUs, sizeof emptyUs, "%.1f", *f.emptyLoopUs);
        std::printf("%-8s %10.1f %10.2f %9.1f %8.0f %15.1f %12.3f %11s   %-18s %s\n", delayText(f.delay).c_str(),
                    f.sleepMs, f.windowSeconds, cpuMs, cycles, perCycleUs, corePercent, emptyUs, judged.target.c_str(),
                    judged.result);
    }
    std::printf("\nA delay is measured only when the main thread, stopped, asks for it each time it sleeps\n"
                "(\"sleep\", read in /proc). 5 ms is picked in the profile list after a start at 10 ms: applied\n"
                "at start, with the delay slider at 20, a profile's 5 ms becomes 10.\n"
                "Latency is judged by the median (target delay/2 + 1 ms) and the 99th percentile (6 ms at\n"
                "5 ms, delay + 2 ms above). \"stray\" counts pointer moves that matched no run of packets.\n"
                "The CPU time is that of all the program's threads (schedstat, in nanoseconds). Cycles are\n"
                "counted as the window over the delay, much as scripts/soak.sh counts them: a cycle sleeps the\n"
                "delay and then works about half a millisecond, so the count is high, and the CPU per cycle\n"
                "low, by about 10%% at 5 ms and 3%% at 20 ms. \"empty\" is the CPU per cycle of the least loop\n"
                "of a Qt window at the same delay on this machine (sleep, then process events), for reference.\n");
}

std::optional<Options> parseArguments(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--seconds" && i + 1 < argc) {
            if (!corvane::bench::parseInt(argv[++i], 1, 600, options.seconds))
                return std::nullopt;
        } else if (arg == "--simulator" && i + 1 < argc) {
            options.simulator = argv[++i];
        } else if (options.program.empty() && !arg.empty() && arg.front() != '-') {
            options.program = arg;
        } else {
            return std::nullopt;
        }
    }
    if (options.program.empty())
        return std::nullopt;
    if (options.simulator.empty())
        options.simulator = corvane::bench::besideThisProgram("corvane-tracker-sim");
    return options;
}

} // namespace

int main(int argc, char** argv)
{
    const auto options = parseArguments(argc, argv);
    if (!options) {
        std::fprintf(stderr, "usage: corvane-bench-latency [--seconds S] [--simulator PATH] PATH-TO-CORVANE\n");
        return 2;
    }
    for (const fs::path& needed : {options->program, options->simulator}) {
        if (!fs::is_regular_file(needed)) {
            std::fprintf(stderr, "corvane-bench-latency: no program at %s\n", needed.c_str());
            return 2;
        }
    }
    Display* display = corvane::xtools::openDisplay("corvane-bench-latency");
    if (display == nullptr)
        return 2;

    int status = 1;
    try {
        PointerWatch screen(display);
        std::printf("Corvane latency benchmark\n");
        std::printf("  program:   %s\n  simulator: %s\n  display:   %s\n", options->program.c_str(),
                    options->simulator.c_str(), DisplayString(display));
        std::printf("  stream:    %d packets/s for %d s per delay; profile: Mouse Emulation, smoothing 0, speed 10\n\n",
                    kPacketsPerSecond, options->seconds);
        std::fflush(stdout);
        std::vector<Figures> all;
        for (const int delay : kDelays) {
            try {
                all.push_back(measure(display, screen, *options, delay));
            } catch (const BenchError& e) {
                all.emplace_back().delay = delay;
                all.back().failure = e.what();
                continue;
            }
            // Only a reference: without it the delay's own figures stand.
            try {
                all.back().emptyLoopUs = corvane::bench::emptyLoopCycleUs(
                    corvane::bench::besideThisProgram("corvane-bench-empty-window"), delay, 4);
            } catch (const BenchError& e) {
                std::fprintf(stderr, "corvane-bench-latency: %s\n", e.what());
            }
        }
        report(all);
        status = std::any_of(all.begin(), all.end(), [](const Figures& f) { return !f.failure.empty(); }) ? 1 : 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "corvane-bench-latency: %s\n", e.what());
    }
    XCloseDisplay(display);
    return status;
}
