#include "tools/sim/Recording.h"

#include "tools/sim/Text.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace corvane::sim {

Recording::~Recording()
{
    if (recordFd_ >= 0) {
        ::close(recordFd_);
    }
    if (timestamps_) {
        std::fclose(timestamps_);
    }
}

void Recording::open(const std::string& recordPath, const std::string& timestampsPath)
{
    if (!recordPath.empty()) {
        recordFd_ = ::open(recordPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (recordFd_ < 0) {
            throw std::runtime_error(systemError("cannot write " + inQuotes(recordPath)));
        }
    }
    if (!timestampsPath.empty()) {
        timestamps_ = std::fopen(timestampsPath.c_str(), "we");
        if (!timestamps_) {
            throw std::runtime_error(systemError("cannot write " + inQuotes(timestampsPath)));
        }
        std::fputs("# monotonic_ns mode lr ud ss\n", timestamps_);
        std::fflush(timestamps_);
    }
}

void Recording::received(std::string_view bytes)
{
    if (recordFd_ < 0) {
        return;
    }
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(recordFd_, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            logLine(systemError("cannot write the record file; recording stopped"));
            ::close(recordFd_);
            recordFd_ = -1;
            break;
        }
        done += static_cast<std::size_t>(n);
    }
}

void Recording::packetSent(Nanos written, TrackerMode mode, const Sample& sample)
{
    if (!timestamps_) {
        return;
    }
    std::fprintf(timestamps_, "%lld %s %d %d %d\n", static_cast<long long>(written),
                 mode == TrackerMode::MouseEmulation ? "me" : "euler", sample.lr, sample.ud, sample.ss);
    std::fflush(timestamps_);
}

} // namespace corvane::sim
