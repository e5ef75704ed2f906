// The joystick on a real kernel: udev takes "Corvane head" for a joystick and
// joydev gives it a js node; the axes written arrive as written at jstest on
// that node and at a game's SDL2; the real program's axes follow the head as
// the rules of "Mouse Emulation" and "Euler Angle" say, come back to the
// centre at Stop, and the device goes when it is closed or the program ends.
#include "tests/e2e/E2eSupport.h"
#include "tests/kernel/KernelDevices.h"

#include "core/Choices.h"
#include "platform/UinputOutput.h"
#include "profiles/Profile.h"
#include "profiles/ProfileFile.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <linux/input-event-codes.h>
#include <signal.h>

#include <array>
#include <cmath>

namespace corvane::e2e {
namespace {

using namespace std::chrono_literals;
using Axes = std::array<int, 3>; // turn, pitch, lean

const QString kName = QString::fromLatin1(platform::kJoystickName);

// The rule: 8 × speed/10 axis units per unit of head movement.
int axisFor(int speed, double movement) { return static_cast<int>(std::lround(8.0 * speed / 10 * movement)); }
// One Mouse Emulation count is 10 of the decoder's movement units.
constexpr int kUnitsPerCount = 10;

// SDL (2.26, without SDL_LINUX_JOYSTICK_DEADZONES) stretches the device's
// range, -32767..32767, over its own, -32768..32767, in single precision as
// here: the ends come out as the ends, 0 and most small values as they are,
// and most negative ones one lower (-2000 as -2001).
int sdlValue(int v)
{
    const float scale = 65535.0f / 65534.0f;
    return static_cast<int>(std::floor(static_cast<float>(v + 32767) * scale - 32768.0f + 0.5f));
}

std::string text(const Axes& a)
{
    return std::to_string(a[0]) + " " + std::to_string(a[1]) + " " + std::to_string(a[2]);
}

// The js node that joydev made beside the event node `node`; empty when none.
QString jsNodeOf(const QString& node)
{
    const QDir device(QStringLiteral("/sys/class/input/%1/device").arg(QFileInfo(node).fileName()));
    for (const QString& entry : device.entryList({QStringLiteral("js*")}, QDir::Dirs)) {
        if (QFileInfo::exists(QStringLiteral("/dev/input/") + entry))
            return QStringLiteral("/dev/input/") + entry;
    }
    return {};
}

// udev's properties of the device with the event node `node`, once it has
// classified the device (it may still be at work when the node appears).
std::string udevProperties(const fs::path& folder, const QString& node)
{
    std::string properties;
    waitUntil(
        [&] {
            fs::remove(folder / "udev.txt");
            ChildProcess udevadm({"udevadm", "info", "--query=property", "--name=" + node.toStdString()}, folder,
                                 folder / "udev.txt");
            udevadm.waitForExit(10s);
            properties = readFile(folder / "udev.txt");
            return properties.find("ID_INPUT=1") != std::string::npos;
        },
        10s, 200ms);
    return properties;
}

// A reader of the joystick run as a child process, its output in a file:
// jstest --event on the js node, or our SDL reader on the joystick's name.
class AxisReader {
public:
    AxisReader(const fs::path& folder, bool sdl, const QString& jsNode)
        : output_(folder / (sdl ? "sdl.txt" : "jstest.txt")), sdl_(sdl),
          child_(sdl ? std::vector<std::string>{CORVANE_SDL_READER, kName.toStdString(), "300"}
                     : std::vector<std::string>{"jstest", "--event", jsNode.toStdString()},
                 folder, output_)
    {
    }
    std::string output() const { return readFile(output_); }
    // Whether it has opened the joystick within `within`.
    bool ready(Millis within)
    {
        const std::string opened = sdl_ ? "joystick " : "(interrupt to exit)";
        return waitUntil([&] { return output().find(opened) != std::string::npos; }, within);
    }
    // Waits until the axes, as the reader's events set them, come to `want`
    // (as the reader scales it) after the point where the last wait ended.
    ::testing::AssertionResult reaches(const Axes& want, Millis within = 20s)
    {
        Axes scaled = want;
        if (sdl_)
            scaled = {sdlValue(want[0]), sdlValue(want[1]), sdlValue(want[2])};
        bool there = false;
        waitUntil(
            [&] {
                const auto all = events();
                while (!there && next_ < all.size()) {
                    at_[static_cast<std::size_t>(all[next_].first)] = all[next_].second;
                    ++next_;
                    there = at_ == scaled;
                }
                return there;
            },
            within, 50ms);
        if (there)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
            << (sdl_ ? "SDL" : "jstest") << " never saw " << text(scaled) << "; it wrote:\n"
            << output();
    }
    // That no axis moves for `time`, once what came before it is read.
    ::testing::AssertionResult stays(Millis time)
    {
        const std::size_t before = events().size();
        if (waitUntil([&] { return events().size() != before; }, time, 50ms))
            return ::testing::AssertionFailure() << "an axis moved; the reader wrote:\n" << output();
        return ::testing::AssertionSuccess();
    }
    // Whether it ends within `within`, as it does when the joystick goes.
    bool ends(Millis within) { return child_.waitForExit(within); }

private:
    // The axis events so far, as axis number and value.
    std::vector<std::pair<int, int>> events() const
    {
        // jstest: "Event: type 2, time 1234, number 0, value -9600", the type
        // 0x80 more for the state read at the start, 1 for a button.
        static const QRegularExpression jstest(
            QStringLiteral("^Event: type (\\d+), time -?\\d+, number (\\d+), value (-?\\d+)$"),
            QRegularExpression::MultilineOption);
        static const QRegularExpression sdl(QStringLiteral("^axis ()(\\d+) (-?\\d+)$"),
                                            QRegularExpression::MultilineOption);
        std::vector<std::pair<int, int>> all;
        const QString lines = QString::fromStdString(output());
        for (const QRegularExpressionMatch& m : (sdl_ ? sdl : jstest).globalMatch(lines)) {
            if ((sdl_ || (m.captured(1).toInt() & 0x7f) == 2) && m.captured(2).toInt() < 3)
                all.emplace_back(m.captured(2).toInt(), m.captured(3).toInt());
        }
        return all;
    }

