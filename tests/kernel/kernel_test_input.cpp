// The uinput output and the evdev key state on a real kernel: the keys and
// buttons the tracking cycle presses arrive at the devices' nodes exactly, as
// the kernel passes on only what a device declares, and keys typed on another
// keyboard are seen, taps and unplugging included.
#include "platform/EvdevKeyState.h"
#include "platform/UinputOutput.h"
#include "tests/kernel/KernelDevices.h"

#include "tests/support/EngineFixture.h"

#include <linux/input-event-codes.h>

namespace corvane {
namespace {

using kernel::DeviceReader;
using kernel::UserKeyboard;

TEST(KernelOutput, MappedKeysAndButtonsArriveInOrderEachInItsOwnFrame)
{
    // Tracking started in "Default Mouse Emulation", the pointer and the keys
    // going to Corvane's real virtual devices.
    test::EngineRig rig;
    QString whyNot;
    const platform::UinputDevices devices = platform::createUinputDevices(&whyNot);
    ASSERT_TRUE(devices.pointer) << whyNot.toStdString();
    rig.fakes.platform.pointer = std::make_unique<platform::UinputPointer>(devices.pointer);
    rig.fakes.platform.keys = std::make_unique<platform::UinputKeyOutput>(devices.keyboard, devices.pointer, nullptr);
    rig.startUp();
    rig.cycle();
    ASSERT_FALSE(rig.accepted().isEmpty());
    rig.tune({"0", "10", "0", "10", "0", "10"});
    rig.clickStart();
    rig.ui().KeyMode_Combo->setText(QStringLiteral("Emulate Keys"));
    rig.profile().turnLeftKey = defaultFlightSimulator().turnLeftKey;
    rig.profile().turnRightKey = QStringLiteral("D001U001D002D004U004U002");
    rig.profile().lookUpKey = QStringLiteral("D065U065");
    DeviceReader keyboard(QStringLiteral("Corvane virtual keyboard"));
    DeviceReader pointer(QStringLiteral("Corvane virtual pointer"));
    ASSERT_TRUE(keyboard.isOpen() && pointer.isOpen());
    rig.serial().receive("C3 3F 00 "); // -10 to the left
    rig.cycle();
    EXPECT_EQ(keyboard.frames(4).join(QStringLiteral(", ")),
              QStringLiteral("KEY_LEFTSHIFT 1, SYN, KEY_DOT 1, SYN, KEY_DOT 0, SYN, KEY_LEFTSHIFT 0, SYN"));
    rig.serial().receive("C0 02 01 "); // 20 to the right and 10 up
    rig.cycle();
    EXPECT_EQ(keyboard.frames(2).join(QStringLiteral(", ")), QStringLiteral("KEY_A 1, SYN, KEY_A 0, SYN"));
    EXPECT_EQ(pointer.frames(6).join(QStringLiteral(", ")),
              QStringLiteral("BTN_LEFT 1, SYN, BTN_LEFT 0, SYN, BTN_RIGHT 1, SYN, BTN_MIDDLE 1, SYN, "
                             "BTN_MIDDLE 0, SYN, BTN_RIGHT 0, SYN"));
}

TEST(KernelKeyState, SeesTheUsersKeyboardWithTapsAndUnplugging)
{
    // The machine's own keyboards, if it has any, stay open throughout; the
    // user's is there before the key state starts.
    QString none;
    const int others = platform::countReadableKeyboards(QStringLiteral("/dev/input"), &none);
    auto user = std::make_unique<UserKeyboard>();
    platform::EvdevKeyState state;
    ASSERT_EQ(state.keyboardsOpen(), others + 1);
    auto downNow = [&](std::initializer_list<int> codes) {
        state.snapshot();
        QStringList down;
        for (int code : codes) {
            if (state.isDown(code))
                down << QString::number(code);
        }
        return down.join(QLatin1Char(' '));
    };
    // 51 is the key "3", whose kernel code is the scan-code event's (MSC_SCAN 4).
    const std::initializer_list<int> watched = {16, 17, 51, 65, 83, 160, 162, 163};
    user->press(KEY_LEFTCTRL);
    user->press(KEY_RIGHTCTRL);
    user->tap(KEY_S);
    EXPECT_EQ(downNow(watched), QStringLiteral("17 83 162 163"));
    // The tap counted once; the held keys stay down.
    EXPECT_EQ(downNow(watched), QStringLiteral("17 162 163"));
    user->release(KEY_LEFTCTRL);
    user->release(KEY_RIGHTCTRL);
    user->press(KEY_LEFTSHIFT);
    EXPECT_EQ(downNow(watched), QStringLiteral("16 160"));

    // Unplugged with Shift held: the snapshot finds it gone, and nothing
    // stays down.
    user.reset();
    EXPECT_EQ(downNow(watched), QString());
    EXPECT_EQ(state.keyboardsOpen(), others);
    // Plugged in again, it is picked up; unplugged again, it is let go
    // without a snapshot.
    user = std::make_unique<UserKeyboard>();
    ASSERT_TRUE(kernel::processUntil([&] { return state.keyboardsOpen() == others + 1; }));
    user->tap(KEY_A);
    EXPECT_EQ(downNow(watched), QStringLiteral("65"));
    user.reset();
    EXPECT_TRUE(kernel::processUntil([&] { return state.keyboardsOpen() == others; }));
}

} // namespace
} // namespace corvane
