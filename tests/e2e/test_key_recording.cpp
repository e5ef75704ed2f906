// Recordings of keys typed one after another, however the polls fall among
// the strokes, against recordings that no typing of those keys gives.
#include "tests/e2e/KeyRecording.h"

#include <gtest/gtest.h>

namespace corvane::e2e {
namespace {

struct Case {
    std::vector<int> typed;
    const char* recorded;
    bool right;
};

const Case kCases[] = {
    {{121, 122}, "D121U121D122U122", true}, // a poll between every two strokes
    {{121, 122}, "D121D122U121U122", true}, // the second pressed before the poll that finds the first up
    {{123, 44}, "D044D123U044U123", true},  // both between two polls: each group in code order
    {{123, 44}, "D123D044U123U044", true},
    {{66, 65, 67}, "D065D066U066D067U065U067", true},  // the second still held at the poll after
    {{121, 122}, "D122U122D121U121", false},           // out of typed order
    {{121, 122}, "D121U121", false},                   // a key missing
    {{121, 122}, "D121U121D122U122D122U122", false},   // a key twice
    {{121, 122}, "D121U121D123U123", false},           // a wrong code
    {{121, 122}, "D121D122U121", false},               // a key left down
    {{121, 122}, "D121D122U122U121", false},           // the ups of one poll out of code order
    {{66, 65, 67}, "D065D066U065D067U065U067", false}, // one key up twice, the held one never
    {{123, 44}, "D123D044U044U123", false},            // the later key up before the earlier
};

TEST(KeyRecording, AcceptsEveryWayThePollsFallAmongTheStrokesAndNothingElse)
{
    for (const Case& c : kCases)
        EXPECT_EQ(isRecordingOf(c.recorded, c.typed), c.right) << c.recorded;
}

TEST(KeyRecording, RefusesALongRecordingOfOverlapsAtOnce)
{
    // Pairs of keys that each fell into one poll, or into two: 2^40 ways.
    std::vector<int> typed;
    std::string recorded;
    for (int code = 100; code < 180; code += 2) {
        typed.insert(typed.end(), {code, code + 1});
        recorded += "D" + std::to_string(code) + "D" + std::to_string(code + 1);
        recorded += "U" + std::to_string(code) + "U" + std::to_string(code + 1);
    }
    EXPECT_TRUE(isRecordingOf(recorded, typed));
    EXPECT_FALSE(isRecordingOf(recorded.substr(0, recorded.size() - 4), typed));
}

} // namespace
} // namespace corvane::e2e
