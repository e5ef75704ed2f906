#include "bench/proc_stats.h"

#include <charconv>
#include <filesystem>
#include <fstream>
#include <string>

namespace corvane::bench {

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

bool parseInt(std::string_view text, int low, int high, int& value)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc{} && end == text.data() + text.size() && value >= low && value <= high;
}

const char* verdict(double value, double target) { return value <= target ? "PASS" : "OVER"; }

} // namespace corvane::bench
