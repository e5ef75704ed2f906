// How the display's absence or end ends the real program: without a display
// it says so and ends with status 1, and with 2 when it is told to press keys
// on an X display it is not on; when its X server ends while tracking
// with a key held, it stops and resets the tracker first. Each test brings its own display (or
// none), so the server it ends is its own and not the one the others use.
#include "tests/e2e/E2eSupport.h"

#include <thread>

namespace corvane::e2e {
namespace {

using namespace std::chrono_literals;

struct EndTest : E2eTest {
    // The real program, copied here, started through env(1) with `environment`
    // changes ("NAME=value", "-u NAME") and `arguments`; standard error to corvane.err.
    ChildProcess start(std::vector<std::string> environment, const std::vector<std::string>& arguments = {})
    {
        fs::copy_file(CORVANE_E2E_PROGRAM, folder / "corvane");
        environment.insert(environment.begin(), "env");
        environment.push_back((folder / "corvane").string());
        environment.insert(environment.end(), arguments.begin(), arguments.end());
        return ChildProcess(environment, folder, folder / "corvane.out", folder / "corvane.err");
    }
    // Whether it ends within 10 s with `status`, having said `message`.
    ::testing::AssertionResult endsSaying(ChildProcess& corvane, const std::string& message, int status = 1)
    {
        const bool ended = corvane.waitForExit(10s);
        const std::string said = readFile(folder / "corvane.err");
        if (ended && corvane.exitStatus() == status && said.find(message) != std::string::npos)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << corvane.howItEnded() << ", saying: " << said;
    }
};

TEST_F(EndTest, WithoutADisplayItSaysSoAndEndsWithStatus1)
{
    ChildProcess corvane = start({"-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "-u", "QT_QPA_PLATFORM"});
    EXPECT_TRUE(endsSaying(corvane, "corvane: Corvane cannot open its window: no display was found: neither "
                                    "DISPLAY nor WAYLAND_DISPLAY is set."));
}

TEST_F(EndTest, ABackendForcedThatCannotWorkEndsTheStartWithStatus2)
{
    ChildProcess corvane = start({"QT_QPA_PLATFORM=offscreen"}, {"--output", "x11"});
    EXPECT_TRUE(endsSaying(corvane, "corvane: --output x11 cannot work: Corvane's window would not be on an X display", 2));
}

TEST_F(EndTest, WhenTheXServerEndsWhileTrackingTheTrackerIsStoppedAndReset)
{
    // Xvfb picks a free display and writes its number to standard output.
    ChildProcess server({"Xvfb", "-displayfd", "1", "-nolisten", "tcp"}, folder, folder / "xvfb.out",
                        folder / "xvfb.log");
    std::string number;
    const auto told = [&] { return (number = readFile(folder / "xvfb.out")).find('\n') != std::string::npos; };
    ASSERT_TRUE(waitUntil(told, 10s)) << readFile(folder / "xvfb.log");
    const std::string display = "DISPLAY=:" + number.substr(0, number.find('\n'));
    // "Default Mouse Emulation" in "Emulate Keys", where turning left presses
    // left Shift and leaves it down; the head turns left all the time.
    writeFile(folder / "Profiles1.2.dat",
              "\"Default Mouse Emulation\",\"Ambrel\",\"COM 1\",\"19200 Kbps\",\"Mouse "
              "Emulation\",2,3,4,\"Mouse Event\",9,7,0,17,16,0,\"Emulate Keys\",\"D160\",\"\",\"\",\"\",\"\",\"\","
              "\"D162D163D083U083U163U162\",\"D162D163D083U083U163U162\",20\r\n");
    writeFile(folder / "script.txt", repeated("-5 0 0", 60));
    blockPorts({2, 3, 4});
    Simulator sim(folder, folder / "com1", {"--motion", "script:" + (folder / "script.txt").string()});
    ChildProcess corvane = start({display, "QT_QPA_PLATFORM=xcb"});
    const std::string setUp = "!!!M3,0,A,2,4,1,3\r!";
    ASSERT_TRUE(sim.recordBecomes(setUp, 15s)) << readFile(folder / "corvane.err");
    // The global start keys of "Default Mouse Emulation", left Ctrl + right Ctrl + S, held.
    ChildProcess({"env", display, "xdotool", "keydown", "Control_L", "Control_R", "s"}).waitForExit(10s);
    ASSERT_TRUE(sim.recordBecomes(setUp + "S", 5s));
    std::this_thread::sleep_for(500ms); // Shift goes down

    server.stop();
    EXPECT_TRUE(endsSaying(corvane, "Corvane stopped and reset the tracker and ends."));
    EXPECT_TRUE(sim.recordBecomes(setUp + "S!!R\r", 3s));
}

} // namespace
} // namespace corvane::e2e