    fs::path output_;
    bool sdl_;
    ChildProcess child_;
    std::size_t next_ = 0;
    Axes at_{};
};

using JoystickTest = E2eTest;

TEST_F(JoystickTest, IsAJoystickToUdevJstestAndSdlAndGoesWhenClosed)
{
    platform::UinputJoystick joystick;
    ASSERT_EQ(joystick.open(), QString());
    QString node;
    ASSERT_TRUE(waitUntil([&] { return !(node = kernel::nodeNamed(kName)).isEmpty(); }, 5s));
    const std::string udev = udevProperties(folder, node);
    std::cout << "udev's properties of " << node.toStdString() << ":\n" << udev;
    EXPECT_NE(udev.find("ID_INPUT_JOYSTICK=1"), std::string::npos);
    // Nothing would take it for a pointing device and move the pointer by it.
    for (const char* other : {"ID_INPUT_MOUSE", "ID_INPUT_TABLET", "ID_INPUT_TOUCHPAD", "ID_INPUT_KEYBOARD"})
        EXPECT_EQ(udev.find(other), std::string::npos) << other;
    QString js;
    ASSERT_TRUE(waitUntil([&] { return !(js = jsNodeOf(node)).isEmpty(); }, 5s));

    AxisReader jstest(folder, false, js), sdl(folder, true, js);
    ASSERT_TRUE(jstest.ready(20s)) << jstest.output();
    ASSERT_TRUE(sdl.ready(20s)) << sdl.output();
    EXPECT_NE(jstest.output().find("Joystick (Corvane head) has 3 axes (X, Y, Z)\nand 4 buttons"), std::string::npos)
        << jstest.output();
    EXPECT_NE(sdl.output().find("joystick Corvane head: 3 axes, 4 buttons\n"), std::string::npos) << sdl.output();
    // Both ends of the range, and values about the centre.
    const Axes moves[] = {{1000, -2000, 0}, {1000, 32767, -32767}, {-1, 0, 5}, {-700, 1, -1}};
    for (const Axes& axes : moves) {
        joystick.move({axes[0], axes[1], axes[2]});
        EXPECT_TRUE(jstest.reaches(axes));
        EXPECT_TRUE(sdl.reaches(axes));
    }
    joystick.close();
    EXPECT_TRUE(jstest.reaches({0, 0, 0}));
    EXPECT_TRUE(sdl.reaches({0, 0, 0}));
    EXPECT_TRUE(jstest.ends(5s) && sdl.ends(5s));
    EXPECT_NE(sdl.output().find("gone\n"), std::string::npos);
    EXPECT_TRUE(kernel::nodeNamed(kName).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(js));
    std::cout << "jstest:\n" << jstest.output() << "SDL:\n" << sdl.output();
}

// The real program with the simulator, a profile of mouse mode "Joystick" at
// speed 10 and no smoothing chosen, and the joystick read as above.
class JoystickProgramTest : public E2eTest {
protected:
    // Starts the program with `profile` (the others are the defaults) and the
    // simulator playing `script` once, then tracking with the global `keys`.
    void start(Profile profile, const std::string& script, const std::vector<int>& keys)
    {
        profile.mouseMode = kJoystick;
        profile.leftRightSpeed = profile.upDownSpeed = profile.sideSideSpeed = kSpeed;
        profile.leftRightSmooth = profile.upDownSmooth = profile.sideSideSmooth = 0;
        QByteArray profiles = profileLine(profile);
        for (const Profile& other : {defaultMouseEmulation(), defaultEulerAngle(), defaultFlightSimulator()}) {
            if (other.name != profile.name)
                profiles += profileLine(other);
        }
        writeFile(folder / "Profiles1.2.dat", profiles.toStdString());
        writeFile(folder / "LastProfile1.2.dat", "\"" + profile.name.toStdString() + "\"\r\n");
        writeFile(folder / "script.txt", script);
        blockPorts({2, 3, 4});
        sim.emplace(folder, folder / "com1",
                    std::vector<std::string>{"--motion", "script:" + (folder / "script.txt").string(), "--once"});
        fs::copy_file(CORVANE_KERNEL_PROGRAM, folder / "corvane");
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        corvane.emplace(
            std::vector<std::string>{(folder / "corvane").string(), "--output", "uinput", "--keys", "evdev"}, folder,
            folder / "corvane.log");
        const std::string mode = profile.mode == kEulerAngle ? "mode=euler-angle" : "mode=mouse-emulation";
        ASSERT_TRUE(sim->status(mode, 20s)) << corvane->howItEnded();
        // The joystick is there while its mouse mode is chosen, tracking or not.
        QString node;
        ASSERT_TRUE(waitUntil([&] { return !(node = kernel::nodeNamed(kName)).isEmpty(); }, 10s));
        QString js;
        ASSERT_TRUE(waitUntil([&] { return !(js = jsNodeOf(node)).isEmpty(); }, 5s));
        jstest.emplace(folder, false, js);
        sdl.emplace(folder, true, js);
        ASSERT_TRUE(jstest->ready(20s) && sdl->ready(20s)) << jstest->output() << sdl->output();
        ASSERT_TRUE(press(keys, [&] { return bool(sim->status("streaming=yes", 10s)); }));
    }
    // Holds `keys` down on the user's keyboard until `done`.
    bool press(const std::vector<int>& keys, const std::function<bool()>& done)
    {
        for (int key : keys)
            user.press(key);
        const bool did = done();
        for (auto key = keys.rbegin(); key != keys.rend(); ++key)
            user.release(*key);
        return did;
    }
    // The global keys once more, more than two seconds after the start so
    // that they count, stop tracking: the axes come back to the centre. Then
    // the program, asked to end, takes the joystick away.
    void stopAndEnd(const std::vector<int>& keys)
    {
        EXPECT_TRUE(press(keys, [&] { return bool(jstest->reaches({0, 0, 0})); }));
        EXPECT_TRUE(sdl->reaches({0, 0, 0}));
        EXPECT_GT(sim->record().rfind('!'), sim->record().rfind('S'));
        kill(corvane->pid(), SIGTERM);
        ASSERT_TRUE(corvane->waitForExit(10s));
        EXPECT_EQ(corvane->exitStatus(), 0);
        EXPECT_TRUE(kernel::nodeNamed(kName).isEmpty());
        EXPECT_TRUE(jstest->ends(5s) && sdl->ends(5s));
    }

