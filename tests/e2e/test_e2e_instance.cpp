// One Corvane per settings folder, as a user meets it: a second start brings
// the running window to the front, or says why it cannot, and ends without
// touching the profile files or the tracker; a Corvane killed without a
// chance to clean up does not keep the next start out, and another user who
// takes the socket's name first is not believed.
#include "platform/InstanceSocket.h"
#include "tests/e2e/E2eSupport.h"
#include "tests/support/SocketSquatter.h"

#include <csignal>
#include <sys/stat.h>

namespace corvane::e2e {
namespace {

using namespace std::chrono_literals;

using InstanceTest = E2eTest;

TEST_F(InstanceTest, ASecondStartBringsTheFirstToTheFrontAndTouchesNothing)
{
    blockPorts({2, 3, 4});
    Simulator sim(folder, folder / "com1");
    Corvane first(folder);
    ASSERT_TRUE(sim.recordBecomes("!!!M3,0,A,2,4,1,3\r!", 10s));
    // Another window, over Corvane's, takes the focus.
    OtherWindow cover("+0+0");
    cover.takeFocus();
    const auto files = [&] { return readFile(folder / "Profiles1.2.dat") + readFile(folder / "LastProfile1.2.dat"); };
    const std::string before = files();
    const std::string wire = sim.record();

    ChildProcess version({(folder / "corvane").string(), "--version"});
    ASSERT_TRUE(version.waitForExit(10s));
    EXPECT_EQ(version.exitStatus(), 0) << "--version is answered while another Corvane runs";

    ChildProcess second({(folder / "corvane").string()}, folder, folder / "second.out", folder / "second.err");
    ASSERT_TRUE(second.waitForExit(10s));
    EXPECT_EQ(second.exitStatus(), 0);
    const std::string refusal = "corvane: Corvane is already running on the settings folder " + folder.string()
                              + " (process " + std::to_string(first.pid())
                              + "); its window was brought to the front.\n";
    EXPECT_NE(readFile(folder / "second.err").find(refusal), std::string::npos) << readFile(folder / "second.err");
    EXPECT_TRUE(waitUntil([&] { return first.hasFocus("Tollan Corvane"); }, 3s));

    // A backend forced on the command line that cannot work is the answer, though another Corvane runs.
    if (::access("/dev/uinput", W_OK) != 0) {
        ChildProcess forced({(folder / "corvane").string(), "--output", "uinput"}, folder, {}, folder / "forced.err");
        ASSERT_TRUE(forced.waitForExit(10s));
        EXPECT_EQ(forced.exitStatus(), 2);
        EXPECT_EQ(readFile(folder / "forced.err").rfind("corvane: --output uinput cannot work: ", 0), 0u)
            << readFile(folder / "forced.err");
    }

    // While the running one cannot answer, a box says why the start ends, with status 1.
    ::kill(first.pid(), SIGSTOP);
    ChildProcess third({(folder / "corvane").string()}, folder, folder / "third.out", folder / "third.err");
    xdotool("search --sync --onlyvisible --name ^Corvane$");
    xdotool("key Return");
    ASSERT_TRUE(third.waitForExit(10s));
    EXPECT_EQ(third.exitStatus(), 1);
    EXPECT_NE(readFile(folder / "third.err").find("could not be brought to the front"), std::string::npos);
    ::kill(first.pid(), SIGCONT);
    EXPECT_EQ(files(), before);
    EXPECT_EQ(sim.record(), wire);
    EXPECT_EQ(first.close(), 0);
    EXPECT_FALSE(fs::exists(folder / "Corvane.lock"));
}

TEST_F(InstanceTest, TheLockOfAKilledCorvaneIsTakenOver)
{
    blockPorts({1, 2, 3, 4});
    Corvane killed(folder);
    ::kill(killed.pid(), SIGKILL);
    ASSERT_EQ(killed.close(), std::nullopt); // reaped: it ended by the signal
    ASSERT_TRUE(fs::exists(folder / "Corvane.lock"));
    Corvane next(folder);
    // It answers a later start, in place of the killed one.
    ChildProcess later({(folder / "corvane").string()});
    ASSERT_TRUE(later.waitForExit(10s));
    EXPECT_EQ(later.exitStatus(), 0);
    EXPECT_EQ(next.close(), 0);

    // What Corvane could not have left there ends the start with a box that says so.
    ASSERT_EQ(::mkfifo((folder / "Corvane.lock").c_str(), 0600), 0);
    ChildProcess blocked({(folder / "corvane").string()}, folder, {}, folder / "blocked.err");
    xdotool("search --sync --onlyvisible --name ^Corvane$");
    xdotool("key Return");
    ASSERT_TRUE(blocked.waitForExit(10s));
    EXPECT_EQ(blocked.exitStatus(), 1);
    EXPECT_NE(readFile(folder / "blocked.err").find("Corvane.lock belongs there is a named pipe (FIFO)"),
              std::string::npos)
        << readFile(folder / "blocked.err");
}

// The name of the socket is an abstract one without a private runtime
// folder: another user can take it before Corvane starts.
TEST_F(InstanceTest, AnotherUserWhoTakesTheSocketFirstIsNotBelieved)
{
    SKIP_WITHOUT_NEIGHBOUR();
    ::unsetenv("XDG_RUNTIME_DIR");
    const std::string name = platform::instanceAddress(QString::fromStdString(folder.string())).toStdString();
    test::Neighbour squatter(
        [&](test::Neighbour& self) { return test::squatSocket(self, name, test::Squat::AnswersShown); });
    blockPorts({1, 2, 3, 4});
    Corvane first(folder);
    ChildProcess second({(folder / "corvane").string()}, folder, {}, folder / "second.err");
    xdotool("search --sync --onlyvisible --name ^Corvane$");
    xdotool("key Return");
    ASSERT_TRUE(second.waitForExit(10s));
    EXPECT_EQ(second.exitStatus(), 1);
    EXPECT_NE(readFile(folder / "second.err").find("could not be brought to the front"), std::string::npos)
        << readFile(folder / "second.err");
    EXPECT_EQ(first.close(), 0);
}

} // namespace
} // namespace corvane::e2e
