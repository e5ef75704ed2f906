// corvane-tracker-sim: plays the head tracker on a pseudo-terminal, so that
// Corvane can be run and measured without the device. `--help` tells how.
//
// One thread waits on three inputs, the signals, the control commands on
// standard input and the terminal, and wakes early for whatever the device
// has due: the next packet or the decision on a "!".
#include "tools/sim/Control.h"
#include "tools/sim/Device.h"
#include "tools/sim/HeadMotion.h"
#include "tools/sim/Log.h"
#include "tools/sim/Options.h"

#include <poll.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <exception>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

namespace corvane::sim {
namespace {

class MainLoop {
public:
    MainLoop(Device& device, bool controlled, int signalFd)
        : device_(device), control_(device), controlled_(controlled), signalFd_(signalFd)
    {
    }

    int run()
    {
        while (!quit_) {
            waitForInput();
            device_.onTime(monotonicNow());
        }
        return 0;
    }

private:
    void waitForInput()
    {
        const Nanos now = monotonicNow();
        const std::optional<Nanos> wake = device_.wakeTime();
        int timeoutMs = -1;
        if (wake) {
            const Nanos left = std::max<Nanos>(0, *wake - now);
            timeoutMs = static_cast<int>((left + kMillisecond - 1) / kMillisecond);
        }
        // In the background of its terminal it looks now and then whether it
        // has been brought to the foreground, where commands are read again.
        const bool listening = controlled_ && control_.listening();
        if (controlled_ && control_.inBackground()) {
            timeoutMs = timeoutMs < 0 ? kForegroundCheckMs : std::min(timeoutMs, kForegroundCheckMs);
        }

        pollfd fds[3] = {};
        nfds_t count = 0;
        const auto watch = [&](int fd) -> pollfd* {
            if (fd < 0) {
                return nullptr;
            }
            fds[count] = {fd, POLLIN, 0};
            return &fds[count++];
        };
        const pollfd* signalEntry = watch(signalFd_);
        const pollfd* controlEntry = watch(listening ? STDIN_FILENO : -1);
        const pollfd* deviceEntry = watch(device_.terminalFd());

        if (::poll(fds, count, timeoutMs) < 0) {
            if (errno != EINTR) {
                logLine(systemError("poll failed"));
                quit_ = true;
            }
            return;
        }
        if (signalEntry && signalEntry->revents) {
            signalfd_siginfo info{};
            if (::read(signalFd_, &info, sizeof info) > 0) {
                logLine(std::string("signal ") + strsignal(static_cast<int>(info.ssi_signo)) + ": ending");
            }
            quit_ = true;
            return;
        }
        // The device first: its bytes arrived before the command typed meanwhile.
        if (deviceEntry && deviceEntry->revents) {
            device_.readTerminal();
        }
        if (controlEntry && controlEntry->revents) {
            control_.read();
            quit_ = control_.quitAsked();
        }
    }

    static constexpr int kForegroundCheckMs = 250;

    Device& device_;
    Control control_;
    bool controlled_;
    int signalFd_;
    bool quit_ = false;
};

int runSimulator(int argc, char** argv)
{
    startLogClock();
    std::optional<Options> options;
    std::optional<HeadMotion> motion;
    try {
        options = parseOptions(argc, argv);
        if (!options) {
            return 0;
        }
        motion = makeHeadMotion(*options);
    } catch (const std::invalid_argument& e) {
        std::fprintf(stderr, "corvane-tracker-sim: %s\n(--help lists the options)\n", e.what());
        return 2;
    }

    // Signals arrive through a descriptor, so the loop ends cleanly and removes the link.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGHUP);
    sigprocmask(SIG_BLOCK, &signals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    // Job control never stops it: the driver would wait for its answers.
    // Standard input is not read in the background of its terminal (a read
    // that happens all the same fails), and its log is written there as it
    // would be without "stty tostop".
    std::signal(SIGTTIN, SIG_IGN);
    std::signal(SIGTTOU, SIG_IGN);
    const int signalFd = ::signalfd(-1, &signals, SFD_CLOEXEC);
    if (signalFd < 0) {
        std::perror("corvane-tracker-sim: signalfd");
        return 1;
    }

    int status = 0;
    try {
        const bool controlled = options->control;
        Device device(std::move(*options), std::move(*motion));
        device.start();
        status = MainLoop(device, controlled, signalFd).run();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "corvane-tracker-sim: %s\n", e.what());
        status = 1;
    }
    ::close(signalFd);
    return status;
}

} // namespace
} // namespace corvane::sim

int main(int argc, char** argv) { return corvane::sim::runSimulator(argc, argv); }
