#include "bench/child_process.h"

#include "bench/proc_stats.h"

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

namespace corvane::bench {

namespace {

std::runtime_error systemFailure(const std::string& what)
{
    return std::runtime_error(what + ": " + std::strerror(errno));
}

int openOutput(const fs::path& path)
{
    if (path.empty())
        return ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
}

} // namespace

std::int64_t monotonicNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

bool waitUntil(const std::function<bool()>& done, Millis timeout, Millis interval)
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < deadline) {
        if (done())
            return true;
        std::this_thread::sleep_for(interval);
    }
    return done();
}

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void writeFile(const fs::path& path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

fs::path makeTemporaryFolder(const std::string& prefix)
{
    std::string pattern = (fs::temp_directory_path() / (prefix + "-XXXXXX")).string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw systemFailure("cannot create a temporary folder");
    return pattern;
}

fs::path copyCorvane(const fs::path& program, const fs::path& folder)
{
    const fs::path copy = folder / "corvane";
    std::error_code error;
    fs::copy_file(program, copy, error);
    if (error)
        throw BenchError("cannot copy " + program.string() + ": " + error.message());
    fs::permissions(copy, fs::perms::owner_all, fs::perm_options::add, error);
    return copy;
}

fs::path besideThisProgram(const std::string& name)
{
    std::error_code error;
    return fs::read_symlink("/proc/self/exe", error).parent_path() / name;
}

ChildProcess::ChildProcess(std::vector<std::string> args, const fs::path& folder, const fs::path& output,
                           const fs::path& errors, bool input)
{
    // Everything the new process needs is prepared before fork(): after it,
    // the child makes only async-signal-safe calls.
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    int pipeEnds[2] = {-1, -1};
    if (input && ::pipe2(pipeEnds, O_CLOEXEC) != 0)
        throw systemFailure("pipe failed");
    const int out = openOutput(output);
    const int err = errors.empty() ? out : openOutput(errors);
    const int in = input ? pipeEnds[0] : ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (out < 0 || err < 0 || in < 0)
        throw systemFailure("cannot open the output of " + args[0]);

    const pid_t parent = ::getpid();
    started_ = std::chrono::steady_clock::now();
    pid_ = ::fork();
    if (pid_ < 0)
        throw systemFailure("fork failed");
    if (pid_ == 0) {
        // Ends with the process that started it, even when that is killed.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)
            ::_exit(125);
        ::dup2(in, STDIN_FILENO);
        ::dup2(out, STDOUT_FILENO);
        ::dup2(err, STDERR_FILENO);
        if (!folder.empty() && ::chdir(folder.c_str()) != 0)
            ::_exit(126);
        ::signal(SIGPIPE, SIG_DFL);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    for (const int fd : {in, out, err == out ? -1 : err})
        if (fd >= 0)
            ::close(fd);
    input_ = pipeEnds[1];
}

ChildProcess::~ChildProcess()
{
    stop();
    if (input_ >= 0)
        ::close(input_);
}

bool ChildProcess::running()
{
    reaped_ = reaped_ || ::wait4(pid_, &status_, WNOHANG, &usage_) == pid_;
    return !reaped_;
}

bool ChildProcess::waitForExit(Millis timeout)
{
    return waitUntil([this] { return !running(); }, timeout, Millis(2));
}

void ChildProcess::stop(Millis grace)
{
    if (!running())
        return;
    ::kill(pid_, SIGTERM);
    if (!waitForExit(grace)) {
        ::kill(pid_, SIGKILL);
        reaped_ = ::wait4(pid_, &status_, 0, &usage_) == pid_;
    }
}

std::optional<int> ChildProcess::exitStatus() const
{
    if (!reaped_ || !WIFEXITED(status_))
        return std::nullopt;
    return WEXITSTATUS(status_);
}

std::string ChildProcess::howItEnded() const
{
    if (!reaped_)
        return "still running";
    if (WIFSIGNALED(status_))
        return std::string("signal ") + strsignal(WTERMSIG(status_));
    return "exit status " + std::to_string(WEXITSTATUS(status_));
}

long long ChildProcess::cpuNs() const
{
    if (const auto ns = processCpuNs(pid_))
        return *ns;
    throw BenchError("cannot read the CPU time in /proc/" + std::to_string(pid_) + "/task/*/schedstat");
}

void ChildProcess::writeInput(std::string_view bytes)
{
    // Commands are short, so a pipe takes each whole in one write.
    if (::write(input_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
        throw systemFailure("cannot write to the input of " + std::to_string(pid_));
}

double emptyLoopCycleUs(const fs::path& emptyWindow, int delayMs, int seconds)
{
    ChildProcess loop({emptyWindow.string(), "--title", "Corvane reference loop", "--size", "295x134", "--cycle",
                       std::to_string(delayMs)});
    std::this_thread::sleep_for(std::chrono::seconds(1));
    const long long before = loop.cpuNs();
    const std::int64_t started = monotonicNs();
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    const long long used = loop.cpuNs() - before;
    const double cycles = static_cast<double>(monotonicNs() - started) / 1e6 / delayMs;
    if (!loop.running())
        throw BenchError{"the reference loop (" + emptyWindow.string() + " --cycle) ended early"};
    return static_cast<double>(used) / 1e3 / cycles;
}

} // namespace corvane::bench
