#pragma once
// The commands read on standard input, one per line: "status", "quit" and
// the fault commands.
//
// What standard input is decides how it is read. A pipe or a socket is a
// program driving the simulator: its end ends the simulator. A terminal is
// read only while the simulator runs in its foreground (started there, or
// brought there with fg): in the background its input belongs to the shell,
// and reading it would stop the simulator. Its end (Ctrl-D) ends the
// simulator too. Anything else (/dev/null, as a script's background commands
// get, or a file) is read to its end, and the simulator runs on.
#include "tools/sim/Device.h"

#include <string>
#include <string_view>

namespace corvane::sim {

class Control {
public:
    explicit Control(Device& device);

    // Whether standard input is to be watched now: not after its end, nor
    // while the simulator is in the background of its terminal.
    bool listening();

    // The simulator was in the background of its terminal when last looked:
    // it is to look again soon whether it has come to the foreground.
    bool inBackground() const { return inBackground_; }

    // Reads what standard input holds and carries out each complete line.
    void read();

    // "quit" or the end of input asked the simulator to end.
    bool quitAsked() const { return quit_; }

private:
    void command(std::string_view line);

    Device& device_;
    std::string pending_;
    bool terminal_ = false;
    bool endIsQuit_ = false; // the end of input ends the simulator
    bool inBackground_ = false;
    bool ended_ = false;
    bool quit_ = false;
};

} // namespace corvane::sim
