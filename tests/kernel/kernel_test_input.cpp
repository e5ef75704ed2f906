// The uinput output and the evdev key state on a real kernel: what the
// tracking cycle writes arrives at the device's node exactly, and keys typed
// on another keyboard are seen, taps and unplugging included.
#include "platform/EvdevKeyState.h"
#include "platform/UinputOutput.h"
#include "tests/kernel/KernelDevices.h"

#include "tests/support/EngineFixture.h"

#include <linux/input-event-codes.h>

namespace corvane {
namespace {

using kernel::DeviceReader;
using kernel::Millis;
using kernel::UserKeyboard;

struct Rig : test::EngineRig {
    // Tracking started in "Default Mouse Emulation" with the axes tuned, and
    // the pointer and the keys going to Corvane's real virtual devices.
    void startWithKernelDevices(std::initializer_list<const char*> tuning)
    {
        QString whyNot;
        devices = platform::createUinputDevices(&whyNot);
        ASSERT_TRUE(devices.pointer) << whyNot.toStdString();
        fakes.platform.pointer = std::make_unique<platform::UinputPointer>(devices.pointer);
        fakes.platform.keys = std::make_unique<platform::UinputKeyOutput>(devices.keyboard, devices.pointer, nullptr);
        startUp();
        engine.cycle();
        ASSERT_FALSE(accepted().isEmpty());
        tune(tuning);
        clickStart();
    }
    void feed(const QByteArray& bytes)
    {
        serial().receive(bytes);
        engine.cycle();
    }
    platform::UinputDevices devices;
};

TEST(KernelOutput, HeadMovementArrivesAsTheFramesTheMotionRulesGive)
{
    Rig rig;
    // Left-right doubled; up-down averaged over two cycles and halved.
    rig.startWithKernelDevices({"0", "20", "1", "5", "0", "10"});
    DeviceReader pointer(QStringLiteral("Corvane virtual pointer"));
    ASSERT_TRUE(pointer.isOpen());
    for (const char* bytes : {"C0 02 01 ", "", "", "C0 01 0", "1 "})
        rig.feed(bytes);
    // 40,-2 then 0,-2 (the last reading still averaged; no REL_X 0), nothing,
    // nothing (a packet cut short), then 20,-2.
    EXPECT_EQ(pointer.frames(4, Millis(500)).join(QStringLiteral(", ")),
              QStringLiteral("REL_X 40, REL_Y -2, SYN, REL_Y -2, SYN, REL_X 20, REL_Y -2, SYN"));
}

TEST(KernelOutput, MappedKeysAndButtonsArriveInOrderEachInItsOwnFrame)
{
    Rig rig;
    rig.startWithKernelDevices({"0", "10", "0", "10", "0", "10"});
    rig.ui().KeyMode_Combo->setText(QStringLiteral("Emulate Keys"));
    rig.profile().turnLeftKey = defaultFlightSimulator().turnLeftKey;
    rig.profile().turnRightKey = QStringLiteral("D001U001D002D004U004U002");
    rig.profile().lookUpKey = QStringLiteral("D065U065");
    DeviceReader keyboard(QStringLiteral("Corvane virtual keyboard"));
    DeviceReader pointer(QStringLiteral("Corvane virtual pointer"));
    ASSERT_TRUE(keyboard.isOpen() && pointer.isOpen());
    rig.feed("C3 3F 00 "); // -10 to the left
    EXPECT_EQ(keyboard.frames(4).join(QStringLiteral(", ")),
              QStringLiteral("KEY_LEFTSHIFT 1, SYN, KEY_DOT 1, SYN, KEY_DOT 0, SYN, KEY_LEFTSHIFT 0, SYN"));
    rig.feed("C0 02 01 "); // 20 to the right and 10 up
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
