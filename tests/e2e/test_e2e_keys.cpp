// The keyboard of the real program as a user meets it: the global start/stop
// keys, the keys a head turn sends in "Emulate Keys" mode, and mappings
// recorded by pressing a mapping button in and typing, then saved. Keys are
// typed with xdotool; the keys the program sends are heard as XInput2 raw events.
#include "tests/e2e/E2eSupport.h"

#include <chrono>
#include <thread>

namespace corvane::e2e {
namespace {

using namespace std::chrono_literals;

const std::string kFlightSimulator = "\"Default Flight Simulator\"\r\n";

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

TEST_F(KeysTest, HeadTurnSendsTheMappedKeysInsteadOfMovingThePointer)
{
    // A second still, one packet turning 5 counts to the left, a second still.
    writeFile(folder / "script.txt", repeated("0 0 0", 60) + "-5 0 0\n" + repeated("0 0 0", 60));
    writeFile(folder / "LastProfile1.2.dat", kFlightSimulator);
    blockPorts({2, 3, 4});
    Simulator sim(folder, folder / "com1", {"--motion", "script:" + (folder / "script.txt").string(), "--once"});
    Corvane corvane(folder);
    ASSERT_TRUE(sim.status("mode=mouse-emulation", 10s));
    KeyListener keys;
    corvane.clickStart();
    ASSERT_TRUE(sim.status("streaming=yes", 5s));
    centrePointer();
    // "Default Flight Simulator": left-right smoothing 9, speed 6, Jitter 2.
    // The turn, -50 units, is the mean of 10 history entries for 10 cycles:
    // -50 / 10 x 6 / 10 = -3, past the Jitter each time, so Turn Left (left
    // Shift, period) goes out in each of these 10 cycles.
    std::vector<std::string> turnLeft;
    for (int cycle = 0; cycle < 10; ++cycle)
        turnLeft.insert(turnLeft.end(), {"+Shift_L", "+period", "-period", "-Shift_L"});
    const auto done = [&] { return sim.packetTimes().size() >= 121 && keys.heard().size() >= turnLeft.size(); };
    EXPECT_TRUE(waitUntil(done, 10s));
    EXPECT_EQ(keys.heard(), turnLeft);
    // Without the mapping the pointer would have moved 10 x 3 to the left.
    EXPECT_EQ(pointer(), Point{});
    EXPECT_EQ(corvane.close(), 0);
}

TEST_F(KeysTest, TypedAndTappedKeysAreRecordedIntoMappingsAndSaved)
{
    writeFile(folder / "LastProfile1.2.dat", kFlightSimulator);
    blockPorts({2, 3, 4});
    Simulator sim(folder, folder / "com1");
    Corvane corvane(folder);
    // Show Settings; once the panel is open, its Keyboard tab.
    corvane.clickAt(1500 + 1335 / 2, 510 + 315 / 2);
    ASSERT_TRUE(waitUntil([&] { return corvane.outerSize() == Point{295, 445}; }, 5s));
    corvane.clickAt(2550, 1155);
    // The mapping buttons, 1035 x 315 at left 240 of the Mappings frame (240, 1890).
    const auto clickMapping = [&](int top) { corvane.clickAt(480 + 1035 / 2, 1890 + top + 315 / 2); };
    // Turn Left: Ctrl+S, each stroke a few polls (20 ms apart) after the one
    // before, as the keys newly down in one poll are taken in code order.
    clickMapping(300);
    xdotool("sleep 0.2 keydown Control_L sleep 0.2 keydown s sleep 0.2 keyup s sleep 0.2 keyup Control_L sleep 0.2");
    clickMapping(300);
    // Turn Right: "a" down and up again well within one poll.
    clickMapping(750);
    xdotool("sleep 0.2 key --delay 0 a sleep 0.2");
    clickMapping(750);
    // Save, and Yes, the confirmation's default button.
    corvane.clickAt(1220 + 915 / 2, 5040 + 315 / 2);
    ASSERT_TRUE(waitUntil([&] { return corvane.hasFocus("Corvane Save Confirmation"); }, 5s));
    xdotool("key Return");
    // Key mode, then Turn Left, Turn Right and the untouched Look Up.
    const std::string mappings = R"("Emulate Keys","D162D083U083U162","D065U065","D162D188U188U162",)";
    const auto saved = [&] { return readFile(folder / "Profiles1.2.dat").find(mappings) != std::string::npos; };
    EXPECT_TRUE(waitUntil(saved, 5s)) << readFile(folder / "Profiles1.2.dat");
    EXPECT_EQ(corvane.close(), 0);
}

} // namespace
} // namespace corvane::e2e
