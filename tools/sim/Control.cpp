#include "tools/sim/Control.h"

#include "tools/sim/Log.h"
#include "tools/sim/Text.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <stdexcept>

namespace corvane::sim {

namespace {

// A longer line without its end is dropped.
constexpr std::size_t kMaxControlLine = 4096;

} // namespace

void Control::read()
{
    char buffer[1024];
    const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (n < 0) {
        if (errno == EINTR || errno == EAGAIN) {
            return;
        }
        logLine(systemError("cannot read commands"));
    }
    if (n <= 0) {
        logLine("end of commands: ending");
        ended_ = true;
        quit_ = true;
        return;
    }
    pending_.append(buffer, static_cast<std::size_t>(n));
    std::size_t end = 0;
    while (!quit_ && (end = pending_.find('\n')) != std::string::npos) {
        const std::string line = pending_.substr(0, end);
        pending_.erase(0, end + 1);
        command(line);
    }
    if (pending_.size() > kMaxControlLine) {
        logLine("command line too long, discarded");
        pending_.clear();
    }
}

void Control::command(std::string_view line)
{
    line = trimmed(line);
    if (line.empty()) {
        return;
    }
    if (line == "quit") {
        logLine("quit");
        quit_ = true;
        return;
    }
    if (line == "status") {
        std::fputs(device_.status().c_str(), stdout);
        std::fflush(stdout);
        return;
    }
    try {
        device_.apply(parseFaultCommand(line));
    } catch (const std::invalid_argument& e) {
        logLine(e.what());
    }
}

} // namespace corvane::sim
