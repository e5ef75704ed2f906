// The tracker link of the real program: a tracker that vanishes and returns is
// found again on its port, which a silent port stood in for meanwhile, and a
// start right after the program ended finds its terminal open.
#include "tests/e2e/E2eSupport.h"

#include <sys/prctl.h>

#include <chrono>
#include <linux/capability.h>

namespace corvane::e2e {
namespace {

using namespace std::chrono_literals;

// "Default Mouse Emulation", current on a first start: Magnetic 2, Tilt 4, Jitter 3.
const std::string kSetUp = "!M3,0,A,2,4,1,3\r";

using LinkTest = E2eTest;

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
    const auto silentSetUp = [&] { return countOf(silent.record(), kSetUp) > 0; };
    ASSERT_TRUE(waitUntil(silentSetUp, 5s)) << "COM 1 did not fall to the silent port";
    const std::string before = sim.record();
    sim.command("return");
    EXPECT_TRUE(sim.recordBecomes(before + setUp + "S", 3s));
    EXPECT_TRUE(pointerMoves(2s));
    EXPECT_EQ(countOf(readFile(folder / "corvane.log"), "COM 1 now stands for " + (folder / "ttyUSB0").string()), 1u)
        << readFile(folder / "corvane.log");
    EXPECT_EQ(corvane.close(), 0);
}

// The simulator keeps its terminal, as a bridge (socat, ser2net) does, while
// Corvane ends by its window and by SIGTERM and starts again at once: each
// start sets the tracker up. The programs run without the privilege by which
// root opens a terminal in exclusive mode all the same, as a user's do.
TEST_F(LinkTest, AStartRightAfterTheEndSetsTheTrackerUpOnTheSameTerminal)
{
    (void)::prctl(PR_CAPBSET_DROP, CAP_SYS_ADMIN, 0, 0, 0);
    blockPorts({2, 3, 4});
    Simulator sim(folder, folder / "com1");
    std::string record;
    for (const auto end : {&Corvane::close, &Corvane::terminate, &Corvane::close}) {
        Corvane corvane(folder);
        record += "!!" + kSetUp + "!";
        ASSERT_TRUE(sim.recordBecomes(record, 10s)) << readFile(folder / "corvane.log");
        ASSERT_EQ((corvane.*end)(), 0);
        record += "!!R\r";
        ASSERT_TRUE(sim.recordBecomes(record, 3s));
    }
}

} // namespace
} // namespace corvane::e2e
