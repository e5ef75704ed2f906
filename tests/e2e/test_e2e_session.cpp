// Whole sessions of the real program with the simulated tracker: the bytes on
// the wire from the port search to the shutdown, and where a scripted head
// movement puts the pointer in both tracker modes, measured on the X server.
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

TEST_F(SessionTest, EulerAngleFollowsTheHeadAndAVanishedTrackerIsSetUpAgain)
{
    // Angles (left-right, up-down), each held for a second.
    writeFile(folder / "script.txt", repeated("0 0 0", kLeadPackets) + repeated("-65 -65 0", kStepPackets)
                                         + repeated("-91 -91 0", kStepPackets) + repeated("-39 -117 0", kStepPackets));
    writeFile(folder / "LastProfile1.2.dat", "\"Default Euler Angle\"\r\n");
    blockPorts({2, 3, 4});
    // COM 1 leads to the simulator's own link. While the device is gone that
    // link is gone too and COM 1 leads nowhere, instead of to a serial port of
    // the machine.
    Simulator sim(folder, folder / "sim-com1", {"--motion", "script:" + (folder / "script.txt").string(), "--once"});
    fs::create_symlink("sim-com1", folder / "com1");
    Corvane corvane(folder);
    // Set up with "Default Euler Angle" (Magnetic 3, Tilt 4), stopped.
    const std::string setUp = "!M2,C,B,3,4\r";
    ASSERT_TRUE(sim.recordBecomes("!!" + setUp + "!", 10s));

    corvane.clickStart();
    ASSERT_TRUE(sim.status("streaming=yes", 5s));
    centrePointer();
    // A step moves by the previous angle minus the new one, 13k on each axis
    // here. The mean of 13 history entries, times the speed: left-right
    // 13k / 13 * 0.7 = 0.7k, up-down 0.5k per cycle, for 13 cycles. A cycle
    // moves the pointer, by both, only when |dx| > 7 x 2 / 8 = 1.75 or
    // |dy| > 5 x 2 / 8 = 1.25.
    // (65, 65): 3.5 rounds to 4 and 2.5 to 2 (even): 13 x (4, 2) = (52, 26).
    // (26, 26): 1.4 rounds to 1 and 1.0 is 1, under both thresholds: no motion.
    // (-52, 26): -2.8 rounds to -3, over its threshold, so dy = 1 moves as
    // well: 13 x (-3, 1) = (-39, 13).
    EXPECT_EQ(pointerAtSteps(sim, 3), (std::vector<Point>{{0, 0}, {52, 26}, {52, 26}, {13, 39}}));

    sim.command("vanish");
    ASSERT_TRUE(sim.status("device=gone", 3s));
    std::this_thread::sleep_for(1s);
    sim.command("return");
    ASSERT_TRUE(sim.status("streaming=yes", 15s)) << ::testing::PrintToString(sim.record());
    // Opened again, set up again and, tracking being started, told to send.
    EXPECT_TRUE(sim.recordBecomes("!!" + setUp + "!S!!" + setUp + "S", 3s));
    // The script plays again; its first step moves the pointer.
    EXPECT_TRUE(pointerMoves(6s));
    EXPECT_EQ(corvane.close(), 0);
}

} // namespace
} // namespace corvane::e2e
