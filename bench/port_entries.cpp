#include "bench/port_entries.h"

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <thread>

namespace corvane::bench {

void linkPortsNowhere(const std::filesystem::path& folder, int first, int last)
{
    for (int n = first; n <= last; ++n)
        std::filesystem::create_symlink(folder / "no-device", folder / ("com" + std::to_string(n)));
}

SilentTerminal::SilentTerminal()
{
    master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    const char* name = master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0 ? nullptr
                                                                                          : ::ptsname(master_);
    if (name != nullptr) {
        device_ = name;
        slave_ = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    }
    if (slave_ < 0) {
        const std::string why = std::strerror(errno);
        if (master_ >= 0)
            ::close(master_);
        throw BenchError{"cannot open a pseudo-terminal: " + why};
    }
}

SilentTerminal::~SilentTerminal()
{
    ::close(slave_);
    ::close(master_);
}

void SilentTerminal::discardFor(Millis duration)
{
    const auto deadline = std::chrono::steady_clock::now() + duration;
    for (;;) {
        const auto left = std::chrono::duration_cast<Millis>(deadline - std::chrono::steady_clock::now()).count();
        if (left <= 0)
            return;
        pollfd p{master_, POLLIN, 0};
        if (::poll(&p, 1, static_cast<int>(left)) <= 0)
            continue;
        char bytes[256];
        ssize_t got = 0;
        while ((got = ::read(master_, bytes, sizeof bytes)) > 0)
            received_ += static_cast<std::size_t>(got);
        // Hung up or failed rather than readable: looked at again a little
        // later, not at once, so that the benchmark does not spin.
        if ((p.revents & POLLIN) == 0)
            std::this_thread::sleep_for(Millis(10));
    }
}

} // namespace corvane::bench
