// The tracker link of the real program, seen from the simulated tracker: the
// bytes on the wire, the search over ports, a tracker that answers at one
// speed only, one that never answers, and one that goes away and comes back.
#include "tests/e2e/E2eTest.h"

#include <chrono>
#include <thread>

namespace corvane::e2e {
namespace {

using namespace std::chrono_literals;

// "Default Mouse Emulation", current on a first start: Magnetic 2, Tilt 4, Jitter 3.
const std::string kSetUp = "!M3,0,A,2,4,1,3\r";
// "!" after the port opened; then the set-up: "!", the command, and "!"
// because tracking is stopped.
const std::string kOpenedAndSetUp = "!!" + kSetUp + "!";
const std::string kShutdown = "!!R\r";

// Moves right and back, ten packets each way, for as long as it streams.
constexpr const char* kWiggle = "1 0 0\n1 0 0\n1 0 0\n1 0 0\n1 0 0\n1 0 0\n1 0 0\n1 0 0\n1 0 0\n1 0 0\n"
                                "-1 0 0\n-1 0 0\n-1 0 0\n-1 0 0\n-1 0 0\n-1 0 0\n-1 0 0\n-1 0 0\n-1 0 0\n-1 0 0\n";

bool configured(const Simulator::State& s) { return s.mode == "mouse-emulation"; }
bool streaming(const Simulator::State& s) { return configured(s) && s.streaming; }

// Waits for the record to hold exactly `bytes`; the simulator may still be
// reading what the program wrote last.
bool recordBecomes(const Simulator& sim, const std::string& bytes, Millis within = 3s)
{
    return waitUntil([&] { return sim.record() == bytes; }, within);
}

// Puts the pointer in the middle of the screen and tells whether the program
// moves it within `within`.
bool pointerMoves(Millis within)
{
    Screen& screen = Screen::get();
    screen.moveTo(screen.centre());
    return waitUntil([&] { return screen.pointer() != screen.centre(); }, within, 5ms);
}

using LinkTest = E2eTest;

TEST_F(LinkTest, WritesTheDocumentedBytesFromOpeningToShutdown)
{
    folder.blockPorts({2, 3, 4});
    Simulator sim(folder.path(), folder / "com1");
    Corvane corvane(folder.path());

    ASSERT_TRUE(recordBecomes(sim, kOpenedAndSetUp, 10s)) << shown(sim.record());
    EXPECT_TRUE(configured(sim.state()));

    corvane.clickStart();
    ASSERT_TRUE(recordBecomes(sim, kOpenedAndSetUp + "S", 5s)) << shown(sim.record());
    const auto started = std::chrono::steady_clock::now();
    EXPECT_TRUE(sim.waitFor(streaming, 2s));

    // A second click within two whole seconds of the first is ignored.
    std::this_thread::sleep_for(500ms);
    corvane.clickStart();
    std::this_thread::sleep_until(started + 2200ms);
    EXPECT_EQ(sim.record(), kOpenedAndSetUp + "S") << "the early second click toggled";

    corvane.clickStart();
    ASSERT_TRUE(recordBecomes(sim, kOpenedAndSetUp + "S!", 5s)) << shown(sim.record());
    EXPECT_TRUE(sim.waitFor([](const Simulator::State& s) { return !s.streaming; }, 2s));

    EXPECT_EQ(corvane.close(), 0);
    EXPECT_TRUE(recordBecomes(sim, kOpenedAndSetUp + "S!" + kShutdown)) << shown(sim.record());
    EXPECT_EQ(sim.state().mode, "none") << "the reset did not reach the tracker";
}

TEST_F(LinkTest, SearchFindsTheTrackerOnCom2)
{
    // COM 1 cannot be opened at any of the five speeds, so the search moves on to COM 2.
    folder.blockPorts({1, 3, 4});
    Simulator sim(folder.path(), folder / "com2");
    Corvane corvane(folder.path());

    ASSERT_TRUE(recordBecomes(sim, kOpenedAndSetUp, 15s)) << shown(sim.record());
    EXPECT_TRUE(configured(sim.state()));
    EXPECT_EQ(corvane.close(), 0);
    EXPECT_TRUE(recordBecomes(sim, kOpenedAndSetUp + kShutdown)) << shown(sim.record());
}

// The speed is stepped only while the port cannot be opened. A tracker that
// understands one speed sits behind a port that opens at any speed, so the
// link stays at the speed of the profile and keeps repeating its set-up; with
// the tracker's speed in the profile it is set up at once.
TEST_F(LinkTest, TrackerThatUnderstandsOneSpeedOnly)
{
    folder.blockPorts({2, 3, 4});
    {
        Simulator sim(folder.path(), folder / "com1", {"--fault", "only-speed", "4800"});
        Corvane corvane(folder.path());
        ASSERT_TRUE(waitUntil([&] { return countOf(sim.record(), kSetUp) >= 2; }, 12s)) << shown(sim.record());
        EXPECT_EQ(sim.state().mode, "none");
        const std::string record = sim.record();
        EXPECT_EQ(record.substr(0, kOpenedAndSetUp.size()), kOpenedAndSetUp) << shown(record);
        const std::string log = readFile(sim.log());
        EXPECT_EQ(countOf(log, "line speed 19200 baud: not understood"), 1u);
        EXPECT_EQ(countOf(log, "line speed 4800"), 0u) << "the link changed the speed";
        EXPECT_EQ(corvane.close(), 0);
    }

    // The "Default Mouse Emulation" profile at "4800 Kbps".
    writeFile(folder / "Profiles1.2.dat",
              "\"Default Mouse Emulation\",\"Ambrel\",\"COM 1\",\"4800 Kbps\",\"Mouse Emulation\",2,3,4,"
              "\"Mouse Event\",9,7,0,17,16,0,\"Disabled\",\"\",\"\",\"\",\"\",\"\",\"\","
              "\"D162D163D083U083U163U162\",\"D162D163D083U083U163U162\",20\r\n");
    writeFile(folder / "LastProfile1.2.dat", "\"Default Mouse Emulation\"\r\n");
    Simulator sim(folder.path(), folder / "com1", {"--fault", "only-speed", "4800"});
    Corvane corvane(folder.path());
    ASSERT_TRUE(recordBecomes(sim, kOpenedAndSetUp, 10s)) << shown(sim.record());
    EXPECT_TRUE(configured(sim.state()));
    EXPECT_EQ(corvane.close(), 0);
}

TEST_F(LinkTest, UnansweredSetUpLeavesTheLinkUnconfiguredUntilTheTrackerAnswers)
{
    folder.blockPorts({2, 3, 4});
    writeFile(folder / "wiggle.txt", kWiggle);
    Simulator sim(folder.path(), folder / "com1",
                  {"--fault", "no-reply", "--motion", "script:" + (folder / "wiggle.txt").string()});
    Corvane corvane(folder.path());

    ASSERT_TRUE(waitUntil([&] { return countOf(sim.record(), kSetUp) == 1; }, 10s)) << shown(sim.record());
    const auto firstSetUp = std::chrono::steady_clock::now();
    corvane.clickStart();

    // Each set-up waits two seconds for a reply before the next cycle repeats it.
    ASSERT_TRUE(waitUntil([&] { return countOf(sim.record(), kSetUp) == 2; }, 8s)) << shown(sim.record());
    EXPECT_GE(std::chrono::steady_clock::now() - firstSetUp, 1900ms);
    EXPECT_FALSE(pointerMoves(1s));
    const Simulator::State unanswered = sim.state();
    EXPECT_EQ(unanswered.mode, "none") << unanswered.line;
    EXPECT_FALSE(unanswered.streaming) << unanswered.line;

    // Once the tracker answers, the next set-up configures it; tracking was
    // started, so the stream follows without another click.
    sim.command("clear");
    ASSERT_TRUE(sim.waitFor(streaming, 8s)) << shown(sim.record());
    EXPECT_TRUE(pointerMoves(3s));
    EXPECT_EQ(corvane.close(), 0);
}

TEST_F(LinkTest, VanishedTrackerIsFoundAndSetUpAgain)
{
    folder.blockPorts({2, 3, 4});
    writeFile(folder / "wiggle.txt", kWiggle);
    // COM 1 leads to the simulator's own link. While the device is gone that
    // link is gone too and COM 1 leads nowhere, instead of to a serial port of
    // the machine.
    Simulator sim(folder.path(), folder / "sim-com1", {"--motion", "script:" + (folder / "wiggle.txt").string()});
    fs::create_symlink("sim-com1", folder / "com1");
    Corvane corvane(folder.path());

    ASSERT_TRUE(recordBecomes(sim, kOpenedAndSetUp, 10s)) << shown(sim.record());
    corvane.clickStart();
    ASSERT_TRUE(sim.waitFor(streaming, 5s));
    EXPECT_TRUE(pointerMoves(3s));

    sim.command("vanish");
    ASSERT_TRUE(sim.waitFor([](const Simulator::State& s) { return !s.present; }, 3s));
    std::this_thread::sleep_for(200ms);
    EXPECT_FALSE(pointerMoves(1500ms));

    sim.command("return");
    ASSERT_TRUE(sim.waitFor(streaming, 15s)) << shown(sim.record());
    EXPECT_TRUE(pointerMoves(3s));
    ASSERT_TRUE(corvane.running());
    // Opened again, set up again and, tracking being started, told to send.
    EXPECT_TRUE(recordBecomes(sim, kOpenedAndSetUp + "S" + "!!" + kSetUp + "S")) << shown(sim.record());
    EXPECT_EQ(corvane.close(), 0);
}

} // namespace
} // namespace corvane::e2e
