// The tracker simulator where a driver run does not take it: packets at their
// range ends and beyond, the driver's texts split, cut off or drowned in
// garbage, the log's escaping, motion scripts with odd or bad lines, clamping
// and the circle.
#include "tools/sim/HeadMotion.h"
#include "tools/sim/SimProtocol.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <stdexcept>

using namespace corvane::sim;

namespace {

using Kind = CommandParser::Event::Kind;

// Feeds the chunks in pieces of `piece` bytes; an empty chunk is a pause,
// shown as "~" when a "!" was waiting for it. The events as text: "<...>" a
// set-up command, "S" start, "!" stop, "R" reset, "{...}" ignored bytes
// (neighbours merged, so that how they were split does not matter).
std::string parse(const std::vector<std::string>& chunks, std::size_t piece)
{
    CommandParser parser;
    std::string text;
    for (const auto& chunk : chunks) {
        text += chunk.empty() && parser.awaitingFollower() ? "~" : "";
        for (std::size_t at = 0; at == 0 || at < chunk.size(); at += piece)
            for (const auto& e : chunk.empty() ? parser.timeOut() : parser.feed(chunk.substr(at, piece)))
                text += e.kind == Kind::SetUp   ? "<" + e.text + ">"
                      : e.kind == Kind::Ignored ? "{" + e.text + "}"
                      : e.kind == Kind::Start   ? "S"
                      : e.kind == Kind::Stop    ? "!"
                                                : "R";
    }
    for (std::size_t at = 0; (at = text.find("}{")) != std::string::npos;)
        text.erase(at, 2);
    return text;
}

} // namespace

TEST(Packets, RangeEndsLowerCaseAndOutOfRange)
{
    // clang-format off
    const struct { int lr, ud; const char* packet; } cases[] = {
        {128, 0, "C2 00 00\r"}, {-127, 0, "C2 01 00\r"}, {0, -128, "C8 00 00\r"}, {0, 127, "C8 00 01\r"},
        {-1, 5, "CF 3F 3B\r"}};
    // clang-format on
    for (const auto& c : cases)
        EXPECT_EQ(encodeMouseEmulation(c.lr, c.ud), c.packet) << c.lr << " " << c.ud;
    EXPECT_EQ(encodeMouseEmulation(-1, 5, HexCase::Lower), "cf 3f 3b\r");
    for (const auto& [lr, ud] : {std::pair{129, 0}, {-128, 0}, {0, 128}, {0, -129}})
        EXPECT_THROW(encodeMouseEmulation(lr, ud), std::out_of_range) << lr << " " << ud;
    // -16384, 16383 and -1 are sent as 0x8000, 0xFFFF and 0xBFFF; 0x80+0xFF+0xFF+0xBF+0xFF+0xFF = 0x53B.
    EXPECT_EQ(encodeEuler(-16384, 16383, -1), (EulerPacket{0x80, 0x00, 0xFF, 0xFF, 0xBF, 0xFF, 0x3B, 0xFF}));
    for (const auto& [lr, ud, ss] : {std::tuple{16384, 0, 0}, {0, -16385, 0}, {0, 0, 40000}})
        EXPECT_THROW(encodeEuler(lr, ud, ss), std::out_of_range) << lr << " " << ud << " " << ss;
    EXPECT_EQ(modeOfSetUp("!M4,0"), std::nullopt);
    EXPECT_EQ(escapeBytes(std::string("a \"\\\r\n\t\x01\x7F\xFF", 10)), "a \\\"\\\\\\r\\n\\t\\x01\\x7F\\xFF");
}

