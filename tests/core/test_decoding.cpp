#include "engine/Decoding.h"

#include <gtest/gtest.h>

#include "tests/support/TestData.h"

#include <chrono>
#include <random>
#include <string>

using namespace corvane;
using corvane::testing::eulerPacket;

namespace {

// Literal text-based decoder, step by step as the packet format describes it.
std::string refHexToBinary(const std::string& text)
{
    static const std::string digits = "0123456789ABCDEF";
    std::string out;
    for (char c : text)
        if (const auto d = digits.find(c); d != std::string::npos)
            for (int bit = 3; bit >= 0; --bit)
                out += ((d >> bit) & 1) ? '1' : '0';
    return out;
}

std::string mid(const std::string& s, size_t start, size_t count)
{
    return start > s.size() ? std::string() : s.substr(start - 1, count);
}

int refNumber(const std::string& bits) // BinaryToHex read as a number; partial group dropped
{
    int value = 0;
    for (size_t i = 0; i + 4 <= bits.size(); i += 4)
        value = value * 16 + std::stoi(bits.substr(i, 4), nullptr, 2);
    return value;
}

void refMouseEmulation(std::string& buf, double& lr, double& ud)
{
    const auto windowBits = [&] { return refHexToBinary(mid(buf, 1, 2) + mid(buf, 4, 2) + mid(buf, 7, 2)); };
    while (buf.size() >= 9) {
        while (windowBits().substr(0, 2) != "11") {
            buf.erase(0, 1);
            if (buf.empty())
                break;
        }
        if (buf.size() < 9)
            break;
        const std::string bits = windowBits();
        const int x = refNumber(mid(bits, 7, 2) + mid(bits, 11, 6));
        const int y = refNumber(mid(bits, 5, 2) + mid(bits, 19, 6));
        lr += x == 0 ? 0 : x <= 128 ? x * 10 : (x - 256) * 10;
        ud += y == 0 ? 0 : y <= 128 ? y * -10 : (256 - y) * 10;
        buf.erase(0, 9);
    }
}

} // namespace

TEST(DigitText, HexAndBinaryConversions)
{
    EXPECT_EQ(HexToBinary("09AF"), "0000100110101111");
    EXPECT_EQ(HexToBinary("a-G\x01 \xff"), "");
    EXPECT_EQ(BinaryToHex("0000100110101111"), "09AF");
    EXPECT_EQ(BinaryToHex("1111012100011"), "F1");   // bad group "0121" and partial "1" drop out
    for (int c = 0; c < 256; ++c) {
        const std::string s(1, char(c));
        EXPECT_EQ(HexToBinary(QByteArray(1, char(c))).toStdString(), refHexToBinary(s)) << c;
    }
}

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
        EXPECT_EQ(v.leftRight, c.lr) << c.buffer;
        EXPECT_EQ(v.upDown, c.ud) << c.buffer;
        EXPECT_EQ(v.sideSide, 0) << c.buffer;
        EXPECT_EQ(buffer, c.rest) << c.buffer;
    }
}

TEST(MouseEmulation, MatchesTheTextReferenceOnRandomAndAdversarialBuffers)
{
    std::mt19937 rng(12345);
    const std::string alphabets[] = {"0123456789ABCDEF ", "C8F0 x", "0123456789abcdefABCDEF \r\n", "8C", "c. D"};
    for (int round = 0; round < 20000; ++round) {
        std::string text(rng() % 60, '\0');
        const std::string& alphabet = alphabets[round % 5];
        for (char& c : text)
            c = round % 7 == 0 ? char(rng()) : alphabet[rng() % alphabet.size()];
        QByteArray buffer(text.data(), qsizetype(text.size()));
        MovementValues v;
        double lr = 0, ud = 0;
        decodeMouseEmulation(buffer, v);
        refMouseEmulation(text, lr, ud);
        ASSERT_EQ(buffer.toStdString(), text);
        ASSERT_EQ(v.leftRight, lr);
        ASSERT_EQ(v.upDown, ud);
    }
}

TEST(MouseEmulation, LongNoiseIsSkippedInLinearTime)
{
    QByteArray buffer(4 << 20, '0');
    buffer += "C0 02 01 ";
    MovementValues v;
    const auto start = std::chrono::steady_clock::now();
    decodeMouseEmulation(buffer, v);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
    EXPECT_EQ(v.leftRight, 20);
    EXPECT_TRUE(buffer.isEmpty());
}

TEST(EulerAngle, NewestValidPacketOnly)
{
    const QByteArray good = eulerPacket(0x4010, 0x4000, 0x4000);
    EXPECT_EQ(good, QByteArray::fromHex("401040004000CFFF"));
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
        EXPECT_EQ(v.leftRight, c.lr) << c.buffer.toHex().toStdString();
        EXPECT_EQ(v.upDown, c.ud) << c.buffer.toHex().toStdString();
        EXPECT_EQ(v.sideSide, c.ss) << c.buffer.toHex().toStdString();
        EXPECT_TRUE(buffer.isEmpty());
    }
}

TEST(Decoding, DispatchesOnTheTrackerMode)
{
    for (const char* mode : {"Mouse Emulation", "Euler Angle", "mouse emulation", ""}) {
        QByteArray buffer = QByteArray("C0 02 01 ") + eulerPacket(0x4010, 0x4000, 0x4000);
        const QByteArray before = buffer;
        MovementValues v;
        decodePackets(QString::fromLatin1(mode), buffer, v);
        const QString m = QString::fromLatin1(mode);
        EXPECT_EQ(v.leftRight, m == "Mouse Emulation" ? 20 : m == "Euler Angle" ? 16 : 0) << mode;
        EXPECT_EQ(buffer.isEmpty(), m == "Euler Angle") << mode;
        if (m != "Mouse Emulation" && m != "Euler Angle") {
            EXPECT_EQ(buffer, before) << mode;
        }
    }
}
