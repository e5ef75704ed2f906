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

} // namespace
} // namespace corvane::e2e
