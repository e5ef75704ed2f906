// The real program on a real kernel, with no window system at all: the global
// keys pressed on the user's keyboard start tracking, the head's motion
// arrives at Corvane's virtual devices, and when the program ends nothing it
// pressed stays down and its devices are gone.
#include "tests/e2e/E2eSupport.h"
#include "tests/kernel/KernelDevices.h"

#include "profiles/Profile.h"
#include "profiles/ProfileFile.h"

#include <QRegularExpression>

#include <linux/input-event-codes.h>
#include <signal.h>

#include <thread>

namespace corvane::e2e {
namespace {

using namespace std::chrono_literals;

bool holds(const QStringList& events, const QString& event) { return events.contains(event); }

using ProgramTest = E2eTest;

TEST_F(ProgramTest, GlobalKeysStartTrackingAndTheEndLeavesNothingHeld)
{
    // "Default Mouse Emulation" sending keys for a turn to the left, and
    // leaving Shift down; up and down still move the pointer.
    Profile profile = defaultMouseEmulation();
    profile.keyMode = QStringLiteral("Emulate Keys");
    profile.turnLeftKey = QStringLiteral("D160D190U190");
    QByteArray profiles = profileLine(defaultFlightSimulator()) + profileLine(defaultEulerAngle())
                        + profileLine(profile);
    writeFile(folder / "Profiles1.2.dat", profiles.toStdString());
    writeFile(folder / "LastProfile1.2.dat", "\"Default Mouse Emulation\"\r\n");
    // A second still, then a second of turning left and up, then still.
    writeFile(folder / "script.txt", repeated("0 0 0", 60) + repeated("-40 -30 0", 60) + repeated("0 0 0", 600));
    blockPorts({2, 3, 4});
    Simulator sim(folder, folder / "com1", {"--motion", "script:" + (folder / "script.txt").string(), "--once"});
    fs::copy_file(CORVANE_KERNEL_PROGRAM, folder / "corvane");
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ChildProcess corvane({(folder / "corvane").string(), "--output", "uinput", "--keys", "evdev"}, folder,
                         folder / "corvane.log");
    ASSERT_TRUE(sim.status("mode=mouse-emulation", 10s)) << corvane.howItEnded();
    kernel::DeviceReader keys(QStringLiteral("Corvane virtual keyboard"));
    kernel::DeviceReader pointer(QStringLiteral("Corvane virtual pointer"));
    ASSERT_TRUE(keys.isOpen() && pointer.isOpen());

    // Left Ctrl, right Ctrl and S on the user's keyboard, held until tracking starts.
    kernel::UserKeyboard user;
    std::this_thread::sleep_for(300ms);
    for (int key : {KEY_LEFTCTRL, KEY_RIGHTCTRL, KEY_S})
        user.press(key);
    EXPECT_TRUE(sim.status("streaming=yes", 5s));
    for (int key : {KEY_S, KEY_RIGHTCTRL, KEY_LEFTCTRL})
        user.release(key);
    EXPECT_NE(sim.record().find('S'), std::string::npos);

    const QStringList moved = pointer.frames(5, 5000ms);
    EXPECT_TRUE(std::any_of(moved.begin(), moved.end(), [](const QString& e) {
        return e.startsWith(QLatin1String("REL_Y -"));
    })) << moved.join(QStringLiteral(", ")).toStdString();
    QStringList pressed = keys.frames(3, 5000ms);
    ASSERT_TRUE(holds(pressed, QStringLiteral("KEY_LEFTSHIFT 1"))) << pressed.join(QStringLiteral(", ")).toStdString();

    // Asked to end, as by a desktop's log-out: Shift goes up, then the devices go.
    kill(corvane.pid(), SIGTERM);
    QStringList rest;
    EXPECT_TRUE(keys.untilGone(10s, &rest));
    pressed += rest;
    ASSERT_TRUE(corvane.waitForExit(10s));
    EXPECT_EQ(corvane.exitStatus(), 0);
    EXPECT_EQ(pressed.lastIndexOf(QRegularExpression(QStringLiteral("KEY_LEFTSHIFT [12]")))
                  < pressed.lastIndexOf(QStringLiteral("KEY_LEFTSHIFT 0")),
              true)
        << pressed.join(QStringLiteral(", ")).toStdString();
    EXPECT_TRUE(kernel::nodeNamed(QStringLiteral("Corvane virtual pointer")).isEmpty());
    EXPECT_TRUE(kernel::nodeNamed(QStringLiteral("Corvane virtual keyboard")).isEmpty());
}

} // namespace
} // namespace corvane::e2e
