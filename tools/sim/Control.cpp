#include "tools/sim/Control.h"

#include "tools/sim/Log.h"
#include "tools/sim/Text.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <stdexcept>

namespace corvane::sim {

namespace {

// A longer line without its end is dropped.
constexpr std::size_t kMaxControlLine = 4096;

} // namespace

Control::Control(Device& device) : device_(device)
{
    struct stat input {};
    if (::fstat(STDIN_FILENO, &input) != 0) {
        ended_ = true; // closed: there is nothing to read
        return;
    }
    terminal_ = ::isatty(STDIN_FILENO) == 1;
    endIsQuit_ = terminal_ || S_ISFIFO(input.st_mode) || S_ISSOCK(input.st_mode);
}

bool Control::listening()
{
    if (ended_) {
        return false;
    }
    // A terminal that is not the one the simulator's session controls
    // (tcgetpgrp fails) has no foreground to wait for.
    const pid_t foreground = terminal_ ? ::tcgetpgrp(STDIN_FILENO) : -1;
    inBackground_ = foreground >= 0 && foreground != ::getpgrp();
    return !inBackground_;
}

void Control::read()
{
    char buffer[1024];
    const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (n < 0) {
        if (errno == EINTR || errno == EAGAIN) {
            return;
        }
        // Moved to the background between the look and the read: SIGTTIN is
        // ignored, so the read fails instead of stopping the simulator.
        if (errno == EIO && terminal_) {
            inBackground_ = true;
            return;
        }
        logLine(systemError("cannot read commands"));
    }
    if (n <= 0) {
        ended_ = true;
        quit_ = endIsQuit_;
        logLine(quit_ ? "end of commands: ending" : "end of commands: running on until SIGINT or SIGTERM");
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
