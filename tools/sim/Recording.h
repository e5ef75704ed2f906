#pragma once
// The files that show what went over the line: every byte the driver wrote
// (--record) and the time and values of every packet sent (--timestamps).
#include "tools/sim/HeadMotion.h"
#include "tools/sim/Log.h"
#include "tools/sim/SimProtocol.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace corvane::sim {

class Recording {
public:
    Recording() = default;
    ~Recording();

    Recording(const Recording&) = delete;
    Recording& operator=(const Recording&) = delete;

    // Creates each file whose path is not empty; throws std::runtime_error.
    void open(const std::string& recordPath, const std::string& timestampsPath);

    // Appends the bytes raw. A failed write is logged and ends the recording.
    void received(std::string_view bytes);

    // `written`: the monotonic time after the packet's last byte was written.
    void packetSent(Nanos written, TrackerMode mode, const Sample& sample);

private:
    int recordFd_ = -1;
    std::FILE* timestamps_ = nullptr;
};

} // namespace corvane::sim
