#include "tools/sim/Motion.h"
#include "tools/sim/SimProtocol.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cmath>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

using namespace corvane::sim;

namespace {

// The driver's reading of a Mouse Emulation packet, written from the packet
// description: upper-case digits only, bits numbered from the msb of byte 1.
// Gives the movement in units (10 per count); nothing when the text is not a
// well-formed packet.
struct Movement {
    int leftRight;
    int upDown;
    bool operator==(const Movement&) const = default;
};

std::optional<Movement> decodeMouseEmulation(const std::string& text)
{
    if (text.size() != 9) {
        return std::nullopt;
    }
    const auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9') {
            return c - '0';
        }
        if (c >= 'A' && c <= 'F') {
            return c - 'A' + 10;
        }
        return -1;
    };
    unsigned bits = 0;
    for (const int at : {0, 1, 3, 4, 6, 7}) {
        const int d = digit(text[at]);
        if (d < 0) {
            return std::nullopt;
        }
        bits = (bits << 4) | static_cast<unsigned>(d);
    }
    const auto bit = [&](int n) { return (bits >> (24 - n)) & 1u; }; // n = 1..24
    if (bit(1) != 1 || bit(2) != 1) {
        return std::nullopt;
    }
    unsigned x = bit(7) << 7 | bit(8) << 6;
    unsigned y = bit(5) << 7 | bit(6) << 6;
    for (int i = 0; i < 6; ++i) {
        x |= bit(11 + i) << (5 - i);
        y |= bit(19 + i) << (5 - i);
    }
    const int X = static_cast<int>(x);
    const int Y = static_cast<int>(y);
    const int lr = X == 0 ? 0 : X <= 128 ? X * 10 : (X - 256) * 10;
    const int ud = Y == 0 ? 0 : Y <= 128 ? Y * -10 : (256 - Y) * 10;
    return Movement{lr, ud};
}

struct Angles {
    int lr;
    int ud;
    int ss;
    bool operator==(const Angles&) const = default;
};

// The driver's reading of one Euler Angle packet; nothing when the sync byte
// or the checksum is wrong.
std::optional<Angles> decodeEuler(const EulerPacket& p)
{
    unsigned sum = 0;
    for (int i : {0, 1, 2, 3, 4, 5, 7}) {
        sum += p[i];
    }
    if (p[7] != 255 || (sum & 0xFFu) != p[6]) {
        return std::nullopt;
    }
    const auto centred = [&](int hi) {
        const int v = p[hi] * 256 + p[hi + 1];
        return v == 0 ? 0 : v <= 32767 ? v - 16384 : v - 49152;
    };
    return Angles{centred(0), centred(2), centred(4)};
}

using Kind = CommandParser::Event::Kind;
using Events = std::vector<CommandParser::Event>;

// Feeds the chunks in order; "<wait>" stands for the pause after which the
// pending "!" is decided. Neighbouring ignored bytes are merged, so that the
// result does not depend on how the ignored bytes were split.
Events parse(const std::vector<std::string>& chunks)
{
    CommandParser parser;
    Events all;
    for (const auto& chunk : chunks) {
        const Events events = chunk == "<wait>" ? parser.timeOut() : parser.feed(chunk);
        for (const auto& e : events) {
            if (e.kind == Kind::Ignored && !all.empty() && all.back().kind == Kind::Ignored) {
                all.back().text += e.text;
            } else {
                all.push_back(e);
            }
        }
    }
    return all;
}

std::vector<std::string> bytesOf(const std::string& text)
{
    std::vector<std::string> out;
    for (char c : text) {
        out.emplace_back(1, c);
    }
    return out;
}

} // namespace

TEST(MouseEmulationPacket, EveryCountDecodesToTheSameMovement)
{
    for (int lr = kMinLeftRightCounts; lr <= kMaxLeftRightCounts; ++lr) {
        for (int ud = kMinUpDownCounts; ud <= kMaxUpDownCounts; ++ud) {
            const std::string packet = encodeMouseEmulation(lr, ud);
            ASSERT_EQ(packet.size(), 9u);
            ASSERT_EQ(packet[2], ' ');
            ASSERT_EQ(packet[5], ' ');
            ASSERT_EQ(packet[8], '\r');
            ASSERT_EQ(decodeMouseEmulation(packet), (Movement{lr * 10, ud * 10})) << lr << " " << ud << " " << packet;
        }
    }
}