    static constexpr int kSpeed = 10;
    kernel::UserKeyboard user;
    std::optional<Simulator> sim;
    std::optional<ChildProcess> corvane;
    std::optional<AxisReader> jstest, sdl;
};

TEST_F(JoystickProgramTest, MouseEmulationAddsTheMovementsSinceTheStart)
{
    // Still, 40 counts of 3 to the left, still, 50 of 2 up, still.
    const int left = 40 * -3, up = 50 * -2;
    start(defaultMouseEmulation(),
          repeated("0 0 0", 60) + repeated("-3 0 0", 40) + repeated("0 0 0", 60) + repeated("0 -2 0", 50)
              + repeated("0 0 0", 120),
          {KEY_LEFTCTRL, KEY_RIGHTCTRL, KEY_S});
    const Axes turned = {axisFor(kSpeed, left * kUnitsPerCount), 0, 0};
    const Axes raised = {turned[0], axisFor(kSpeed, up * kUnitsPerCount), 0};
    for (const Axes& axes : {turned, raised}) {
        EXPECT_TRUE(jstest->reaches(axes));
        EXPECT_TRUE(sdl->reaches(axes));
        std::cout << "Mouse Emulation: predicted " << text(axes) << "\n";
    }
    stopAndEnd({KEY_LEFTCTRL, KEY_RIGHTCTRL, KEY_S});
    std::cout << "jstest:\n" << jstest->output() << "SDL:\n" << sdl->output();
}

TEST_F(JoystickProgramTest, EulerAngleFollowsTheAnglesFromTheFirstReadingAndHoldsWithoutPackets)
{
    // Two seconds at the centre, then a turn, then a look up and a lean, then
    // the other way past the centre; each held two seconds, the last until
    // the simulator stops sending.
    const Axes centre = {300, -200, 100};
    const Axes angles[] = {{1500, -200, 100}, {1500, 800, 700}, {-700, -1700, -1100}};
    std::string script = repeated(text(centre), 120);
    for (const Axes& a : angles)
        script += repeated(text(a), 120);
    start(defaultEulerAngle(), script, {KEY_LEFTCTRL, KEY_LEFTALT, KEY_S});
    for (const Axes& a : angles) {
        // An angle growing to the left, up or to the left side moves the axis that way: negative.
        const Axes axes = {axisFor(kSpeed, centre[0] - a[0]), axisFor(kSpeed, centre[1] - a[1]),
                           axisFor(kSpeed, centre[2] - a[2])};
        EXPECT_TRUE(jstest->reaches(axes));
        EXPECT_TRUE(sdl->reaches(axes));
        std::cout << "Euler Angle: predicted " << text(axes) << "\n";
    }
    // The simulator has sent its last packet: the axes hold.
    ASSERT_TRUE(waitUntil([&] { return countOf(readFile(folder / "sim.log"), "motion script finished") == 1; }, 20s));
    EXPECT_TRUE(jstest->stays(1500ms));
    stopAndEnd({KEY_LEFTCTRL, KEY_LEFTALT, KEY_S});
    std::cout << "jstest:\n" << jstest->output() << "SDL:\n" << sdl->output();
}

} // namespace
} // namespace corvane::e2e
