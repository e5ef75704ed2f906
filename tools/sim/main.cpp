// corvane-tracker-sim: plays the head tracker on a pseudo-terminal, so that
// Corvane can be run and measured without the device. See usage() below.
#include "tools/sim/Log.h"
#include "tools/sim/Motion.h"
#include "tools/sim/SimProtocol.h"
#include "tools/sim/Text.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/signalfd.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <random>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::sim {
namespace {

namespace fs = std::filesystem;
using Event = CommandParser::Event;

// How long a "!" waits for a following byte before it counts as a stop.
constexpr Nanos kFollowerWait = 50 * kMillisecond;
// The poll wakes this long before a packet is due; the last stretch is slept
// with an absolute deadline.
constexpr Nanos kWakeLead = 2 * kMillisecond;
// A packet half written when the driver stops reading is finished within this time or dropped.
constexpr Nanos kWriteGiveUp = 200 * kMillisecond;
// Packets this late are skipped rather than sent in a burst; "running late"
// is logged at most once per kLateReport.
constexpr Nanos kLateLimit = 100 * kMillisecond;
constexpr Nanos kLateReport = kSecond;
constexpr std::size_t kMaxControlLine = 4096;
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
  quit                 end (so do end of input, SIGINT and SIGTERM)
)";

struct BaudRate {
    int baud;
    speed_t speed;
};

constexpr BaudRate kBaudRates[] = {
    {50, B50},         {75, B75},         {110, B110},       {134, B134},       {150, B150},
    {200, B200},       {300, B300},       {600, B600},       {1200, B1200},     {1800, B1800},
    {2400, B2400},     {4800, B4800},     {9600, B9600},     {19200, B19200},   {38400, B38400},
    {57600, B57600},   {115200, B115200}, {230400, B230400}, {460800, B460800}, {921600, B921600},
};

std::optional<speed_t> speedOfBaud(int baud)
{
    for (const auto& rate : kBaudRates) {
        if (rate.baud == baud) {
            return rate.speed;
        }
    }
    return std::nullopt;
}

std::string describeSpeed(speed_t speed)
{
    for (const auto& rate : kBaudRates) {
        if (rate.speed == speed) {
            return std::to_string(rate.baud) + " baud";
        }
    }
    return "speed code " + std::to_string(static_cast<unsigned long>(speed));
}

// A fault or device command: "noise", "only-speed 9600" (also "only-speed=9600").
struct FaultCommand {
    enum class Kind { NoReply, Refuse, Noise, Lowercase, Vanish, Return, OnlySpeed, Clear };
    Kind kind;
    int baud = 0;
};

// Throws std::invalid_argument with a readable message.
FaultCommand parseFaultCommand(std::string_view text)
{
    text = trimmed(text);
    const std::size_t split = text.find_first_of(" \t=");
    const std::string_view name = text.substr(0, split);
    const std::string_view argument =
        split == std::string_view::npos ? std::string_view() : trimmed(text.substr(split + 1));

    using Kind = FaultCommand::Kind;
    static constexpr std::pair<std::string_view, Kind> kNames[] = {
        {"no-reply", Kind::NoReply}, {"refuse", Kind::Refuse}, {"noise", Kind::Noise},
        {"lowercase", Kind::Lowercase}, {"vanish", Kind::Vanish}, {"return", Kind::Return},
        {"only-speed", Kind::OnlySpeed}, {"clear", Kind::Clear},
    };
    const auto* found = std::find_if(std::begin(kNames), std::end(kNames),
                                     [&](const auto& entry) { return entry.first == name; });
    if (found == std::end(kNames)) {
        throw std::invalid_argument("unknown command " + inQuotes(text));
    }
    FaultCommand command{found->second};
    if (command.kind == Kind::OnlySpeed) {
        const auto baud = parseInt(argument);
        if (!baud || !speedOfBaud(*baud)) {
            throw std::invalid_argument("only-speed needs a line speed such as 9600 or 19200, not "
                                        + inQuotes(argument));
        }
        command.baud = *baud;
    } else if (!argument.empty()) {
        throw std::invalid_argument(std::string(name) + " takes no argument, found " + inQuotes(argument));
    }
    return command;
}

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

