#include "bench/proc_stats.h"

#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <charconv>
#include <chrono>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

namespace corvane::bench {

namespace {

// One reading of mainThreadSleepsNs; nothing when the thread is not asleep.
std::optional<long long> mainThreadSleepNs(pid_t pid)
{
    const std::string process = "/proc/" + std::to_string(pid);
    const std::string callFile = process + "/task/" + std::to_string(pid) + "/syscall";
    const auto readCall = [&] {
        std::string line;
        std::getline(std::ifstream(callFile), line);
        return line;
    };
    // In a system call: "number arg1 ... arg6 sp pc", the arguments in hex;
    // clock_nanosleep's third is the address of the time asked for.
    const std::string call = readCall();
    std::istringstream fields(call);
    long number = -1;
    std::string clock, flags, request;
    if (!(fields >> number >> clock >> flags >> request) || number != SYS_clock_nanosleep || !request.starts_with("0x"))
        return std::nullopt;
    unsigned long long address = 0;
    if (std::from_chars(request.data() + 2, request.data() + request.size(), address, 16).ec != std::errc{})
        return std::nullopt;
    timespec asked{};
    const int memory = ::open((process + "/mem").c_str(), O_RDONLY | O_CLOEXEC);
    if (memory < 0)
        return std::nullopt;
    const bool read = ::pread(memory, &asked, sizeof asked, static_cast<off_t>(address)) == sizeof asked;
    ::close(memory);
    // Still in the same call: the request read is the one it sleeps on.
    if (!read || readCall() != call)
        return std::nullopt;
    return static_cast<long long>(asked.tv_sec) * 1'000'000'000 + asked.tv_nsec;
}

} // namespace

std::optional<long long> processCpuNs(pid_t pid)
{
    namespace fs = std::filesystem;
    std::error_code error;
    fs::directory_iterator task("/proc/" + std::to_string(pid) + "/task", error);
    long long total = 0;
    bool any = false;
    // A thread that ends between the listing and the reading is passed by.
    for (; !error && task != fs::directory_iterator(); task.increment(error)) {
        std::ifstream file(task->path() / "schedstat");
        long long ranNs = 0;
        if (file >> ranNs) {
            total += ranNs;
            any = true;
        }
    }
    if (error || !any)
        return std::nullopt;
    return total;
}

std::vector<long long> mainThreadSleepsNs(pid_t pid, std::size_t count)
{
    std::vector<long long> seen;
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (seen.size() < count && std::chrono::steady_clock::now() < until) {
        if (const auto ns = mainThreadSleepNs(pid))
            seen.push_back(*ns);
        std::this_thread::sleep_for(std::chrono::milliseconds(7));
    }
    return seen;
}

bool parseInt(std::string_view text, int low, int high, int& value)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc{} && end == text.data() + text.size() && value >= low && value <= high;
}

const char* verdict(double value, double target) { return value <= target ? "PASS" : "OVER"; }

} // namespace corvane::bench
