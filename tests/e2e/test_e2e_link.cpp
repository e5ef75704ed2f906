// The tracker link of the real program: with a tracker that understands one
// line speed only, with the port given by an entry of the folder, as the port
// list's tooltip shows it, and with a tracker that vanishes and returns.
#include "tests/e2e/E2eSupport.h"

#include <chrono>

namespace corvane::e2e {
namespace {

using namespace std::chrono_literals;

// "Default Mouse Emulation", current on a first start: Magnetic 2, Tilt 4, Jitter 3.
const std::string kSetUp = "!M3,0,A,2,4,1,3\r";

// Waits until the program has sent the set-up at least `count` times.
::testing::AssertionResult setUpsSent(const Simulator& sim, std::size_t count, Millis within)
{
    if (waitUntil([&] { return countOf(sim.record(), kSetUp) >= count; }, within))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the record is " << ::testing::PrintToString(sim.record());
}

using LinkTest = E2eTest;

// The speed is stepped only while the port cannot be opened. A tracker that
// understands one speed sits behind a port that opens at any speed, so the
// link stays at the speed of the profile and keeps repeating its set-up; with
// the tracker's speed in the profile it is set up at once.
TEST_F(LinkTest, TrackerThatUnderstandsOneSpeedOnly)
{
    blockPorts({2, 3, 4});
    // "!" after the port opened, then "!" before the set-up.
    const std::string openedAndSetUp = "!!" + kSetUp;
    {
        Simulator sim(folder, folder / "com1", {"--fault", "only-speed", "4800"});
        Corvane corvane(folder);
        ASSERT_TRUE(setUpsSent(sim, 2, 12s));
        EXPECT_TRUE(sim.status("mode=none"));
        EXPECT_TRUE(sim.record().starts_with(openedAndSetUp)) << ::testing::PrintToString(sim.record());
        const std::string log = readFile(folder / "sim.log");
        EXPECT_EQ(countOf(log, "line speed 19200 baud: not understood"), 1u);
        EXPECT_EQ(countOf(log, "line speed 4800"), 0u) << "the link changed the speed";
        EXPECT_EQ(corvane.close(), 0);
    }

    // "Default Mouse Emulation" at "4800 Kbps".
    writeFile(folder / "Profiles1.2.dat",
              "\"Default Mouse Emulation\",\"Ambrel\",\"COM 1\",\"4800 Kbps\",\"Mouse Emulation\",2,3,4,"
              "\"Mouse Event\",9,7,0,17,16,0,\"Disabled\",\"\",\"\",\"\",\"\",\"\",\"\","
              "\"D162D163D083U083U163U162\",\"D162D163D083U083U163U162\",20\r\n");
    writeFile(folder / "LastProfile1.2.dat", "\"Default Mouse Emulation\"\r\n");
    Simulator sim(folder, folder / "com1", {"--fault", "only-speed", "4800"});
    Corvane corvane(folder);
    ASSERT_TRUE(sim.recordBecomes(openedAndSetUp + "!", 10s));
    EXPECT_TRUE(sim.status("mode=mouse-emulation"));
    EXPECT_EQ(corvane.close(), 0);
}

// Whatever serial ports the machine lists, an entry com3 alone makes the
// simulator COM 3, found at the first speed. The port list's tooltip names its
// terminal, and a termination signal resets the tracker as closing the window does.
TEST_F(LinkTest, AComEntryAloneDefinesThePortsAndTheTooltipShowsTheLink)
{
    ::setenv("QT_LOGGING_RULES", "corvane.link=true", 1);
    Simulator sim(folder, folder / "com3");
    Corvane corvane(folder);
    ::unsetenv("QT_LOGGING_RULES");
    const std::string setUp = "!!" + kSetUp + "!";
    ASSERT_TRUE(sim.recordBecomes(setUp, 10s));

    // The outer size, with a window manager's frame, is 4425 x 2010 twips, at
    // 96 dpi 295 x 134 pixels; with the settings shown 4425 x 6675 twips.
    const auto becomes = [&](Point size) {
        return waitUntil([&] { return corvane.outerSize() == size; }, 5s) ? ::testing::AssertionSuccess()
            : ::testing::AssertionFailure() << ::testing::PrintToString(corvane.outerSize());
    };
    EXPECT_TRUE(becomes({295, 134}));
    // Show Settings; then the pointer rests on the port list, at (1380, 300)
    // of the Connection frame (240, 1890), 2295 x 315.
    corvane.clickAt(1500 + 1335 / 2, 510 + 315 / 2);
    ASSERT_TRUE(becomes({295, 445}));
    corvane.pointAt(240 + 1380 + 2295 / 2, 1890 + 300 + 315 / 2);
    const std::string tooltip = "|COM 3: " + fs::read_symlink(folder / "com3").string()
                                + "|COM 4: no device (no entry com4 in the settings folder)"
                                  "|The tracker on COM 3 is set up, at 19200,n,8,1.";
    EXPECT_TRUE(waitUntil([&] { return countOf(readFile(folder / "corvane.log"), tooltip) > 0; }, 5s))
        << readFile(folder / "corvane.log");

    corvane.clickStart();
    ASSERT_TRUE(sim.recordBecomes(setUp + "S", 5s));
    EXPECT_EQ(corvane.terminate(), 0);
    EXPECT_TRUE(sim.recordBecomes(setUp + "S!!R\r", 3s));
    EXPECT_TRUE(sim.status("mode=none"));
}

// Without entries COM n is the n-th listed port, adapters first. The ports
// listed here are two terminals named like the machine's: the tracker as
// "ttyUSB0" and, as "ttyS0", a port that opens but never answers, as a
// built-in port with nothing attached does. The tracker vanishes while
// tracking and COM 1 falls to the silent port; it returns, COM 1 stands for
// it again, the silent port is left and tracking resumes within 3 s.
TEST_F(LinkTest, ATrackerThatVanishesAndReturnsIsFoundAgainInsteadOfASilentPort)
{
    fs::create_directories(folder / "silent");
    Simulator silent(folder / "silent", folder / "ttyS0", {"--fault", "no-reply"});
    Simulator sim(folder, folder / "ttyUSB0", {"--motion", "circle"});
    ::setenv("CORVANE_SERIAL_PORTS", ((folder / "ttyS0").string() + ":" + (folder / "ttyUSB0").string()).c_str(), 1);
    ::setenv("QT_LOGGING_RULES", "corvane.link=true", 1);
    Corvane corvane(folder);
    ::unsetenv("CORVANE_SERIAL_PORTS");
    ::unsetenv("QT_LOGGING_RULES");
    const std::string setUp = "!!" + kSetUp;
    ASSERT_TRUE(sim.recordBecomes(setUp + "!", 10s));
    corvane.clickStart();
    ASSERT_TRUE(sim.status("streaming=yes", 5s));
    EXPECT_TRUE(pointerMoves(2s));

    sim.command("vanish");
    ASSERT_TRUE(setUpsSent(silent, 1, 5s)) << "COM 1 did not fall to the silent port";
    const std::string before = sim.record();
    sim.command("return");
    EXPECT_TRUE(sim.recordBecomes(before + setUp + "S", 3s));
    EXPECT_TRUE(pointerMoves(2s));
    EXPECT_EQ(countOf(readFile(folder / "corvane.log"), "COM 1 now stands for " + (folder / "ttyUSB0").string()), 1u)
        << readFile(folder / "corvane.log");
    EXPECT_EQ(corvane.close(), 0);
}

} // namespace
} // namespace corvane::e2e
