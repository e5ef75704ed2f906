// A whole session of the real program with the simulated tracker: the bytes
// on the wire from the port search to the shutdown, and where a scripted head
// movement puts the pointer, measured on the X server.
#include "tests/e2e/E2eSupport.h"

#include <chrono>
#include <thread>

namespace corvane::e2e {
namespace {

using namespace std::chrono_literals;

// Still packets before the first step: time to put the pointer in the middle
// of the screen once the stream has started.
constexpr std::size_t kLeadPackets = 120;
// Packets per step, a second at 60 per second: long enough for the moving
// average to let go of a step (at most 13 cycles of at least 20 ms).
constexpr std::size_t kStepPackets = 60;

// Samples the pointer while the simulator plays a script of `steps` steps,
// until 0.8 s after its last packet; returns where the pointer was just before
// each step's first packet was written (the program cannot have moved it for
// that packet yet), and at the end.
std::vector<Point> pointerAtSteps(const Simulator& sim, std::size_t steps)
{
    const std::size_t packets = kLeadPackets + steps * kStepPackets;
    std::vector<std::pair<std::int64_t, Point>> samples;
    // Until 0.8 s after the last packet, or 10 s after the script should have ended.
    std::int64_t until = bench::monotonicNs() + static_cast<std::int64_t>(packets / 60 + 10) * 1'000'000'000;
    bool ended = false;
    for (std::int64_t now = bench::monotonicNs(); now < until; now = bench::monotonicNs()) {
        samples.emplace_back(now, pointer());
        if (!ended && samples.size() % 50 == 0 && (ended = sim.packetTimes().size() >= packets))
            until = now + 800'000'000;
        std::this_thread::sleep_for(2ms);
    }
    const std::vector<std::int64_t> written = sim.packetTimes();
    std::vector<Point> path;
    for (std::size_t step = 0; step < steps; ++step) {
        path.push_back(samples.front().second);
        for (const auto& [ns, at] : samples)
            if (ns < written.at(kLeadPackets + step * kStepPackets))
                path.back() = at;
    }
    path.push_back(samples.back().second);
    return path;
}

using SessionTest = E2eTest;

TEST_F(SessionTest, MouseEmulationOnCom2FromSetUpToShutdown)
{
    // Two impulses of one packet each, in counts (left-right, up-down).
    const std::string still = "0 0 0";
    writeFile(folder / "script.txt", repeated(still, kLeadPackets) + "5 3 0\n" + repeated(still, kStepPackets - 1)
                                         + "-15 -5 0\n" + repeated(still, kStepPackets - 1));
    // COM 1 cannot be opened at any of the five speeds, so the search moves on to COM 2.
    blockPorts({1, 3, 4});
    Simulator sim(folder, folder / "com2", {"--motion", "script:" + (folder / "script.txt").string(), "--once"});
    Corvane corvane(folder);
    // "!" after the port opened; "!", the set-up of "Default Mouse Emulation"
    // (Magnetic 2, Tilt 4, Jitter 3) and "!" because tracking is stopped.
    const std::string setUp = "!!!M3,0,A,2,4,1,3\r!";
    ASSERT_TRUE(sim.recordBecomes(setUp, 15s));
    EXPECT_TRUE(sim.status("mode=mouse-emulation"));

    corvane.clickStart();
    ASSERT_TRUE(sim.recordBecomes(setUp + "S", 5s));
    centrePointer();
    const std::vector<Point> path = pointerAtSteps(sim, 2);
    // A count is 10 units, down positive. Left-right: the mean of 10 history
    // entries times 17/10, so c counts give 10c / 10 * 1.7 = 1.7c per cycle
    // for 10 cycles; up-down: 10c / 8 * 1.6 = 2c per cycle for 8 cycles.
    // (5, 3): 8.5 rounds to 8 (even): 10 x 8 = 80; 8 x 6 = 48.
    // (-15, -5): -25.5 rounds to -26 (even): 10 x -26 = -260; 8 x -10 = -80.
    EXPECT_EQ(path, (std::vector<Point>{{0, 0}, {80, 48}, {-180, -32}}));

    corvane.clickStart();
    EXPECT_TRUE(sim.recordBecomes(setUp + "S!", 5s));
    EXPECT_EQ(corvane.close(), 0);
    // The shutdown: "!" and the reset "!R\r".
    EXPECT_TRUE(sim.recordBecomes(setUp + "S!!!R\r", 3s));
    EXPECT_TRUE(sim.status("mode=none")) << "the reset did not reach the tracker";
}

TEST_F(SessionTest, TheWindowHasItsIconAndTheClassItsDesktopEntryNames)
{
    blockPorts({1, 2, 3, 4});
    Corvane corvane(folder);
    // A dock finds the desktop entry, and its icon, by the class the entry names.
    const std::string entry = readFile(CORVANE_E2E_DESKTOP_ENTRY);
    const std::string key = "\nStartupWMClass=";
    const std::size_t at = entry.find(key);
    ASSERT_NE(at, std::string::npos) << entry;
    const std::string wmClass = entry.substr(at + key.size(), entry.find('\n', at + 1) - at - key.size());
    EXPECT_EQ(corvane.property("WM_CLASS"), "WM_CLASS(STRING) = \"corvane\", \"" + wmClass + "\"\n");
    // Its own icon, at every size built in, for window managers that draw it.
    const std::string icon = corvane.property("_NET_WM_ICON");
    for (const char* size : {"Icon (32 x 32)", "Icon (64 x 64)", "Icon (128 x 128)"})
        EXPECT_NE(icon.find(size), std::string::npos) << size << " is not in " << icon.substr(0, 100);
}

} // namespace
} // namespace corvane::e2e
