#include "engine/Decoding.h"

#include <gtest/gtest.h>

#include "tests/support/TestData.h"

using namespace corvane;
using corvane::test::eulerPacket;

TEST(MouseEmulation, PacketsSyncAndLeftovers)
{
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
    for (const auto& c : cases) {
        QByteArray buffer = c.buffer;
        MovementValues v;
        decodeEulerAngle(buffer, v);
        EXPECT_EQ(std::tuple(v.leftRight, v.upDown, v.sideSide, buffer), std::tuple(c.lr, c.ud, c.ss, QByteArray()))
            << c.buffer.toHex().toStdString();
    }
}
