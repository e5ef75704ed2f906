#include "tools/sim/Options.h"

#include "tools/sim/Log.h"
#include "tools/sim/Text.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <utility>

namespace corvane::sim {

namespace {

constexpr int kMaxRate = 1000;

const char* const kUsage = R"(usage: corvane-tracker-sim [options]

Plays a serial head tracker on a pseudo-terminal. The driver's set-up command
("!M3,..." Mouse Emulation or "!M2,..." Euler Angle, ended by a carriage
return) is acknowledged with "OK\r"; "S" starts the packet stream of that
mode, "!" stops it and "!R\r" resets the device.

options:
  --link PATH          make PATH a symbolic link to the terminal (removed on exit)
  --record FILE        write every byte received, raw, in arrival order
  --timestamps FILE    one line per packet: CLOCK_MONOTONIC ns after its last
                       byte was written, the mode and the packet's values
  --motion KIND        still (default), circle, or script:FILE with one
                       "lr ud ss" line per packet ('#' lines are comments)
  --once               play the script once, then stop streaming
  --rate N             packets per second, 1..1000 (default 60)
  --fault NAME         start with a fault (repeatable); see below
  --seed N             seed of the noise fault's random bytes
  --no-control         do not read commands from standard input
  --help

commands on standard input, one per line (also valid for --fault):
  no-reply             never acknowledge a set-up command
  refuse               answer "E\r" to set-up commands
  noise                put random non-hex bytes and stray digits between packets
  lowercase            write Mouse Emulation hex letters in lower case
  vanish               close the terminal and remove the link
  return               open a new terminal and link it again
  only-speed BAUD      understand nothing unless the line is set to BAUD
  clear                remove all faults
  status               print the device state on standard output
  quit                 end (so do SIGINT, SIGTERM and the end of input)

Commands are read from a terminal only while the simulator runs in its
foreground: started in the background ("&"), it leaves the terminal's input
to the shell and reads commands once brought to the foreground ("fg"). The
end of input ends it when standard input is a pipe, a socket or a terminal
(Ctrl-D); from anything else, such as the /dev/null of a script's background
commands, the simulator runs on until SIGINT or SIGTERM.
)";

} // namespace

std::optional<Options> parseOptions(int argc, char** argv)
{
    Options options;
    const std::vector<std::string> args(argv + 1, argv + argc);
    for (std::size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        std::optional<std::string> inlineValue;
        if (const auto eq = name.find('='); name.starts_with("--") && eq != std::string::npos) {
            inlineValue = name.substr(eq + 1);
            name.resize(eq);
        }
        const auto value = [&]() -> std::string {
            if (inlineValue) {
                return *inlineValue;
            }
            if (i + 1 >= args.size()) {
                throw std::invalid_argument(name + " needs a value");
            }
            return args[++i];
        };
        const auto flag = [&] {
            if (inlineValue) {
                throw std::invalid_argument(name + " takes no value");
            }
        };

        if (name == "--help" || name == "-h") {
            std::fputs(kUsage, stdout);
            return std::nullopt;
        } else if (name == "--link") {
            options.link = value();
        } else if (name == "--record") {
            options.record = value();
        } else if (name == "--timestamps") {
            options.timestamps = value();
        } else if (name == "--motion") {
            options.motion = value();
        } else if (name == "--once") {
            flag();
            options.once = true;
        } else if (name == "--no-control") {
            flag();
            options.control = false;
        } else if (name == "--rate") {
            const std::string text = value();
            const auto rate = parseInt(text);
            if (!rate || *rate < 1 || *rate > kMaxRate) {
                throw std::invalid_argument("--rate needs a whole number 1.." + std::to_string(kMaxRate) + ", not "
                                            + inQuotes(text));
            }
            options.rate = *rate;
        } else if (name == "--seed") {
            const std::string text = value();
            std::uint32_t seed = 0;
            const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), seed);
            if (error != std::errc() || end != text.data() + text.size()) {
                throw std::invalid_argument("--seed needs a whole number, not " + inQuotes(text));
            }
            options.seed = seed;
        } else if (name == "--fault") {
            std::string text = value();
            // "--fault only-speed 9600" as two arguments.
            if (text == "only-speed" && i + 1 < args.size() && parseInt(args[i + 1])) {
                text += " " + args[++i];
            }
            options.faults.push_back(parseFaultCommand(text));
        } else {
            throw std::invalid_argument("unknown option " + inQuotes(args[i]));
        }
    }
    return options;
}

HeadMotion makeHeadMotion(const Options& options)
{
    if (options.motion == "still") {
        return HeadMotion::still();
    }
    if (options.motion == "circle") {
        return HeadMotion::circle(options.rate);
    }
    if (options.motion.starts_with("script:")) {
        const std::string path = options.motion.substr(7);
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            throw std::invalid_argument("cannot read motion script " + inQuotes(path) + ": " + std::strerror(errno));
        }
        const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        try {
            MotionScript script = parseMotionScript(text);
            // Euler Angle scripts hold angles, far beyond one Mouse Emulation
            // packet: name the first such line and count the rest.
            const auto warnings = mouseEmulationRangeWarnings(script);
            if (!warnings.empty()) {
                logLine("motion script " + path + ", " + warnings.front()
                        + (warnings.size() > 1 ? " (and " + std::to_string(warnings.size() - 1) + " more lines)" : ""));
            }
            return HeadMotion::script(std::move(script), options.once);
        } catch (const std::invalid_argument& e) {
            throw std::invalid_argument("motion script " + path + ", " + e.what());
        }
    }
    throw std::invalid_argument("--motion is still, circle or script:FILE, not " + inQuotes(options.motion));
}

} // namespace corvane::sim
