// Pointer motion of the real program, measured on the X server. A scripted
// head movement goes through decoding, the moving average over the history,
// the speed factor, the rounding of each cycle and, in tracker mode "Euler
// Angle", the movement threshold; the pointer must land where those rules say
// after every step of the script.
#include "tests/e2e/E2eTest.h"

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <ostream>
#include <sstream>
#include <thread>

namespace corvane::e2e {

void PrintTo(const Point& p, std::ostream* out)
{
    *out << "(" << p.x << ", " << p.y << ")";
}

namespace {

using namespace std::chrono_literals;
using SteadyClock = std::chrono::steady_clock;

constexpr int kPacketsPerSecond = 60;
// Still packets before the first step: time to put the pointer in the middle
// of the screen once the stream has started.
constexpr int kLeadPackets = 60;
// Packets per step: long enough for the moving average to let go of a step
// (at most 13 cycles of at least 20 ms) before the next one comes.
constexpr int kStepPackets = 40;

// The motion settings of the built-in profiles.
struct MotionSettings {
    int leftRightSmooth, upDownSmooth, leftRightSpeed, upDownSpeed, jitter;
};
constexpr MotionSettings kDefaultMouseEmulation{9, 7, 17, 16, 3};
constexpr MotionSettings kDefaultEulerAngle{12, 12, 7, 5, 2};

enum class Mode { MouseEmulation, EulerAngle };

// One axis of motion processing: each cycle's value enters the history, then
// becomes the mean of the newest N + 1 entries and is scaled by speed / 10.
class AxisRule {
public:
    AxisRule(int smooth, int speed) : smooth_(smooth), speed_(speed) {}

