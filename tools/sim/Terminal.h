#pragma once
// The pseudo-terminal that stands for the tracker's serial port. The driver
// opens its slave side, by its own name or through a symbolic link that the
// simulator keeps pointing at it; the simulator reads and writes the master
// side, never blocking.
#include <termios.h>

#include <optional>
#include <string>
#include <string_view>

namespace corvane::sim {

// The terminal speed code of a line speed in baud; none for a speed it lacks.
std::optional<speed_t> speedOfBaud(int baud);

// "9600 baud", or the raw code of a speed that has no baud rate here.
std::string describeSpeed(speed_t speed);

class Terminal {
public:
    // `link`: where to link the terminal; empty for no link.
    explicit Terminal(std::string link);
    ~Terminal();

    Terminal(const Terminal&) = delete;
    Terminal& operator=(const Terminal&) = delete;

    // Throws std::runtime_error when something other than a symbolic link is
    // in the link's place: the simulator will not replace it.
    void checkLinkPlace() const;

    // Opens a new terminal (raw, 19200 baud) and links it. Logs why and
    // returns false when it cannot.
    bool open();

    // Closes the terminal (the driver's port sees the device gone) and removes
    // the link when it still points here.
    void close();

    bool present() const { return master_ >= 0; }
    // The master side, -1 while there is no terminal.
    int fd() const { return master_; }
    // The slave side's name, empty while there is no terminal.
    const std::string& path() const { return slavePath_; }

    struct Input {
        enum class Kind { Bytes, Drained, Broken };
        Kind kind;
        std::string_view bytes; // Bytes: valid until the next read
    };
    // One read of what the driver wrote. Broken: the terminal failed (logged);
    // it stays open until close().
    Input read();

    // Writes all of data, or nothing when the driver has stopped reading.
    bool write(std::string_view data);

    // The output speed the driver set on its side; none without a terminal.
    std::optional<speed_t> lineSpeed() const;

private:
    bool makeLink();
    void removeLink();

    std::string link_;
    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
    bool discardingUnread_ = false;
    char buffer_[4096] = {};
};

} // namespace corvane::sim
