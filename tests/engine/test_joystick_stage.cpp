// The joystick's axes from the head's position: the centre, the sum of
// movements held within the range, angles relative to the centre, speed,
// smoothing, and directions that keys take.
#include "core/Choices.h"
#include "engine/JoystickStage.h"

#include <gtest/gtest.h>

#include <vector>

namespace corvane {
namespace {

struct Cycle {
    MovementValues decoded;
    JoystickAxes axes;
};

Profile tuned(const QString& mode, qint32 speed, qint32 smoothing)
{
    Profile p;
    p.mode = mode;
    p.leftRightSpeed = p.upDownSpeed = p.sideSideSpeed = speed;
    p.leftRightSmooth = p.upDownSmooth = p.sideSideSmooth = smoothing;
    return p;
}

std::string text(const JoystickAxes& a)
{
    return std::to_string(a.turn) + " " + std::to_string(a.pitch) + " " + std::to_string(a.lean);
}

// Each table's cycles in turn through one stage: decoded values in, axes out.
TEST(JoystickStage, AxesFollowTheHeadsPositionSinceTheCentre)
{
    const struct {
        const char* name;
        Profile profile;
        std::vector<Cycle> cycles;
    } tables[] = {
        // Movements add up (8 axis units for one at speed 10), and the sum is
        // held at the range's end, so that turning back moves at once.
        {"sum and range", tuned(kMouseEmulation, 10, 0),
         {{{-400, 0, 0}, {-3200, 0, 0}},
          {{-400, -100, 0}, {-6400, -800, 0}},
          {{}, {-6400, -800, 0}},
          {{1280, 0, 0}, {3840, -800, 0}},
          {{1280 * 3, 0, 0}, {32767, -800, 0}},
          {{-1000, 0, 0}, {24767, -800, 0}}}},
        // Speed 20 doubles, speed 0 turns the axis off.
        {"speed", [] {
             Profile p = tuned(kMouseEmulation, 20, 0);
             p.upDownSpeed = 0;
             return p;
         }(),
         {{{-10, 30, 0}, {-160, 0, 0}}, {{15, 30, 0}, {80, 0, 0}}}},
        // Smoothing 2: the mean of this cycle's position and the two before,
        // from the centre on.
        {"smoothing", tuned(kMouseEmulation, 10, 2),
         {{{300, 0, 0}, {800, 0, 0}}, {{}, {1600, 0, 0}}, {{}, {2400, 0, 0}}, {{-300, 0, 0}, {1600, 0, 0}}}},
        // Angles: the first reading is the centre; the axes go the pointer's
        // way, so an angle growing to the left is negative. A cycle without a
        // reading holds them.
        {"angles", tuned(kEulerAngle, 10, 0),
         {{{}, {0, 0, 0}},
          {{100, -50, 7}, {0, 0, 0}},
          {{90, -40, 3}, {80, -80, 32}},
          {{}, {80, -80, 32}},
          {{120, -50, 7}, {-160, 0, 0}},
          {{-16000, 0, 1}, {32767, -400, 48}}}},
        // Another tracker mode than the two moves nothing.
        {"other mode", tuned(QStringLiteral("Other"), 10, 0), {{{100, 100, 100}, {0, 0, 0}}}},
    };
    for (const auto& table : tables) {
        JoystickStage stage;
        for (std::size_t i = 0; i < table.cycles.size(); ++i) {
            SCOPED_TRACE(std::string(table.name) + ", cycle " + std::to_string(i + 1));
            EXPECT_EQ(text(stage.step(table.cycles[i].decoded, table.profile, kDisabled, false)),
                      text(table.cycles[i].axes));
        }
    }
}

// Re-centring, by Start or by another tracker mode, makes the next reading
// straight ahead and forgets the smoothing's past.
TEST(JoystickStage, ReCentringStartsAfreshFromTheHeadsPositionThen)
{
    JoystickStage stage;
    Profile euler = tuned(kEulerAngle, 10, 1);
    stage.step({100, 100, 0}, euler, kDisabled, false);
    EXPECT_EQ(text(stage.step({90, 100, 0}, euler, kDisabled, false)), "40 0 0");
    stage.recentre();
    EXPECT_EQ(text(stage.step({90, 100, 0}, euler, kDisabled, false)), "0 0 0");
    EXPECT_EQ(text(stage.step({80, 100, 0}, euler, kDisabled, false)), "40 0 0");

    Profile movements = tuned(kMouseEmulation, 10, 0);
    EXPECT_EQ(text(stage.step({10, 0, 0}, movements, kDisabled, false)), "80 0 0");
    euler.leftRightSmooth = 0;
    EXPECT_EQ(text(stage.step({500, 100, 0}, euler, kDisabled, false)), "0 0 0");
    EXPECT_EQ(text(stage.step({490, 100, 0}, euler, kDisabled, false)), "80 0 0");
}

// While the key mode is on, a direction mapped to keys leaves its axis at the
// centre while the head is to that side; a key recording leaves turn and
// pitch there.
TEST(JoystickStage, KeysWinTheirDirections)
{
    Profile p = tuned(kEulerAngle, 10, 0);
    p.turnLeftKey = QStringLiteral("D037U037");
    p.lookDownKey = QStringLiteral("D040U040");
    p.leanRightKey = QStringLiteral("D039U039");
    const struct {
        QString keyMode;
        bool recording;
        MovementValues decoded;
        const char* axes;
    } rows[] = {
        {kEmulateKeys, false, {10, -10, -10}, "0 0 0"},
        {kEmulateKeys, false, {-10, 10, 10}, "80 -80 -80"},
        {kDisabled, false, {10, -10, -10}, "-80 80 80"},
        {kSendKeys, true, {-10, 10, 10}, "0 0 -80"},
        {kDisabled, true, {-10, 10, 10}, "80 -80 -80"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.keyMode.toStdString() + (row.recording ? ", recording" : ""));
        JoystickStage stage;
        // The centre, then the reading: angles growing to the left move left.
        stage.step({20, 20, 20}, p, row.keyMode, row.recording);
        const MovementValues at{20 + row.decoded.leftRight, 20 + row.decoded.upDown, 20 + row.decoded.sideSide};
        EXPECT_EQ(text(stage.step(at, p, row.keyMode, row.recording)), row.axes);
    }
}

} // namespace
} // namespace corvane