    double next(double raw)
    {
        history_.push_back(raw);
        double value = raw;
        if (smooth_ > 0) {
            for (int back = smooth_; back >= 1; --back) {
                const auto n = static_cast<int>(history_.size());
                value += back < n ? history_[static_cast<std::size_t>(n - 1 - back)] : 0.0;
            }
            value /= smooth_ + 1;
        }
        if (value != 0)
            value = speed_ * value / 10;
        return value;
    }

private:
    int smooth_, speed_;
    std::vector<double> history_;
};

// To the nearest integer, halves to the even neighbour (the default rounding mode).
int rounded(double value)
{
    return static_cast<int>(std::nearbyint(value));
}

// Where the pointer is, relative to its start, before the first step and after
// each step. A step is the decoded movement of one cycle; quiet cycles follow
// until the next.
std::vector<Point> expectedPath(Mode mode, const MotionSettings& s, const std::vector<Point>& steps)
{
    constexpr int kQuietCycles = 20;
    AxisRule leftRight(s.leftRightSmooth, s.leftRightSpeed);
    AxisRule upDown(s.upDownSmooth, s.upDownSpeed);
    Point at;
    std::vector<Point> path = {at};
    for (const Point& step : steps) {
        for (int cycle = 0; cycle <= kQuietCycles; ++cycle) {
            const int dx = rounded(leftRight.next(cycle == 0 ? step.x : 0));
            const int dy = rounded(upDown.next(cycle == 0 ? step.y : 0));
            bool move = dx != 0 || dy != 0;
            if (mode == Mode::EulerAngle) {
                // Either axis beyond its threshold moves both.
                move = s.leftRightSpeed * s.jitter / 8.0 < std::abs(dx)
                    || s.upDownSpeed * s.jitter / 8.0 < std::abs(dy);
            }
            if (move) {
                at.x += dx;
                at.y += dy;
            }
        }
        path.push_back(at);
    }
    return path;
}

struct Packet {
    std::int64_t writtenNs;
    Point values; // left-right, up-down as the script gave them
};

// The simulator's timestamps: "monotonic_ns mode lr ud ss" per packet.
std::vector<Packet> readPackets(const fs::path& path)
{
    std::vector<Packet> packets;
    std::istringstream lines(readFile(path));
    std::string line;
    while (std::getline(lines, line)) {
        if (line.empty() || line.front() == '#')
            continue;
        std::istringstream fields(line);
        Packet p{};
        std::string mode;
        if (fields >> p.writtenNs >> mode >> p.values.x >> p.values.y)
            packets.push_back(p);
    }
    return packets;
}

std::string scriptLines(Point values, int count)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += std::to_string(values.x) + " " + std::to_string(values.y) + " 0\n";
    return text;
}

struct Sample {
    std::int64_t ns;
    Point at;
};

class PointerTest : public E2eTest {
protected:
    // Starts tracking, puts the pointer in the middle of the screen while the
    // script's still lead plays, and samples the pointer until the script has
    // ended and the last step has settled. The packets that `isStep` picks (by
    // their values and those of the packet before) go to `sent`; the result is
    // the pointer, relative to the middle of the screen, just before each of
    // them was written (the program cannot have moved it for that packet yet),
    // and at the end.
    static std::vector<Point> follow(Simulator& sim, Corvane& corvane, std::size_t packets,
                                     bool (*isStep)(Point values, Point before), std::vector<Point>& sent)
    {
        Screen& screen = Screen::get();
        corvane.clickStart();
        if (!sim.waitFor([](const Simulator::State& s) { return s.streaming; }, 5s))
            throw std::runtime_error("the simulator did not start streaming");
        screen.moveTo(screen.centre());

        std::vector<Sample> samples;
        const auto limit = SteadyClock::now() + std::chrono::seconds(packets / kPacketsPerSecond + 10);
        auto nextLook = SteadyClock::now();
        std::optional<SteadyClock::time_point> ended;
        for (auto now = SteadyClock::now(); now < limit; now = SteadyClock::now()) {
            samples.push_back({monotonicNs(), screen.pointer()});
            if (!ended && now >= nextLook) {
                if (readPackets(sim.timestampsPath()).size() >= packets)
                    ended = now;
                nextLook = now + 100ms;
            }
            if (ended && now >= *ended + 800ms)
                break;
            std::this_thread::sleep_for(2ms);
        }

        const auto relative = [&](Point p) { return Point{p.x - screen.centre().x, p.y - screen.centre().y}; };
        std::vector<Point> path;
        Point before;
        for (const Packet& packet : readPackets(sim.timestampsPath())) {
            if (isStep(packet.values, before)) {
                sent.push_back(packet.values);
                Point last = samples.front().at;
                for (std::size_t i = 0; i < samples.size() && samples[i].ns < packet.writtenNs; ++i)
                    last = samples[i].at;
                path.push_back(relative(last));
            }
            before = packet.values;
        }
        path.push_back(relative(samples.back().at));
        return path;
    }
};

TEST_F(PointerTest, MouseEmulationMovesByTheSmoothedScaledCountsRoundedEachCycle)
{
    // Single packets, in counts; the head is still in between. With the
    // defaults 5 counts right give 8.5 per cycle, which rounds to 8, and 15
    // left give -25.5, which rounds to -26.
    const std::vector<Point> impulses = {{5, 0}, {0, 3}, {-15, 0}, {7, 2}, {0, -5}, {1, -1}};
    std::string script = scriptLines({0, 0}, kLeadPackets);
    for (const Point& impulse : impulses)
        script += scriptLines(impulse, 1) + scriptLines({0, 0}, kStepPackets - 1);
    writeFile(folder / "script.txt", script);

    folder.blockPorts({2, 3, 4});
    Simulator sim(folder.path(), folder / "com1", {"--motion", "script:" + (folder / "script.txt").string(), "--once"});
    Corvane corvane(folder.path());
    // Set up with "Default Mouse Emulation" (Magnetic 2, Tilt 4, Jitter 3), stopped.
    ASSERT_TRUE(waitUntil([&] { return sim.record() == "!!!M3,0,A,2,4,1,3\r!"; }, 10s)) << shown(sim.record());
    std::vector<Point> sent;
    const std::vector<Point> observed = follow(sim, corvane, kLeadPackets + impulses.size() * kStepPackets,
                                               [](Point values, Point) { return values != Point{}; }, sent);
    ASSERT_EQ(sent, impulses) << "the simulator did not send the script";
    // A packet decodes to ten units per count on each axis; down is positive.
    std::vector<Point> steps;
    for (const Point& impulse : impulses)
        steps.push_back({10 * impulse.x, 10 * impulse.y});
    EXPECT_EQ(observed, expectedPath(Mode::MouseEmulation, kDefaultMouseEmulation, steps));
    EXPECT_EQ(corvane.close(), 0);
}

TEST_F(PointerTest, EulerAngleMovesByTheChangeOfAngleAboveTheThreshold)
{
    // Angles held for a while each. From the start position 0 the first is a
    // large turn; the second changes by 26, which after smoothing and speed
    // stays under the left-right threshold (7 x 2 / 8) and does not move the
    // pointer; the fourth moves up-down by 1, under its own threshold, but
    // together with a left-right move above it; the last gives 3.5 and 2.5
    // per cycle, rounding to 4 and 2.
    const std::vector<Point> angles = {{520, -390}, {546, -390}, {156, -260}, {208, -234}, {143, -299}};
    std::string script = scriptLines({0, 0}, kLeadPackets);
    for (const Point& angle : angles)
        script += scriptLines(angle, kStepPackets);
    writeFile(folder / "script.txt", script);
    writeFile(folder / "LastProfile1.2.dat", "\"Default Euler Angle\"\r\n");

    folder.blockPorts({2, 3, 4});
    Simulator sim(folder.path(), folder / "com1", {"--motion", "script:" + (folder / "script.txt").string(), "--once"});
    Corvane corvane(folder.path());
    // Set up with "Default Euler Angle" (Magnetic 3, Tilt 4), stopped.
    ASSERT_TRUE(waitUntil([&] { return sim.record() == "!!!M2,C,B,3,4\r!"; }, 10s)) << shown(sim.record());
    std::vector<Point> sent;
    const std::vector<Point> observed = follow(sim, corvane, kLeadPackets + angles.size() * kStepPackets,
                                               [](Point values, Point before) { return values != before; }, sent);
    ASSERT_EQ(sent, angles) << "the simulator did not send the script";

    // The movement of a step is the previous angle minus the new one.
    std::vector<Point> steps;
    Point angle;
    for (const Point& next : angles) {
        steps.push_back({angle.x - next.x, angle.y - next.y});
        angle = next;
    }
    EXPECT_EQ(observed, expectedPath(Mode::EulerAngle, kDefaultEulerAngle, steps));
    EXPECT_EQ(corvane.close(), 0);
}

} // namespace
} // namespace corvane::e2e