// Throws std::invalid_argument; returns nothing after --help.
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
                throw std::invalid_argument("--rate needs a whole number 1.." + std::to_string(kMaxRate)
                                            + ", not " + inQuotes(text));
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

Motion makeMotion(const Options& options)
{
    if (options.motion == "still") {
        return Motion::still();
    }
    if (options.motion == "circle") {
        return Motion::circle(options.rate);
    }
    if (options.motion.starts_with("script:")) {
        const std::string path = options.motion.substr(7);
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            throw std::invalid_argument("cannot read motion script " + inQuotes(path) + ": "
                                        + std::strerror(errno));
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
            return Motion::script(std::move(script), options.once);
        } catch (const std::invalid_argument& e) {
            throw std::invalid_argument("motion script " + path + ", " + e.what());
        }
    }
    throw std::invalid_argument("--motion is still, circle or script:FILE, not " + inQuotes(options.motion));
}

class Simulator {
public:
    Simulator(Options options, Motion motion, int signalFd)
        : options_(std::move(options)), motion_(std::move(motion)), signalFd_(signalFd),
          random_(options_.seed.value_or(std::random_device{}()))
    {
    }

    ~Simulator()
    {
        closeDevice();
        if (recordFd_ >= 0) {
            ::close(recordFd_);
        }
        if (timestamps_) {
            std::fclose(timestamps_);
        }
    }

    Simulator(const Simulator&) = delete;
    Simulator& operator=(const Simulator&) = delete;

    // Opens the output files and the device; throws std::runtime_error.
    void start()
    {
        if (!options_.record.empty()) {
            recordFd_ = ::open(options_.record.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
            if (recordFd_ < 0) {
                throw std::runtime_error(systemError("cannot write " + inQuotes(options_.record)));
            }
        }
        if (!options_.timestamps.empty()) {
            timestamps_ = std::fopen(options_.timestamps.c_str(), "we");
            if (!timestamps_) {
                throw std::runtime_error(systemError("cannot write " + inQuotes(options_.timestamps)));
            }
            std::fputs("# monotonic_ns mode lr ud ss\n", timestamps_);
            std::fflush(timestamps_);
        }
        if (!options_.link.empty()) {
            // Refuse to start rather than to replace something that is not a link.
            std::error_code error;
            const auto status = fs::symlink_status(options_.link, error);
            if (fs::exists(status) && !fs::is_symlink(status)) {
                throw std::runtime_error(inQuotes(options_.link) + " exists and is not a symbolic link");
            }
        }
        if (!openDevice()) {
            throw std::runtime_error("cannot provide the device");
        }
        logLine("motion " + options_.motion + ", " + std::to_string(options_.rate) + " packets/s");
        for (const auto& fault : options_.faults) {
            apply(fault);
        }
    }

    int run()
    {
        while (!quit_) {
            waitForInput();
            const Nanos now = monotonicNow();
            if (parser_.awaitingFollower() && now >= followerDeadline_) {
                handle(parser_.timeOut());
            }
            if (streaming_ && master_ >= 0 && now >= nextDeadline_ - kWakeLead) {
                const timespec due = toTimespec(nextDeadline_);
                while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &due, nullptr) == EINTR) {
                }
                sendPacket();
                scheduleNextPacket();
            }
        }
        return 0;
    }

