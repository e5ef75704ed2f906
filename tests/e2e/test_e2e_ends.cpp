// How the display's absence or end ends the real program: without a display
// it says so and ends with status 1; when its X server ends while tracking, it
// stops and resets the tracker first. Each test brings its own display (or
// none), so the server it ends is its own and not the one the others use.
#include "tests/e2e/E2eSupport.h"

namespace corvane::e2e {
namespace {

using namespace std::chrono_literals;

using EndTest = E2eTest;

// The real program, copied into the test folder, with `environment` changes
// ("NAME=value", or "-u NAME" to unset) through env(1); standard error to
// corvane.err there.
ChildProcess startCorvane(const fs::path& folder, std::vector<std::string> environment)
{
    fs::copy_file(CORVANE_E2E_PROGRAM, folder / "corvane");
    environment.insert(environment.begin(), "env");
    environment.push_back((folder / "corvane").string());
    return ChildProcess(environment, folder, folder / "corvane.out", folder / "corvane.err");
}

TEST_F(EndTest, WithoutADisplayItSaysSoAndEndsWithStatus1)
{
    ChildProcess corvane = startCorvane(folder, {"-u", "DISPLAY", "-u", "WAYLAND_DISPLAY", "-u", "QT_QPA_PLATFORM"});
    ASSERT_TRUE(corvane.waitForExit(10s));
    EXPECT_EQ(corvane.howItEnded(), "exit status 1");
    EXPECT_NE(readFile(folder / "corvane.err")
                  .find("corvane: Corvane cannot open its window: no display was found: neither DISPLAY nor "
                        "WAYLAND_DISPLAY is set."),
              std::string::npos)
        << readFile(folder / "corvane.err");
    EXPECT_FALSE(fs::exists(folder / "Profiles1.2.dat"));
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

    blockPorts({2, 3, 4});
    Simulator sim(folder, folder / "com1");
    ChildProcess corvane = startCorvane(folder, {display, "QT_QPA_PLATFORM=xcb"});
    const std::string setUp = "!!!M3,0,A,2,4,1,3\r!";
    ASSERT_TRUE(sim.recordBecomes(setUp, 15s)) << readFile(folder / "corvane.err");
    // The global start keys of "Default Mouse Emulation": left Ctrl + right Ctrl + S.
    const auto keys = [&](const std::string& action) {
        ChildProcess xdotool({"env", display, "xdotool", action, "Control_L", "Control_R", "s"});
        ASSERT_TRUE(xdotool.waitForExit(10s));
    };
    keys("keydown");
    EXPECT_TRUE(sim.recordBecomes(setUp + "S", 5s));
    keys("keyup");

    server.stop();
    ASSERT_TRUE(corvane.waitForExit(10s));
    EXPECT_EQ(corvane.howItEnded(), "exit status 1");
    EXPECT_TRUE(sim.recordBecomes(setUp + "S!!R\r", 3s));
    EXPECT_NE(readFile(folder / "corvane.err")
                  .find("Corvane stopped and reset the tracker and ends."),
              std::string::npos)
        << readFile(folder / "corvane.err");
}

} // namespace
} // namespace corvane::e2e
