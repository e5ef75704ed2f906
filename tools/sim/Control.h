#pragma once
// The commands read on standard input, one per line: "status", "quit" and
// the fault commands.
#include "tools/sim/Device.h"

#include <string>
#include <string_view>

namespace corvane::sim {

class Control {
public:
    explicit Control(Device& device) : device_(device) {}

    // Reads what standard input holds and carries out each complete line.
    void read();

    // Standard input has ended: it is not to be watched any more.
    bool ended() const { return ended_; }

    // "quit" or the end of input asked the simulator to end.
    bool quitAsked() const { return quit_; }

private:
    void command(std::string_view line);

    Device& device_;
    std::string pending_;
    bool ended_ = false;
    bool quit_ = false;
};

} // namespace corvane::sim