TEST(CommandParser, ReadsTheDriversTextsHoweverTheyArrive)
{
    const std::string endless = "!M3," + std::string(CommandParser::kMaxCommandLength, '1');
    // clang-format off
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"!M3,0,A,2,4,1,3\rS"}, "<!M3,0,A,2,4,1,3>S"}, {{"!M", "3,0,A,", "2,4,1,3", "\r"}, "<!M3,0,A,2,4,1,3>"},
        {{"!", "", ""}, "~!"}, {{"", "S"}, "S"}, {{"!\r"}, "!{\r}"}, {{"!", "R", "\rS"}, "RS"}, {{"!!R\r"}, "!R"},
        {{"!R", ""}, "~!{R}"}, {{"!RS"}, "!{R}S"}, {{std::string("x\0\xFF", 3), "S"}, std::string("{x\0\xFF}S", 6)},
        // A command cut off by the next "!" is lost and the next one counts; one that never ends is given
        // up and what follows is read afresh.
        {{"!M3,0!", ""}, "{!M3,0}~!"}, {{"!M3,0", "!M2,C\r"}, "{!M3,0}<!M2,C>"},
        {{endless, "1S"}, "{" + endless + "1}S"}};
    // clang-format on
    for (const auto& [chunks, events] : cases) {
        EXPECT_EQ(parse(chunks, std::string::npos), events) << testing::PrintToString(chunks);
        EXPECT_EQ(parse(chunks, 1), events) << "byte by byte: " << testing::PrintToString(chunks);
    }
    // Clearing (a new line speed, a vanished device) drops a text in progress.
    CommandParser parser;
    parser.feed("!M3,0");
    parser.clear();
    EXPECT_EQ(parser.feed("S"), (std::vector<CommandParser::Event>{{Kind::Start, ""}}));
}

TEST(MotionScript, SkipsCommentsNamesBadLinesAndIsClampedInMouseEmulation)
{
    const MotionScript script = parseMotionScript("# head\n300 -300 16383\n\n   # note\r\n-4\t+5  -16384\r\n");
    EXPECT_THAT(mouseEmulationRangeWarnings(script),
                testing::ElementsAre(testing::HasSubstr("line 2: 300 -300 is beyond")));
    HeadMotion motion = HeadMotion::script(script, false);
    EXPECT_EQ(motion.next(TrackerMode::MouseEmulation), (Sample{128, -128, 0}));
    EXPECT_EQ(motion.next(TrackerMode::EulerAngle), (Sample{-4, 5, -16384}));
    EXPECT_EQ(motion.next(TrackerMode::EulerAngle), (Sample{300, -300, 16383}));

    // clang-format off
    const std::pair<std::string, std::string> cases[] = {
        {"1 2 3\n1 2\n", "line 2: expected three"}, {"1 2 16384\n", "line 1: 16384 is outside"},
        {"# c\n1 2 3.5\n", "line 2: \"3.5\" is not a whole number: \"1 2 3.5\""},
        {"1 2 99999999999\n", "line 1: \"9999"}, {"1 2 +-3\n", "line 1: \"+-3\""},
        {std::string("1 2\0 3\n", 7), "line 1: \"2\\x00\""}, {"# only a comment\n\n", "no motion lines"},
        {"1 2 " + std::string(57, 'x'), "\"1 2 " + std::string(56, 'x') + "...\""}};
    // clang-format on
    for (const auto& c : cases)
        EXPECT_THAT([&] { parseMotionScript(c.first); },
                    testing::ThrowsMessage<std::invalid_argument>(testing::HasSubstr(c.second)));
}

TEST(HeadMotion, CircleCountsAddUpToTheCircle)
{
    const int perTurn = static_cast<int>(std::lround(3 * HeadMotion::kCircleSeconds)); // steps of up to 8 counts
    HeadMotion counts = HeadMotion::circle(3);
    Sample sum{HeadMotion::kCircleCounts, 0, 0};
    for (int i = 1; i <= 2 * perTurn; ++i) {
        const Sample step = counts.next(TrackerMode::MouseEmulation).value();
        sum = {sum.lr + step.lr, sum.ud + step.ud, step.ss};
        // The counts sent so far lead to the circle's point of this packet.
        const double angle = 2.0 * std::numbers::pi * (i % perTurn) / perTurn;
        ASSERT_EQ(sum, (Sample{static_cast<int>(std::lround(HeadMotion::kCircleCounts * std::cos(angle))),
                               static_cast<int>(std::lround(HeadMotion::kCircleCounts * std::sin(angle))), 0}))
            << i;
    }
}
