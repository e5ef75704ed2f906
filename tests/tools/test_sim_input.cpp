// The simulator's standard input as a shell gives it: the terminal, with the
// simulator started in the background ("&") of an interactive shell and
// brought to the foreground later; /dev/null, as a script's background
// commands get it; and a pipe from a program that drives it.
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds within = 3s)
{
    for (const auto end = std::chrono::steady_clock::now() + within; !done();) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(20ms);
    }
    return true;
}

// A process's state as /proc tells it ('S' asleep, 'T' stopped, 'Z' ended
// but not waited for, 'X' gone) and its CPU time in ms.
std::pair<char, long> stateOf(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    const auto name = line.rfind(") "); // the end of the program's name, which may hold spaces
    if (name == std::string::npos)
        return {'X', 0};
    std::istringstream fields(line.substr(name + 2));
    const std::vector<std::string> field{std::istream_iterator<std::string>(fields), {}};
    return {field.at(0)[0], (std::stol(field.at(11)) + std::stol(field.at(12))) * 1000 / ::sysconf(_SC_CLK_TCK)};
}

bool ended(pid_t pid) { return stateOf(pid).first == 'Z' || stateOf(pid).first == 'X'; }

// The simulator in a fresh folder, its terminal linked there as com1.
struct SimInput : ::testing::Test {
    fs::path folder;
    SimInput()
    {
        std::string name = (fs::temp_directory_path() / "corvane-sim-input-XXXXXX").string();
        folder = ::mkdtemp(name.data()) ? fs::path(name) : fs::path();
    }
    ~SimInput() override { fs::remove_all(folder); }
    fs::path link() const { return folder / "com1"; }

    // Runs in the child: the simulator on standard input `input`, its output to `output`.
    [[noreturn]] void exec(int input, int output) const
    {
        ::dup2(input, STDIN_FILENO);
        ::dup2(output, STDOUT_FILENO);
        ::dup2(output, STDERR_FILENO);
        const std::string path = link().string();
        ::execl(CORVANE_SIMULATOR, CORVANE_SIMULATOR, "--link", path.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
};

// An interactive shell's terminal: a session whose leader (the shell) holds
// the foreground, and the simulator started as a job of its own in the
// background. Each byte written to `control` asks the shell to bring it to
// the foreground; its end, to end it.
struct Job {
    int master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    int control = -1;
    pid_t shell = -1;
    pid_t sim = -1;

    explicit Job(const SimInput& test)
    {
        if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0)
            return;
        const std::string tty = ::ptsname(master);
        int toShell[2], told[2];
        if (::pipe2(toShell, O_CLOEXEC) != 0 || ::pipe2(told, O_CLOEXEC) != 0)
            return;
        shell = ::fork();
        if (shell == 0) {
            ::close(toShell[1]);
            ::setsid();
            const int terminal = ::open(tty.c_str(), O_RDWR); // the session's controlling terminal
            const pid_t job = ::fork();
            if (job == 0) {
                ::setpgid(0, 0);
                test.exec(terminal, terminal);
            }
            ::setpgid(job, job);
            (void)!::write(told[1], &job, sizeof job);
            for (char asked = 0; ::read(toShell[0], &asked, 1) == 1;)
                ::tcsetpgrp(terminal, job);
            ::kill(job, SIGTERM);
            ::kill(job, SIGCONT);
            ::waitpid(job, nullptr, 0);
            ::_exit(0);
        }
        ::close(toShell[0]);
        ::close(told[1]);
        control = toShell[1];
        (void)!::read(told[0], &sim, sizeof sim);
        ::close(told[0]);
    }
    ~Job()
    {
        ::close(control);
        if (shell > 0)
            ::waitpid(shell, nullptr, 0);
        ::close(master);
    }
    void type(const std::string& keys) const { (void)!::write(master, keys.data(), keys.size()); }
    void toForeground() const { (void)!::write(control, "f", 1); }
    // What the terminal showed since the last call.
    std::string shown() const
    {
        std::string text;
        char buffer[4096];
        const int flags = ::fcntl(master, F_GETFL);
        ::fcntl(master, F_SETFL, flags | O_NONBLOCK);
        for (ssize_t n; (n = ::read(master, buffer, sizeof buffer)) > 0;)
            text.append(buffer, static_cast<std::size_t>(n));
        ::fcntl(master, F_SETFL, flags);
        return text;
    }
};

TEST_F(SimInput, InTheBackgroundOfItsTerminalItLeavesTheInputToTheShellAndTakesItInTheForeground)
{
    Job job(*this);
    ASSERT_GT(job.sim, 0);
    ASSERT_TRUE(waitUntil([&] { return fs::exists(link()); }));
    // Typed for the shell: a read would stop the simulator (SIGTTIN), or fail
    // again and again. It neither reads nor spins.
    job.type("status\n");
    std::this_thread::sleep_for(500ms);
    const auto [state, cpuMs] = stateOf(job.sim);
    EXPECT_NE(state, 'T');
    EXPECT_LT(cpuMs, 100);
    EXPECT_EQ(job.shown().find("mode="), std::string::npos);

    job.toForeground();
    std::string shown;
    EXPECT_TRUE(waitUntil([&] { return (shown += job.shown()).find("mode=none") != std::string::npos; })) << shown;
    job.type("\x04"); // Ctrl-D
    EXPECT_TRUE(waitUntil([&] { return ended(job.sim); }));
    EXPECT_FALSE(fs::exists(link()));
}

TEST_F(SimInput, TheEndOfAPipeEndsItAndDevNullDoesNot)
{
    for (const bool pipe : {false, true}) {
        SCOPED_TRACE(pipe ? "a pipe" : "/dev/null");
        int ends[2] = {-1, -1};
        ASSERT_EQ(pipe ? ::pipe2(ends, O_CLOEXEC) : 0, 0);
        const pid_t sim = ::fork();
        if (sim == 0)
            exec(pipe ? ends[0] : ::open("/dev/null", O_RDONLY), ::open("/dev/null", O_WRONLY));
        ::close(ends[0]);
        ASSERT_TRUE(waitUntil([&] { return fs::exists(link()); }));
        if (pipe)
            ::close(ends[1]);
        EXPECT_EQ(waitUntil([&] { return ended(sim); }, 1s), pipe);
        ::kill(sim, SIGTERM);
        int status = -1;
        ::waitpid(sim, &status, 0);
        EXPECT_EQ(status, 0);
        EXPECT_FALSE(fs::exists(link()));
    }
}

} // namespace
