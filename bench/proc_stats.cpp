#include "bench/proc_stats.h"

#include <charconv>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

namespace corvane::bench {

std::optional<long long> processCpuTicks(pid_t pid)
{
    std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    // The command name in parentheses may hold spaces: fields are counted after it.
    const auto nameEnd = text.rfind(')');
    if (nameEnd == std::string::npos)
        return std::nullopt;
    std::istringstream fields(text.substr(nameEnd + 1));
    std::string field;
    long long utime = -1;
    long long stime = -1;
    for (int number = 3; number <= 15 && fields >> field; ++number) {
        if (number == 14)
            utime = std::atoll(field.c_str());
        if (number == 15)
            stime = std::atoll(field.c_str());
    }
    if (utime < 0 || stime < 0)
        return std::nullopt;
    return utime + stime;
}

std::optional<long long> processVoluntarySwitches(pid_t pid)
{
    std::ifstream file("/proc/" + std::to_string(pid) + "/status");
    constexpr std::string_view kKey = "voluntary_ctxt_switches:";
    for (std::string line; std::getline(file, line);) {
        if (line.starts_with(kKey))
            return std::atoll(line.c_str() + kKey.size());
    }
    return std::nullopt;
}

bool parseInt(std::string_view text, int low, int high, int& value)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc{} && end == text.data() + text.size() && value >= low && value <= high;
}

const char* verdict(double value, double target) { return value <= target ? "PASS" : "OVER"; }

} // namespace corvane::bench