TEST(MouseEmulationPacket, KnownPackets)
{
    const struct {
        int lr, ud;
        const char* packet;
    } cases[] = {
        {0, 0, "C0 00 00\r"},     {2, -1, "C0 02 01\r"},    {-1, 0, "C3 3F 00\r"},
        {128, 0, "C2 00 00\r"},   {-127, 0, "C2 01 00\r"},  {0, -128, "C8 00 00\r"},
        {0, 127, "C8 00 01\r"},   {0, 1, "CC 00 3F\r"},     {64, -64, "C5 00 00\r"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(encodeMouseEmulation(c.lr, c.ud), c.packet) << c.lr << " " << c.ud;
    }
}

TEST(MouseEmulationPacket, LowerCaseLettersAreNotReadAsDigits)
{
    const std::string upper = encodeMouseEmulation(-1, 5);
    std::string expected = upper;
    for (char& c : expected) {
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    EXPECT_EQ(encodeMouseEmulation(-1, 5, HexCase::Lower), expected);
    EXPECT_NE(expected, upper);
    EXPECT_EQ(decodeMouseEmulation(expected), std::nullopt);
}

TEST(MouseEmulationPacket, CountsBeyondOnePacketAreRefused)
{
    const std::pair<int, int> cases[] = {{129, 0}, {-128, 0}, {0, 128}, {0, -129}, {1000, -1000}};
    for (const auto& [lr, ud] : cases) {
        EXPECT_THROW(encodeMouseEmulation(lr, ud), std::out_of_range) << lr << " " << ud;
    }
}

TEST(EulerPacket, AnglesSurviveTheDriversDecoding)
{
    for (int a = kMinAngle; a <= kMaxAngle; ++a) {
        const int b = kMaxAngle - (a - kMinAngle); // the other end of the range
        const int c = (a * 7) % 16384;
        ASSERT_EQ(decodeEuler(encodeEuler(a, b, c)), (Angles{a, b, c})) << a;
    }
}

TEST(EulerPacket, BytesAndChecksum)
{
    // 16 -> 0xC010, 0 -> 0xC000; 0xC0+0x10+0xC0+0x00+0xC0+0x00+0xFF = 0x34F.
    EXPECT_EQ(encodeEuler(16, 0, 0), (EulerPacket{0xC0, 0x10, 0xC0, 0x00, 0xC0, 0x00, 0x4F, 0xFF}));
    // The range ends: -16384 -> 0x8000, 16383 -> 0xFFFF.
    EXPECT_EQ(encodeEuler(-16384, 16383, -1),
              (EulerPacket{0x80, 0x00, 0xFF, 0xFF, 0xBF, 0xFF, 0x3B, 0xFF}));
    EXPECT_THROW(encodeEuler(16384, 0, 0), std::out_of_range);
    EXPECT_THROW(encodeEuler(0, -16385, 0), std::out_of_range);
    EXPECT_THROW(encodeEuler(0, 0, 40000), std::out_of_range);
}

TEST(SetUpCommand, SelectsTheMode)
{
    EXPECT_EQ(modeOfSetUp("!M3,0,A,2,4,1,3"), TrackerMode::MouseEmulation);
    EXPECT_EQ(modeOfSetUp("!M2,C,B,2,4"), TrackerMode::EulerAngle);
    EXPECT_EQ(modeOfSetUp("!M2"), TrackerMode::EulerAngle);
    EXPECT_EQ(modeOfSetUp("!M4,0"), std::nullopt);
    EXPECT_EQ(modeOfSetUp("!M"), std::nullopt);
    EXPECT_EQ(modeOfSetUp(""), std::nullopt);
}

TEST(CommandParser, ReadsTheDriversTexts)
{
    const std::string longCommand = "!M3," + std::string(CommandParser::kMaxCommandLength, '1');
    const struct {
        std::vector<std::string> chunks;
        Events expected;
    } cases[] = {
        {{"!M3,0,A,2,4,1,3\r"}, {{Kind::SetUp, "!M3,0,A,2,4,1,3"}}},
        {{"!", "M2,C,B,2,4\r"}, {{Kind::SetUp, "!M2,C,B,2,4"}}},
        {{"!M", "3,0,A,", "2,4,1,3", "\r"}, {{Kind::SetUp, "!M3,0,A,2,4,1,3"}}},
        {{"S"}, {{Kind::Start, ""}}},
        {{"!", "<wait>"}, {{Kind::Stop, ""}}},
        {{"!", "<wait>", "<wait>"}, {{Kind::Stop, ""}}},
        {{"!S"}, {{Kind::Stop, ""}, {Kind::Start, ""}}},
        {{"!", "S"}, {{Kind::Stop, ""}, {Kind::Start, ""}}},
        {{"!R\r"}, {{Kind::Reset, ""}}},
        {{"!", "R", "\r"}, {{Kind::Reset, ""}}},
        {{"!!R\r"}, {{Kind::Stop, ""}, {Kind::Reset, ""}}},
        {{"!R", "<wait>"}, {{Kind::Stop, ""}, {Kind::Ignored, "R"}}},
        {{"!RS"}, {{Kind::Stop, ""}, {Kind::Ignored, "R"}, {Kind::Start, ""}}},
        {{"!\r"}, {{Kind::Stop, ""}, {Kind::Ignored, "\r"}}},
        {{std::string("x\0\xFF", 3), "S"}, {{Kind::Ignored, std::string("x\0\xFF", 3)}, {Kind::Start, ""}}},
        // A command cut off by the next "!" is lost, the next one counts.
        {{"!M3,0", "!M2,C\r"}, {{Kind::Ignored, "!M3,0"}, {Kind::SetUp, "!M2,C"}}},
        {{"!M3,0!", "<wait>"}, {{Kind::Ignored, "!M3,0"}, {Kind::Stop, ""}}},
        // A command that never ends is given up; what follows is read afresh.
        {{longCommand, "1S"}, {{Kind::Ignored, longCommand + "1"}, {Kind::Start, ""}}},
        {{"<wait>", "S"}, {{Kind::Start, ""}}},
    };
    for (const auto& c : cases) {
        const Events& expected = c.expected;
        EXPECT_EQ(parse(c.chunks), expected) << testing::PrintToString(c.chunks);
        // The same bytes arriving one at a time read the same.
        std::vector<std::string> single;
        for (const auto& chunk : c.chunks) {
            const auto bytes = chunk == "<wait>" ? std::vector<std::string>{chunk} : bytesOf(chunk);
            single.insert(single.end(), bytes.begin(), bytes.end());
        }
        EXPECT_EQ(parse(single), expected) << "byte by byte: " << testing::PrintToString(c.chunks);
    }
}

TEST(CommandParser, WaitsOnlyAfterABang)
{
    CommandParser parser;
    EXPECT_FALSE(parser.awaitingFollower());
    EXPECT_TRUE(parser.timeOut().empty());
    parser.feed("!");
    EXPECT_TRUE(parser.awaitingFollower());
    parser.feed("R");
    EXPECT_TRUE(parser.awaitingFollower());
    parser.feed("\r");
    EXPECT_FALSE(parser.awaitingFollower());
    EXPECT_TRUE(parser.idle());
    parser.feed("!M3");
    EXPECT_FALSE(parser.awaitingFollower());
    EXPECT_FALSE(parser.idle());
    parser.clear();
    EXPECT_EQ(parser.feed("\r"), (Events{{Kind::Ignored, "\r"}}));
}

TEST(EscapeBytes, ShowsEveryByteReadably)
{
    EXPECT_EQ(escapeBytes("!M3,0\r"), "!M3,0\\r");
    EXPECT_EQ(escapeBytes(std::string("\"\\\n\t\0\x7F\xFF", 7)), "\\\"\\\\\\n\\t\\x00\\x7F\\xFF");
}

TEST(MotionScript, ReadsLinesOfThreeNumbers)
{
    const MotionScript script = parseMotionScript("# head\n1 2 3\n\n   # note\r\n-4\t+5  -16384\r\n16383 0 0");
    EXPECT_EQ(script.samples, (std::vector<Sample>{{1, 2, 3}, {-4, 5, -16384}, {16383, 0, 0}}));
    EXPECT_EQ(script.lineNumbers, (std::vector<int>{2, 5, 6}));
}

TEST(MotionScript, BadLinesAreNamed)
{
    const std::pair<std::string, std::string> cases[] = {
        {"1 2 3\n1 2\n", "line 2:"},
        {"1 2 3 4\n", "line 1:"},
        {"1 2 x\n", "line 1:"},
        {"# c\n1 2 3.5\n", "line 2:"},
        {"1 2 16384\n", "line 1:"},
        {"1 2 99999999999999999999\n", "line 1:"},
        {"1 2 +-3\n", "line 1:"},
        {std::string("1 2\0 3\n", 7), "line 1:"},
        {"", "no motion lines"},
        {"# only a comment\n\n", "no motion lines"},
    };
    for (const auto& [text, message] : cases) {
        try {
            parseMotionScript(text);
            ADD_FAILURE() << "accepted " << testing::PrintToString(text);
        } catch (const std::invalid_argument& e) {
            EXPECT_NE(std::string(e.what()).find(message), std::string::npos) << e.what();
        }
    }
}

TEST(Motion, ScriptsRepeatOrEndAndAreClampedInMouseEmulation)
{
    const MotionScript script = parseMotionScript("1 -2 3\n300 -300 0\n");
    ASSERT_EQ(mouseEmulationRangeWarnings(script).size(), 1u);
    EXPECT_NE(mouseEmulationRangeWarnings(script)[0].find("line 2"), std::string::npos);

    Motion repeating = Motion::script(script, false);
    const std::vector<Sample> expected = {{1, -2, 0}, {128, -128, 0}, {1, -2, 0}, {128, -128, 0}};
    for (const auto& s : expected) {
        EXPECT_EQ(repeating.next(TrackerMode::MouseEmulation), s);
    }
    Motion once = Motion::script(script, true);
    EXPECT_EQ(once.next(TrackerMode::EulerAngle), (Sample{1, -2, 3}));
    EXPECT_EQ(once.next(TrackerMode::EulerAngle), (Sample{300, -300, 0}));
    EXPECT_EQ(once.next(TrackerMode::EulerAngle), std::nullopt);
    once.restart();
    EXPECT_EQ(once.next(TrackerMode::EulerAngle), (Sample{1, -2, 3}));
}

TEST(Motion, CircleCountsAddUpToTheCircle)
{
    for (const int rate : {60, 250, 3}) {
        Motion circle = Motion::circle(rate);
        const int perTurn = static_cast<int>(std::lround(rate * Motion::kCircleSeconds));
        Motion angles = Motion::circle(rate);
        int lr = Motion::kCircleRadius;
        int ud = 0;
        bool moved = false;
        for (int i = 0; i < 3 * perTurn; ++i) {
            const auto step = circle.next(TrackerMode::MouseEmulation);
            ASSERT_TRUE(step);
            ASSERT_NO_THROW(encodeMouseEmulation(step->lr, step->ud));
            moved = moved || step->lr != 0 || step->ud != 0;
            lr += step->lr;
            ud += step->ud;
            const auto point = angles.next(TrackerMode::EulerAngle);
            ASSERT_TRUE(point);
            const double radius = std::hypot(point->lr, point->ud);
            ASSERT_NEAR(radius, Motion::kCircleRadius, 1.0);
            if (rate >= 60) {
                // Small steps are sent whole: the counts stay on the circle.
                ASSERT_EQ((Sample{lr, ud, 0}), *point) << rate << " " << i;
            }
        }
        EXPECT_TRUE(moved);
    }
    Motion still = Motion::still();
    EXPECT_EQ(still.next(TrackerMode::MouseEmulation), Sample{});
    EXPECT_EQ(still.next(TrackerMode::EulerAngle), Sample{});
}