private:
    void waitForInput()
    {
        const Nanos now = monotonicNow();
        std::optional<Nanos> wake;
        if (streaming_ && master_ >= 0) {
            wake = nextDeadline_ - kWakeLead;
        }
        if (parser_.awaitingFollower()) {
            wake = std::min(wake.value_or(followerDeadline_), followerDeadline_);
        }
        int timeoutMs = -1;
        if (wake) {
            const Nanos left = std::max<Nanos>(0, *wake - now);
            timeoutMs = static_cast<int>((left + kMillisecond - 1) / kMillisecond);
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
        const pollfd* controlEntry = watch(options_.control && !controlEnded_ ? STDIN_FILENO : -1);
        const pollfd* deviceEntry = watch(master_);

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
            readDevice();
        }
        if (controlEntry && controlEntry->revents) {
            readControl();
        }
    }

    // The device.

    bool openDevice()
    {
        int master = -1;
        int slave = -1;
        if (::openpty(&master, &slave, nullptr, nullptr, nullptr) < 0) {
            logLine(systemError("cannot open a pseudo-terminal"));
            return false;
        }
        char name[256] = {};
        termios raw{};
        if (::ptsname_r(master, name, sizeof name) != 0 || ::tcgetattr(slave, &raw) < 0) {
            logLine(systemError("cannot set up the pseudo-terminal"));
            ::close(master);
            ::close(slave);
            return false;
        }
        // No echo and no translation of CR or NL in either direction.
        ::cfmakeraw(&raw);
        ::cfsetispeed(&raw, B19200);
        ::cfsetospeed(&raw, B19200);
        ::tcsetattr(slave, TCSANOW, &raw);
        ::fcntl(master, F_SETFL, ::fcntl(master, F_GETFL) | O_NONBLOCK);
        ::fcntl(master, F_SETFD, FD_CLOEXEC);
        ::fcntl(slave, F_SETFD, FD_CLOEXEC);
        master_ = master;
        slave_ = slave;
        slavePath_ = name;

        if (!options_.link.empty() && !makeLink()) {
            closeDevice();
            return false;
        }
        logLine("device " + slavePath_ + (options_.link.empty() ? "" : " linked at " + options_.link));
        return true;
    }

    // Closes the terminal (the driver's port sees the device gone) and removes the link.
    void closeDevice()
    {
        if (master_ < 0) {
            return;
        }
        removeLink();
        ::close(master_);
        ::close(slave_);
        master_ = slave_ = -1;
        slavePath_.clear();
        resetDeviceState();
    }

    bool makeLink()
    {
        const fs::path link(options_.link);
        const fs::path temporary = link.string() + ".new-" + std::to_string(::getpid());
        std::error_code error;
        if (link.has_parent_path()) {
            fs::create_directories(link.parent_path(), error);
        }
        fs::remove(temporary, error);
        fs::create_symlink(slavePath_, temporary, error);
        if (!error) {
            const auto status = fs::symlink_status(link, error);
            error.clear();
            if (fs::exists(status) && !fs::is_symlink(status)) {
                fs::remove(temporary, error);
                logLine("cannot link: " + inQuotes(options_.link) + " exists and is not a symbolic link");
                return false;
            }
            fs::rename(temporary, link, error);
        }
        if (error) {
            logLine("cannot link " + inQuotes(options_.link) + " to " + slavePath_ + ": " + error.message());
            fs::remove(temporary, error);
            return false;
        }
        return true;
    }

    void removeLink()
    {
        if (options_.link.empty()) {
            return;
        }
        std::error_code error;
        const auto target = fs::read_symlink(options_.link, error);
        if (!error && target == slavePath_) {
            fs::remove(options_.link, error);
        }
    }

    void resetDeviceState()
    {
        stopStreaming();
        mode_ = TrackerMode::None;
        parser_.clear();
    }

    // The line speed the driver set, when the device only understands one.
    // Logs each change between understood and not understood.
    bool lineSpeedUnderstood()
    {
        if (!onlySpeed_) {
            return true;
        }
        termios settings{};
        if (slave_ < 0 || ::tcgetattr(slave_, &settings) < 0) {
            return false;
        }
        const speed_t speed = ::cfgetospeed(&settings);
        const bool understood = speed == *speedOfBaud(*onlySpeed_);
        if (!lastSpeedSeen_ || *lastSpeedSeen_ != speed) {
            lastSpeedSeen_ = speed;
            logLine("line speed " + describeSpeed(speed) + ": "
                    + (understood ? "understood" : "not understood (the device only understands "
                                                       + std::to_string(*onlySpeed_) + " baud)"));
        }
        return understood;
    }

    // Writes all of data, or nothing when the driver has stopped reading.
    bool writeDevice(std::string_view data)
    {
        std::size_t done = 0;
        const Nanos giveUp = monotonicNow() + kWriteGiveUp;
        bool discarded = false;
        while (done < data.size()) {
            const ssize_t n = ::write(master_, data.data() + done, data.size() - done);
            if (n > 0) {
                done += static_cast<std::size_t>(n);
                continue;
            }
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                if (!discarded) {
                    // The terminal is full of bytes the driver never read (its
                    // port is closed, or it stopped reading). A serial line
                    // would have lost them: so do we (the start of this packet
                    // too, so it is written again whole).
                    discarded = true;
                    done = 0;
                    ::tcflush(slave_, TCIFLUSH);
                    if (!discardingUnread_) {
                        discardingUnread_ = true;
                        logLine("the driver is not reading: discarding what it left unread");
                    }
                    continue;
                }
                if (done == 0 || monotonicNow() >= giveUp) {
                    return false;
                }
                pollfd out{master_, POLLOUT, 0};
                ::poll(&out, 1, 10);
                continue;
            }
            logLine(systemError("write to the device failed"));
            return false;
        }
        return true;
    }

    void readDevice()
    {
        char buffer[4096];
        while (master_ >= 0) {
            const ssize_t n = ::read(master_, buffer, sizeof buffer);
            if (n > 0) {
                received(std::string_view(buffer, static_cast<std::size_t>(n)));
                continue;
            }
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
                return;
            }
            // The terminal broke down (we hold its other side, so this is unexpected).
            logLine(n == 0 ? std::string("the device's terminal closed") : systemError("device read failed"));
            logLine("device vanished");
            closeDevice();
            return;
        }
    }

    void received(std::string_view bytes)
    {
        bytesReceived_ += bytes.size();
        discardingUnread_ = false;
        if (recordFd_ >= 0) {
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

        if (!lineSpeedUnderstood()) {
            logLine("received " + inQuotes(bytes) + ": not understood at this line speed");
            parser_.clear();
            return;
        }
        handle(parser_.feed(bytes));
        if (parser_.awaitingFollower()) {
            followerDeadline_ = monotonicNow() + kFollowerWait;
        }
        // Whatever a "!" turns out to start (stop, set-up or reset), the
        // stream ends with it: no need to wait for the rest.
        if (!parser_.idle()) {
            stopStreaming();
        }
    }

    void stopStreaming()
    {
        if (streaming_) {
            reportSkipped();
            streaming_ = false;
            logLine("stopped streaming");
        }
    }

    void handle(const std::vector<Event>& events)
    {
        for (const auto& event : events) {
            handle(event);
        }
    }

    void handle(const Event& event)
    {
        switch (event.kind) {
        case Event::Kind::SetUp:
            logLine("received " + inQuotes(event.text + "\r"));
            stopStreaming();
            answerSetUp(event.text);
            return;
        case Event::Kind::Start:
            logLine("received \"S\"");
            startStreaming();
            return;
        case Event::Kind::Stop:
            logLine("received \"!\"");
            stopStreaming();
            return;
        case Event::Kind::Reset:
            logLine("received \"!R\\r\"");
            stopStreaming();
            if (mode_ != TrackerMode::None) {
                logLine("reset: mode " + std::string(modeName(mode_)) + " forgotten");
            }
            mode_ = TrackerMode::None;
            return;
        case Event::Kind::Ignored:
            logLine("received " + inQuotes(event.text) + ": not a command, ignored");
            return;
        }
    }

    void answerSetUp(const std::string& command)
    {
        if (noReply_) {
            logLine("no reply (fault no-reply)");
            return;
        }
        const auto mode = modeOfSetUp(command);
        if (refuse_ || !mode) {
            if (writeDevice("E\r")) {
                logLine(std::string("sent refusal \"E\\r\" (")
                        + (refuse_ ? "fault refuse" : "no such tracker mode") + ")");
            }
            return;
        }
        if (!writeDevice("OK\r")) {
            logLine("could not send the ack: the driver is not reading");
            return;
        }
        mode_ = *mode;
        logLine("sent ack \"OK\\r\" (mode " + std::string(modeName(mode_)) + ")");
    }

    void startStreaming()
    {
        if (mode_ == TrackerMode::None) {
            logLine("not streaming: no mode has been set up");
            return;
        }
        if (streaming_) {
            return;
        }
        streaming_ = true;
        motion_.restart();
        streamStart_ = monotonicNow();
        packetIndex_ = 0;
        nextDeadline_ = streamStart_;
        logLine("streaming " + std::string(modeName(mode_)) + " at " + std::to_string(options_.rate) + "/s");
    }

    std::string noise()
    {
        std::uniform_int_distribution<int> chance(0, 2);
        if (chance(random_) != 0) {
            return {};
        }
        std::uniform_int_distribution<int> length(1, 3);
        std::string bytes;
        for (int n = length(random_); n > 0; --n) {
            if (mode_ == TrackerMode::EulerAngle) {
                // Any byte but the sync byte.
                bytes += static_cast<char>(std::uniform_int_distribution<int>(0, 254)(random_));
            } else {
                static constexpr std::string_view kNonHex = "GKXZgkxz*#?.-~ \n\x01\x7F\xC3";
                static constexpr std::string_view kDigits = "0123456789ABCDEF";
                const std::string_view from = chance(random_) == 0 ? kDigits : kNonHex;
                bytes += from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(random_)];
            }
        }
        return bytes;
    }

    void sendPacket()
    {
        if (!lineSpeedUnderstood()) {
            return;
        }
        const auto sample = motion_.next(mode_);
        if (!sample) {
            logLine("motion script finished");
            stopStreaming();
            return;
        }
        std::string bytes = noise_ ? noise() : std::string();
        if (mode_ == TrackerMode::MouseEmulation) {
            bytes += encodeMouseEmulation(sample->lr, sample->ud, lowercase_ ? HexCase::Lower : HexCase::Upper);
        } else {
            const EulerPacket packet = encodeEuler(sample->lr, sample->ud, sample->ss);
            bytes.append(packet.begin(), packet.end());
        }
        if (!writeDevice(bytes)) {
            if (droppedPackets_++ == 0) {
                logLine("the driver is not reading: dropping packets");
            }
            return;
        }
        const Nanos written = monotonicNow();
        ++packetsSent_;
        if (droppedPackets_ > 0) {
            logLine("the driver reads again; " + std::to_string(droppedPackets_) + " packets were dropped");
            droppedPackets_ = 0;
        }
        if (timestamps_) {
            std::fprintf(timestamps_, "%lld %s %d %d %d\n", static_cast<long long>(written),
                         mode_ == TrackerMode::MouseEmulation ? "me" : "euler", sample->lr, sample->ud,
                         sample->ss);
            std::fflush(timestamps_);
        }
    }

    // Deadlines are counted from the start of the stream, so rounding never adds up.
    void scheduleNextPacket()
    {
        const Nanos now = monotonicNow();
        ++packetIndex_;
        nextDeadline_ = streamStart_ + packetIndex_ * kSecond / options_.rate;
        if (now > nextDeadline_ + std::max(kLateLimit, kSecond / options_.rate)) {
            const long long due = (now - streamStart_) * options_.rate / kSecond + 1;
            skippedPackets_ += static_cast<std::uint64_t>(due - packetIndex_);
            packetIndex_ = due;
            nextDeadline_ = streamStart_ + packetIndex_ * kSecond / options_.rate;
            if (now - lastLateReport_ >= kLateReport) {
                reportSkipped();
                lastLateReport_ = now;
            }
        }
    }

    void reportSkipped()
    {
        if (skippedPackets_ > 0) {
            logLine("running late: " + std::to_string(skippedPackets_) + " packets skipped");
            skippedPackets_ = 0;
        }
    }

    // Control commands.

    std::string faultList() const
    {
        std::string list;
        const auto add = [&](bool on, const std::string& name) {
            if (on) {
                list += (list.empty() ? "" : ",") + name;
            }
        };
        add(noReply_, "no-reply");
        add(refuse_, "refuse");
        add(noise_, "noise");
        add(lowercase_, "lowercase");
        add(onlySpeed_.has_value(), "only-speed:" + std::to_string(onlySpeed_.value_or(0)));
        return list.empty() ? "none" : list;
    }

    void apply(const FaultCommand& command)
    {
        using Kind = FaultCommand::Kind;
        switch (command.kind) {
        case Kind::NoReply:
            noReply_ = true;
            break;
        case Kind::Refuse:
            refuse_ = true;
            break;
        case Kind::Noise:
            noise_ = true;
            break;
        case Kind::Lowercase:
            lowercase_ = true;
            break;
        case Kind::OnlySpeed:
            onlySpeed_ = command.baud;
            lastSpeedSeen_.reset();
            break;
        case Kind::Clear:
            noReply_ = refuse_ = noise_ = lowercase_ = false;
            onlySpeed_.reset();
            break;
        case Kind::Vanish:
            if (master_ < 0) {
                logLine("vanish: the device is already gone");
            } else {
                closeDevice();
                logLine("device vanished");
            }
            return;
        case Kind::Return:
            if (master_ >= 0) {
                logLine("return: the device is present");
            } else if (!openDevice()) {
                logLine("the device could not return");
            }
            return;
        }
        logLine("faults: " + faultList());
    }

    void readControl()
    {
        char buffer[1024];
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN) {
                return;
            }
            logLine(systemError("cannot read commands"));
        }
        if (n <= 0) {
            logLine("end of commands: ending");
            controlEnded_ = true;
            quit_ = true;
            return;
        }
        controlLine_.append(buffer, static_cast<std::size_t>(n));
        std::size_t end = 0;
        while (!quit_ && (end = controlLine_.find('\n')) != std::string::npos) {
            const std::string line = controlLine_.substr(0, end);
            controlLine_.erase(0, end + 1);
            command(line);
        }
        if (controlLine_.size() > kMaxControlLine) {
            logLine("command line too long, discarded");
            controlLine_.clear();
        }
    }

    void command(std::string_view line)
    {
        line = trimmed(line);
        if (line.empty()) {
            return;
        }
        if (line == "quit") {
            logLine("quit");
            quit_ = true;
            return;
        }
        if (line == "status") {
            std::printf("mode=%s streaming=%s faults=%s device=%s bytes-received=%llu packets-sent=%llu\n",
                        std::string(modeName(mode_)).c_str(), streaming_ ? "yes" : "no",
                        faultList().c_str(), master_ >= 0 ? slavePath_.c_str() : "gone",
                        static_cast<unsigned long long>(bytesReceived_),
                        static_cast<unsigned long long>(packetsSent_));
            std::fflush(stdout);
            return;
        }
        try {
            apply(parseFaultCommand(line));
        } catch (const std::invalid_argument& e) {
            logLine(e.what());
        }
    }

    Options options_;
    Motion motion_;
    int signalFd_;
    std::mt19937 random_;
    CommandParser parser_;

    int master_ = -1;
    int slave_ = -1;
    std::string slavePath_;
    int recordFd_ = -1;
    std::FILE* timestamps_ = nullptr;

    TrackerMode mode_ = TrackerMode::None;
    bool streaming_ = false;
    Nanos streamStart_ = 0;
    long long packetIndex_ = 0;
    Nanos nextDeadline_ = 0;
    Nanos followerDeadline_ = 0;

    bool noReply_ = false;
    bool refuse_ = false;
    bool noise_ = false;
    bool lowercase_ = false;
    std::optional<int> onlySpeed_;
    std::optional<speed_t> lastSpeedSeen_;

    std::uint64_t bytesReceived_ = 0;
    std::uint64_t packetsSent_ = 0;
    std::uint64_t droppedPackets_ = 0;
    std::uint64_t skippedPackets_ = 0;
    Nanos lastLateReport_ = 0;
    bool discardingUnread_ = false;
    std::string controlLine_;
    bool controlEnded_ = false;
    bool quit_ = false;
};

int runSimulator(int argc, char** argv)
{
    startLogClock();
    std::optional<Options> options;
    std::optional<Motion> motion;
    try {
        options = parseOptions(argc, argv);
        if (!options) {
            return 0;
        }
        motion = makeMotion(*options);
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
    const int signalFd = ::signalfd(-1, &signals, SFD_CLOEXEC);
    if (signalFd < 0) {
        std::perror("corvane-tracker-sim: signalfd");
        return 1;
    }

    int status = 0;
    try {
        Simulator simulator(std::move(*options), std::move(*motion), signalFd);
        simulator.start();
        status = simulator.run();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "corvane-tracker-sim: %s\n", e.what());
        status = 1;
    }
    ::close(signalFd);
    return status;
}

} // namespace
} // namespace corvane::sim

int main(int argc, char** argv)
{
    return corvane::sim::runSimulator(argc, argv);
}
