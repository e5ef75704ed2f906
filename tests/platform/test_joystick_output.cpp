// The joystick's kernel events over a recording device: one frame per move
// holding only the axes that changed, nothing when none did, the centre and
// then the device's removal at the close, one device however often it is
// opened, and nothing at all when the device was refused.
#include "platform/UinputOutput.h"
#include "platform/fakes/Fakes.h"

#include <gtest/gtest.h>

#include <vector>

using namespace corvane;
using namespace corvane::platform;

namespace {

TEST(UinputJoystick, WritesOneFrameOfTheChangedAxesPerMoveAndCentresBeforeTheDeviceGoes)
{
    const QString refused = QStringLiteral("/dev/uinput cannot be opened for writing (Permission denied)");
    // Each case opens the joystick twice, moves it, and closes it (or leaves
    // that to its end) before moving it once more.
    // clang-format off
    const struct { const char* what; bool refuse; std::vector<JoystickAxes> moves; bool close; const char* log; } cases[] = {
        {"only the axes that changed", false, {{100, -200, 0}, {100, -250, 3}, {7, -250, 3}}, true,
         "made, ABS_X 100, ABS_Y -200, SYN, ABS_Y -250, ABS_Z 3, SYN, ABS_X 7, SYN, "
         "ABS_X 0, ABS_Y 0, ABS_Z 0, SYN, removed"},
        {"nothing when nothing changed", false, {{0, 0, 0}, {0, 0, -5}, {0, 0, -5}, {0, 0, 0}}, true,
         "made, ABS_Z -5, SYN, ABS_Z 0, SYN, removed"},
        {"the ends of the range, closed at the end", false, {{-32767, 32767, 1}}, false,
         "made, ABS_X -32767, ABS_Y 32767, ABS_Z 1, SYN, ABS_X 0, ABS_Y 0, ABS_Z 0, SYN, removed"},
        {"refused", true, {{1, 2, 3}}, true, "refused, refused"},
    };
    // clang-format on
    for (const auto& c : cases) {
        fakes::Log log;
        {
            UinputJoystick joystick([&](QString* whyNot) -> std::shared_ptr<InputDevice> {
                log.add(c.refuse ? QStringLiteral("refused") : QStringLiteral("made"));
                if (c.refuse) {
                    *whyNot = refused;
                    return nullptr;
                }
                return {new fakes::RecordingInputDevice(log), [&](InputDevice* device) {
                            log.add(QStringLiteral("removed"));
                            delete device;
                        }};
            });
            for (int i = 0; i < 2; ++i)
                EXPECT_EQ(joystick.open(), c.refuse ? refused : QString()) << c.what;
            for (const JoystickAxes& axes : c.moves)
                joystick.move(axes);
            if (c.close) {
                joystick.close();
                joystick.move({1, 1, 1});
            }
        }
        EXPECT_EQ(log.joined(), QLatin1String(c.log)) << c.what;
    }
}

} // namespace
