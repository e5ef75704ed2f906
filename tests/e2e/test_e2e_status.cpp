// The status line of the real program, as the user sees it change: searching
// while no tracker is there, the tracker found and stopped, tracking, keys
// that cannot be heard from other programs while a mapping records, the
// tracker lost; and its details, a window of their own.
#include "tests/e2e/E2eSupport.h"

#include <unistd.h>

#include <chrono>

namespace corvane::e2e {
namespace {

using namespace std::chrono_literals;
using StatusTest = E2eTest;

TEST_F(StatusTest, TheStatusLineFollowsTheTrackerFromSearchToTrackingAndLoss)
{
    // "Default Flight Simulator", whose key mode lets the mappings record.
    writeFile(folder / "LastProfile1.2.dat", "\"Default Flight Simulator\"\r\n");
    blockPorts({2, 3, 4});
    ::setenv("QT_LOGGING_RULES", "corvane.status.info=true", 1);
    Corvane corvane(folder);
    ::unsetenv("QT_LOGGING_RULES");
    // Each change of the status line, as the program logs it.
    const auto says = [&](const std::string& text) {
        const auto said = [&] { return countOf(readFile(folder / "corvane.log"), "corvane.status: " + text) > 0; };
        return waitUntil(said, 10s) ? ::testing::AssertionSuccess()
                                    : ::testing::AssertionFailure() << readFile(folder / "corvane.log");
    };
    EXPECT_TRUE(says("Searching for the tracker: COM 1 at 19200 bps…"));

    Simulator sim(folder, folder / "com1");
    // At the speed the search had reached: a terminal takes any.
    EXPECT_TRUE(says("Tracker on COM 1 (" + fs::canonical(folder / "com1").string() + "), "));
    corvane.clickStart();
    ASSERT_TRUE(sim.status("streaming=yes", 5s));
    EXPECT_TRUE(says("Tracking: pointer and keys through the X server"));

    // No keyboard event device can be read here: while a mapping records,
    // the line says what the recorder cannot hear.
    corvane.showKeyboardSettings();
    corvane.clickMapping(0);
    EXPECT_TRUE(says("Keys typed in other programs are not seen: "));
    corvane.clickMapping(0);

    sim.command("vanish");
    EXPECT_TRUE(says("The tracker was lost (COM 1 has closed: "));
    // A click on the line shows the whole diagnosis in a window of its own.
    corvane.clickStatusLine();
    EXPECT_TRUE(waitUntil([&] { return corvane.hasFocus("Corvane Status"); }, 5s));
    EXPECT_EQ(corvane.close(), 0);
}

// A port the user may not open says so, with what gives access (a group to
// join, or the administrator): the simulator's terminal belongs to root,
// Corvane runs as nobody.
TEST_F(StatusTest, APortThatTheUserMayNotOpenIsSaidWithItsFix)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "starting Corvane as another user needs root";
    blockPorts({2, 3, 4});
    Simulator sim(folder, folder / "com1");
    fs::permissions(folder, fs::perms::all);
    ::setenv("QT_LOGGING_RULES", "corvane.status.info=true", 1);
    // The runtime folder of the tests' own user is not nobody's.
    Corvane corvane(folder,
                    {"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "env", "-u", "XDG_RUNTIME_DIR"});
    ::unsetenv("QT_LOGGING_RULES");
    const std::string refused = "corvane.status: COM 1 (" + fs::canonical(folder / "com1").string()
                              + ") cannot be opened: permission denied; ";
    const auto said = [&] { return countOf(readFile(folder / "corvane.log"), refused) > 0; };
    EXPECT_TRUE(waitUntil(said, 10s)) << readFile(folder / "corvane.log");
    EXPECT_EQ(sim.record(), "") << "nothing reached the tracker";
    EXPECT_EQ(corvane.close(), 0);
}

} // namespace
} // namespace corvane::e2e
