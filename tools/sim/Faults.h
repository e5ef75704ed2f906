#pragma once
// The faults the simulated device can play, and the commands that switch them
// (the same words on standard input and after --fault).
#include <optional>
#include <string>
#include <string_view>

namespace corvane::sim {

// A fault or device command: "noise", "only-speed 9600" (also "only-speed=9600").
struct FaultCommand {
    enum class Kind { NoReply, Refuse, Noise, Lowercase, Vanish, Return, OnlySpeed, Clear };
    Kind kind;
    int baud = 0;
};

// Throws std::invalid_argument with a readable message.
FaultCommand parseFaultCommand(std::string_view text);

// The faults that last until they are cleared.
struct ActiveFaults {
    bool noReply = false;
    bool refuse = false;
    bool noise = false;
    bool lowercase = false;
    std::optional<int> onlySpeed;

    // "none", or the names joined by commas, as in "noise,only-speed:9600".
    std::string list() const;
};

} // namespace corvane::sim
