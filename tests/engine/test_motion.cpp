#include "core/Fault.h"
#include "engine/Decoding.h"
#include "engine/Motion.h"

#include <gtest/gtest.h>

#include "tests/support/TestData.h"

using namespace corvane;
using corvane::test::eulerPacket;
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
    // clang-format off
    const struct { MovementValues in, out; } cycles[] = {
        {{100, 20, 50}, {-100, -20, -50}},
        {{0, 0, 7}, {0, 0, 7}},       // no packet: the last position is repeated
        {{90, 25, 40}, {10, -5, 10}},
        {{0, -5, 0}, {90, 30, 40}},
    };
    // clang-format on
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

    // At the threshold (8 * 3 / 8 = 3 left-right, 80 * 3 / 8 = 30 up-down) nothing moves.
    Profile euler = profile("Euler Angle", 0, 8);
    euler.upDownSpeed = 80;
    // clang-format off
    const struct { const char* mode; double lr, ud; bool moves; int dx, dy; bool overflows = false; } cases[] = {
        {"Mouse Emulation", 0.5, 0.4, false, 0, 0}, {"Mouse Emulation", 1.5, 0, true, 2, 0},
        {"Mouse Emulation", 0, -2.5, true, 0, -2},  {"Mouse Emulation", 0, -3.5, true, 0, -4},
        {"Euler Angle", 3, 30, false, 0, 0},        {"Euler Angle", 4, 1, true, 4, 1},
        {"Euler Angle", -3.6, -30, true, -4, -30},  {"Euler Angle", 0, 31, true, 0, 31},
        {"Disabled", 1e9, 1e9, false, 0, 0},        {"Mouse Emulation", 0, -32769, false, 0, 0, true},
        {"Euler Angle", 0, -32768, false, 0, 0, true}, {"Euler Angle", 40000, 0, false, 0, 0, true},
    };
    // clang-format on
    for (const auto& c : cases) {
        euler.mode = QString::fromLatin1(c.mode);
        std::optional<PointerMove> move;
        EXPECT_EQ(faultOf([&] { move = mouseMove({c.lr, c.ud, 0}, euler, 3); }), c.overflows ? kFaultOverflow : 0);
        EXPECT_EQ(move ? std::tuple(true, move->dx, move->dy) : std::tuple(false, 0, 0),
                  std::tuple(c.moves, c.dx, c.dy))
            << c.mode << ' ' << c.lr << ' ' << c.ud;
    }
    euler.leftRightSpeed = 1 << 30; // still "Euler Angle"
    EXPECT_EQ(faultOf([&] { mouseMove({0, 0, 0}, euler, 8); }), kFaultOverflow);
}

TEST(MouseEmulation, PacketsSyncAndLeftovers)
{
    // clang-format off
    const struct { const char* buffer; double lr, ud; const char* rest; } cases[] = {
        {"C0 02 01 ", 20, -10, ""},           {"C3 3F 00 ", -10, 0, ""},
        {"C2 00 00 ", 1280, 0, ""},           {"C2 01 00 ", -1270, 0, ""},
        {"C8 00 00 ", 0, -1280, ""},          {"C8 00 01 ", 0, 1270, ""},
        {"CC 00 3F ", 0, 10, ""},             {"FF C0 C0 ", -640, 640, ""},
        {"C0x02y01z", 20, -10, ""},           {"8C0 02 01 ", 20, -10, ""},
        {"C0 02 01 C0 0", 20, -10, "C0 0"},   {"C0 02 01 C2 00 00 ", 1300, -10, ""},
        {"c0 02 01 ", 0, 0, ""},              {"C0 02 01", 0, 0, "C0 02 01"},
        {"000000000C", 0, 0, "C"},            {"xCF 3F 3F ", 150, 0, " "}, // 12 bits
        {"C7 2x 13 ", -310, -70, ""},                                      // 20 bits
    };
    // clang-format on
    for (const auto& c : cases) {
        QByteArray buffer(c.buffer);
        MovementValues v;
        decodeMouseEmulation(buffer, v);
        EXPECT_EQ(std::tuple(v.leftRight, v.upDown, v.sideSide, buffer), std::tuple(c.lr, c.ud, 0.0, c.rest))
            << c.buffer;
    }
}

TEST(EulerAngle, NewestValidPacketOnly)
{
    const QByteArray good = eulerPacket(0x4010, 0x4000, 0x4000);
    // clang-format off
    const struct { QByteArray buffer; double lr, ud, ss; } cases[] = {
        {good, 16, 0, 0},
        {eulerPacket(0x0000, 0x4000, 0xC000), 0, 0, 0},
        {eulerPacket(0x0001, 0x8001, 0x7FFF), -16383, -16383, 16383},
        {eulerPacket(0x8000, 0xFFFF, 0x4001), -16384, 16383, 1},
        {eulerPacket(0x4001, 0x4002, 0x4003) + good, 16, 0, 0},             // older packet dropped
        {"\x01\x02" + good + "\x10\x20", 16, 0, 0},                         // bytes around it
        {good + '\xff', 0, 0, 0},                                           // last 255 is taken
        {good.left(7), 0, 0, 0},
        {good.left(6) + char(0xCE) + char(0xFF), 0, 0, 0},                  // checksum off by one
    };
    // clang-format on
    for (const auto& c : cases) {
        QByteArray buffer = c.buffer;
        MovementValues v;
        decodeEulerAngle(buffer, v);
        EXPECT_EQ(std::tuple(v.leftRight, v.upDown, v.sideSide, buffer), std::tuple(c.lr, c.ud, c.ss, QByteArray()))
            << c.buffer.toHex().toStdString();
    }
}
