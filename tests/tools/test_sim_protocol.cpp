// The tracker simulator's side of the protocol: the packets it encodes, read
// back as the driver reads them; the parser of the driver's commands; the
// motion scripts and the circle it plays.
#include "tools/sim/Motion.h"
#include "tools/sim/SimProtocol.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

using namespace corvane::sim;

namespace {

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
        for (const auto& e : chunk == "<wait>" ? parser.timeOut() : parser.feed(chunk)) {
            if (e.kind == Kind::Ignored && !all.empty() && all.back().kind == Kind::Ignored)
                all.back().text += e.text;
            else
                all.push_back(e);
        }
    }
    return all;
}

} // namespace

TEST(MouseEmulationPacket, KnownPacketsLowerCaseAndCountsBeyondOnePacket)
{
    const struct { int lr, ud; const char* packet; } cases[] = {
        {0, 0, "C0 00 00\r"},     {2, -1, "C0 02 01\r"},    {-1, 0, "C3 3F 00\r"},
        {128, 0, "C2 00 00\r"},   {-127, 0, "C2 01 00\r"},  {0, -128, "C8 00 00\r"},
        {0, 127, "C8 00 01\r"},   {0, 1, "CC 00 3F\r"},     {64, -64, "C5 00 00\r"},
        {-1, 5, "CF 3F 3B\r"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(encodeMouseEmulation(c.lr, c.ud), c.packet) << c.lr << " " << c.ud;
    EXPECT_EQ(encodeMouseEmulation(-1, 5, HexCase::Lower), "cf 3f 3b\r"); // not read as digits by the driver
    for (const auto& [lr, ud] : {std::pair{129, 0}, {-128, 0}, {0, 128}, {0, -129}, {1000, -1000}})
        EXPECT_THROW(encodeMouseEmulation(lr, ud), std::out_of_range) << lr << " " << ud;
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
    const std::pair<const char*, std::optional<TrackerMode>> cases[] = {
        {"!M3,0,A,2,4,1,3", TrackerMode::MouseEmulation}, {"!M2,C,B,2,4", TrackerMode::EulerAngle},
        {"!M2", TrackerMode::EulerAngle}, {"!M4,0", std::nullopt}, {"!M", std::nullopt}, {"", std::nullopt}};
    for (const auto& [command, mode] : cases)
        EXPECT_EQ(modeOfSetUp(command), mode) << command;
}

TEST(CommandParser, ReadsTheDriversTexts)
{
    const std::string longCommand = "!M3," + std::string(CommandParser::kMaxCommandLength, '1');
    const struct { std::vector<std::string> chunks; Events expected; } cases[] = {
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
            if (chunk == "<wait>")
                single.push_back(chunk);
            for (std::size_t i = 0; chunk != "<wait>" && i < chunk.size(); ++i)
                single.emplace_back(1, chunk[i]);
        }
        EXPECT_EQ(parse(single), expected) << "byte by byte: " << testing::PrintToString(c.chunks);
    }
}

TEST(CommandParser, WaitsOnlyAfterABang)
{
    CommandParser parser;
    EXPECT_TRUE(parser.timeOut().empty());
    // After each piece: whether a "!" waits for its deciding byte, and whether no text is in progress.
    const struct { const char* bytes; bool awaiting, idle; } steps[] = {
        {"", false, true}, {"!", true, false}, {"R", true, false}, {"\r", false, true}, {"!M3", false, false}};
    for (const auto& s : steps) {
        parser.feed(s.bytes);
        EXPECT_EQ(parser.awaitingFollower(), s.awaiting) << testing::PrintToString(s.bytes);
        EXPECT_EQ(parser.idle(), s.idle) << testing::PrintToString(s.bytes);
    }
    parser.clear();
    EXPECT_EQ(parser.feed("\r"), (Events{{Kind::Ignored, "\r"}}));
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
        {"1 2 3\n1 2\n", "line 2:"},     {"1 2 3 4\n", "line 1:"},   {"1 2 x\n", "line 1:"},
        {"# c\n1 2 3.5\n", "line 2:"},   {"1 2 16384\n", "line 1:"}, {"1 2 99999999999999999999\n", "line 1:"},
        {"1 2 +-3\n", "line 1:"},        {std::string("1 2\0 3\n", 7), "line 1:"},
        {"", "no motion lines"},         {"# only a comment\n\n", "no motion lines"},
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
        Motion angles = Motion::circle(rate);
        const int perTurn = static_cast<int>(std::lround(rate * Motion::kCircleSeconds));
        int lr = Motion::kCircleCounts;
        int ud = 0;
        bool moved = false;
        for (int i = 1; i <= 3 * perTurn; ++i) {
            const auto step = circle.next(TrackerMode::MouseEmulation);
            ASSERT_TRUE(step);
            ASSERT_NO_THROW(encodeMouseEmulation(step->lr, step->ud));
            moved = moved || step->lr != 0 || step->ud != 0;
            lr += step->lr;
            ud += step->ud;
            // The counts sent so far lead to the circle's point of this packet.
            const double angle = 2.0 * std::numbers::pi * (i % perTurn) / perTurn;
            ASSERT_EQ((Sample{static_cast<int>(std::lround(Motion::kCircleCounts * std::cos(angle))),
                              static_cast<int>(std::lround(Motion::kCircleCounts * std::sin(angle))), 0}),
                      (Sample{lr, ud, 0}))
                << rate << " " << i;
            const auto point = angles.next(TrackerMode::EulerAngle);
            ASSERT_TRUE(point);
            ASSERT_NEAR(std::hypot(point->lr, point->ud), Motion::kCircleRadius, 1.0);
        }
        EXPECT_TRUE(moved);
    }
    Motion still = Motion::still();
    EXPECT_EQ(still.next(TrackerMode::MouseEmulation), Sample{});
    EXPECT_EQ(still.next(TrackerMode::EulerAngle), Sample{});
}
