// The keyboard of the real program as a user meets it: the global start/stop
// keys, a recording that goes on while another program has the focus, and
// the keymap left as it was found. Keys are typed with xdotool; the keys the
// program sends are heard as XInput2 raw events. The keys of every layout,
// recorded, saved and played back by a head turn: test_e2e_layouts.cpp.
#include "tests/e2e/E2eSupport.h"

#include "profiles/Profile.h"
#include "profiles/ProfileFile.h"

#include <chrono>
#include <cstdlib>
#include <thread>

namespace corvane::e2e {
namespace {

using namespace std::chrono_literals;

const std::string kFlightSimulator = "\"Default Flight Simulator\"\r\n";
// What the program writes to set the tracker up for "Default Flight
// Simulator", up to the stop that ends the set-up. A click on Start before
// that ends starts the stream while the set-up still waits for the line to
// fall silent, which it then never does.
const std::string kFlightSimulatorSetUp = "!!!M3,0,A,3,4,1,2\r!";

using KeysTest = E2eTest;

TEST_F(KeysTest, GlobalKeysStartAndStopTrackingTwoSecondsApart)
{
    blockPorts({2, 3, 4});
    Simulator sim(folder, folder / "com1");
    Corvane corvane(folder);
    // "Default Mouse Emulation", stopped; its start and stop keys are left
    // Ctrl + right Ctrl + S.
    const std::string setUp = "!!!M3,0,A,2,4,1,3\r!";
    ASSERT_TRUE(sim.recordBecomes(setUp, 10s));
    // The keys stay down until the toggle is on the wire, for several polls.
    const auto hold = [&](const std::string& bytes) {
        xdotool("keydown Control_L Control_R s");
        auto toggled = sim.recordBecomes(bytes, 5s);
        xdotool("keyup s Control_R Control_L");
        return toggled;
    };
    ASSERT_TRUE(hold(setUp + "S"));
    // Past the two seconds between toggles: keys still seen down would have
    // stopped tracking by now.
    std::this_thread::sleep_for(2100ms);
    EXPECT_EQ(sim.record(), setUp + "S");
    EXPECT_TRUE(hold(setUp + "S!"));
    EXPECT_EQ(corvane.close(), 0);
}

TEST_F(KeysTest, ARecordingGoesOnWhileAnotherProgramHasTheFocus)
{
    writeFile(folder / "LastProfile1.2.dat", kFlightSimulator);
    blockPorts({2, 3, 4});
    Simulator sim(folder, folder / "com1");
    Corvane corvane(folder);
    OtherWindow other("-0-0");
    corvane.takeFocus();
    corvane.showKeyboardSettings();
    corvane.clickMapping(1);
    other.takeFocus();
    xdotool("sleep 0.2 key a sleep 0.2");
    corvane.takeFocus();
    xdotool("sleep 0.2 key b sleep 0.2");
    corvane.clickMapping(1);
    corvane.save();
    const std::string turnRight = R"("Emulate Keys","D160D190U190U160","D065U065D066U066",)";
    const auto saved = [&] { return readFile(folder / "Profiles1.2.dat").find(turnRight) != std::string::npos; };
    EXPECT_TRUE(waitUntil(saved, 5s)) << readFile(folder / "Profiles1.2.dat");
    EXPECT_EQ(corvane.close(), 0);
}

// The server's keymap as xkbcomp writes it.
std::string keymapNow(const fs::path& folder)
{
    // A child's output file is appended to: a fresh one each time.
    fs::remove(folder / "keymap.xkb");
    ChildProcess xkbcomp({"xkbcomp", "-xkb", std::getenv("DISPLAY"), "-"}, folder, folder / "keymap.xkb",
                         folder / "xkbcomp.log");
    if (!xkbcomp.waitForExit(10s) || xkbcomp.exitStatus() != 0)
        throw std::runtime_error("xkbcomp: " + xkbcomp.howItEnded());
    return readFile(folder / "keymap.xkb");
}

TEST_F(KeysTest, KeycodesBoundForKeysTheKeymapLacksAreGivenBackAtTheEnd)
{
    // Turn Left holds Select down, a key the keymap lacks: it goes down on a
    // spare keycode, bound to it while the key is down, that is up to the end.
    Profile flight = defaultFlightSimulator();
    flight.turnLeftKey = QStringLiteral("D041");
    writeFile(
        folder / "Profiles1.2.dat",
        (profileLine(flight) + profileLine(defaultEulerAngle()) + profileLine(defaultMouseEmulation())).toStdString());
    writeFile(folder / "LastProfile1.2.dat", kFlightSimulator);
    writeFile(folder / "script.txt", repeated("0 0 0", 30) + repeated("-5 0 0", 10) + repeated("0 0 0", 30));
    blockPorts({2, 3, 4});
    for (const auto end : {&Corvane::close, &Corvane::terminate}) {
        SCOPED_TRACE(end == &Corvane::close ? "closed" : "ended by SIGTERM");
        const std::string before = keymapNow(folder);
        Simulator sim(folder, folder / "com1", {"--motion", "script:" + (folder / "script.txt").string(), "--once"});
        Corvane corvane(folder);
        ASSERT_TRUE(sim.recordBecomes(kFlightSimulatorSetUp, 10s));
        KeyListener keys;
        corvane.clickStart();
        ASSERT_TRUE(waitUntil([&] { return !keys.heard().empty(); }, 10s));
        EXPECT_EQ(keys.heard().front(), "+Select");
        EXPECT_TRUE(keymapNow(folder) != before) << "no spare keycode was bound";
        EXPECT_EQ((corvane.*end)(), 0);
        EXPECT_TRUE(keymapNow(folder) == before) << "the keymap stays changed";
        // Either end stops and resets the tracker as well.
        EXPECT_TRUE(sim.recordBecomes(kFlightSimulatorSetUp + "S!!R\r", 3s));
    }
}

} // namespace
} // namespace corvane::e2e
