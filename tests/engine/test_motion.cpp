#include "core/Fault.h"
#include "engine/Motion.h"

#include <gtest/gtest.h>

#include "tests/support/TestData.h"

using namespace corvane;
using corvane::test::faultOf;

namespace {

Profile profile(const char* mode, int smooth = 0, int speed = 10)
{
    Profile p;
    p.mode = QString::fromLatin1(mode);
    p.leftRightSmooth = p.upDownSmooth = p.sideSideSmooth = smooth;
    p.leftRightSpeed = p.upDownSpeed = p.sideSideSpeed = speed;
    return p;
}

} // namespace

TEST(MotionHistory, SmoothingAndSpeedPerAxis)
{
    // N = 2 over 30, 0, 60 gives 30, also when the entries straddle the
    // ring's wrap from index 99 to 0.
    for (int lead : {0, 97, 98}) {
        MotionHistory h;
        const Profile p = profile("Mouse Emulation", 2);
        MovementValues v;
        for (int i = 0; i < lead; ++i)
            h.process(v = {}, p);
        for (double raw : {30.0, 0.0, 60.0})
            h.process(v = {raw, 0, 0}, p);
        EXPECT_EQ(v.leftRight, 30) << lead;
        EXPECT_EQ(h.historyIndex(), (lead + 3) % 100);
    }

    // Each axis has its own smoothing and speed: the started cycle's tests
    // check them through the monitor. A smoothing past the ring is a fault.
    Profile p = profile("Mouse Emulation");
    MotionHistory h;
    MovementValues v;
    p.sideSideSmooth = 99;
    EXPECT_EQ(faultOf([&] { h.process(v = {}, p); }), 0);
    p.sideSideSmooth = 100;
    EXPECT_EQ(faultOf([&] { h.process(v = {}, p); }), kFaultSubscript);
}

TEST(MotionHistory, EulerAnglesBecomeMovementsSinceTheLastReading)
{
    MotionHistory h;
    const Profile p = profile("Euler Angle");
    const struct { MovementValues in, out; } cycles[] = {
        {{100, 20, 50}, {-100, -20, -50}},
        {{0, 0, 7}, {0, 0, 7}},       // no packet: the last position is repeated
        {{90, 25, 40}, {10, -5, 10}},
        {{0, -5, 0}, {90, 30, 40}},
    };
    for (const auto& c : cycles) {
        MovementValues v = c.in;
        h.process(v, p);
        EXPECT_EQ(std::tuple(v.leftRight, v.upDown, v.sideSide),
                  std::tuple(c.out.leftRight, c.out.upDown, c.out.sideSide));
    }
}

TEST(MouseStage, RoundingThresholdsAndFaults)
{
    EXPECT_EQ(monitorText(-2.5), "-2");
    EXPECT_EQ(monitorText(1.5), "2");
    EXPECT_EQ(monitorText(-32768.4), "-32768");
    EXPECT_EQ(faultOf([] { monitorText(32767.5); }), kFaultOverflow);

    Profile euler = profile("Euler Angle", 0, 8);
    euler.upDownSpeed = 80;
    const struct { const char* mode; double lr, ud; bool moves; int dx, dy; } cases[] = {
        {"Mouse Emulation", 0.5, 0.4, false, 0, 0}, {"Mouse Emulation", 1.5, 0, true, 2, 0},
        {"Mouse Emulation", 0, -2.5, true, 0, -2},  {"Mouse Emulation", 0, -3.5, true, 0, -4},
        {"Euler Angle", 3, 29, false, 0, 0},        {"Euler Angle", 4, 1, true, 4, 1},
        {"Euler Angle", -3.6, -30, true, -4, -30},  {"Euler Angle", 0, 31, true, 0, 31},
        {"Disabled", 1e9, 1e9, false, 0, 0},
    };
    for (const auto& c : cases) {
        euler.mode = QString::fromLatin1(c.mode);
        const auto move = mouseMove({c.lr, c.ud, 0}, euler, 3);
        EXPECT_EQ(move ? std::tuple(true, move->dx, move->dy) : std::tuple(false, 0, 0), std::tuple(c.moves, c.dx, c.dy))
            << c.mode << ' ' << c.lr << ' ' << c.ud;
    }

    euler.mode = "Euler Angle";
    EXPECT_EQ(faultOf([&] { mouseMove({0, -32768, 0}, euler, 3); }), kFaultOverflow);
    EXPECT_EQ(faultOf([&] { mouseMove({40000, 0, 0}, euler, 3); }), kFaultOverflow);
    euler.leftRightSpeed = 1 << 30;
    EXPECT_EQ(faultOf([&] { mouseMove({0, 0, 0}, euler, 8); }), kFaultOverflow);
    euler.mode = "Mouse Emulation";
    EXPECT_EQ(faultOf([&] { mouseMove({0, -32769, 0}, euler, 3); }), kFaultOverflow);
}
