#pragma once
// The simulator's command line: its options, the --help text and the motion
// the options choose.
#include "tools/sim/Faults.h"
#include "tools/sim/HeadMotion.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace corvane::sim {

struct Options {
    std::string link;
    std::string record;
    std::string timestamps;
    std::string motion = "still";
    int rate = 60;
    bool once = false;
    bool control = true;
    std::optional<std::uint32_t> seed;
    std::vector<FaultCommand> faults;
};

// Throws std::invalid_argument; prints the usage and returns nothing after --help.
std::optional<Options> parseOptions(int argc, char** argv);

// The motion that --motion names, its script read and checked. Logs the
// lines a Mouse Emulation packet cannot carry; throws std::invalid_argument.
HeadMotion makeHeadMotion(const Options& options);

} // namespace corvane::sim
