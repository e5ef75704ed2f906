#include "tools/sim/Terminal.h"

#include "tools/sim/Log.h"
#include "tools/sim/Text.h"

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <stdexcept>
#include <system_error>
#include <utility>

namespace corvane::sim {

namespace {

namespace fs = std::filesystem;

// A packet half written when the driver stops reading is finished within this time or dropped.
constexpr Nanos kWriteGiveUp = 200 * kMillisecond;

struct BaudRate {
    int baud;
    speed_t speed;
};

constexpr BaudRate kBaudRates[] = {
    {50, B50},       {75, B75},         {110, B110},       {134, B134},       {150, B150},
    {200, B200},     {300, B300},       {600, B600},       {1200, B1200},     {1800, B1800},
    {2400, B2400},   {4800, B4800},     {9600, B9600},     {19200, B19200},   {38400, B38400},
    {57600, B57600}, {115200, B115200}, {230400, B230400}, {460800, B460800}, {921600, B921600},
};

} // namespace

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

Terminal::Terminal(std::string link) : link_(std::move(link)) {}

Terminal::~Terminal() { close(); }

void Terminal::checkLinkPlace() const
{
    if (link_.empty()) {
        return;
    }
    std::error_code error;
    const auto status = fs::symlink_status(link_, error);
    if (fs::exists(status) && !fs::is_symlink(status)) {
        throw std::runtime_error(inQuotes(link_) + " exists and is not a symbolic link");
    }
}

bool Terminal::open()
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

    if (!link_.empty() && !makeLink()) {
        close();
        return false;
    }
    logLine("device " + slavePath_ + (link_.empty() ? "" : " linked at " + link_));
    return true;
}

void Terminal::close()
{
    if (master_ < 0) {
        return;
    }
    removeLink();
    ::close(master_);
    ::close(slave_);
    master_ = slave_ = -1;
    slavePath_.clear();
}

// The link is made beside its place and renamed over it, so that the driver
// never finds it missing or half made.
bool Terminal::makeLink()
{
    const fs::path link(link_);
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
            logLine("cannot link: " + inQuotes(link_) + " exists and is not a symbolic link");
            return false;
        }
        fs::rename(temporary, link, error);
    }
    if (error) {
        logLine("cannot link " + inQuotes(link_) + " to " + slavePath_ + ": " + error.message());
        fs::remove(temporary, error);
        return false;
    }
    return true;
}

void Terminal::removeLink()
{
    if (link_.empty()) {
        return;
    }
    std::error_code error;
    const auto target = fs::read_symlink(link_, error);
    if (!error && target == slavePath_) {
        fs::remove(link_, error);
    }
}

Terminal::Input Terminal::read()
{
    for (;;) {
        const ssize_t n = ::read(master_, buffer_, sizeof buffer_);
        if (n > 0) {
            discardingUnread_ = false;
            return {Input::Kind::Bytes, std::string_view(buffer_, static_cast<std::size_t>(n))};
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            return {Input::Kind::Drained, {}};
        }
        // The terminal broke down (we hold its other side, so this is unexpected).
        logLine(n == 0 ? std::string("the device's terminal closed") : systemError("device read failed"));
        return {Input::Kind::Broken, {}};
    }
}

bool Terminal::write(std::string_view data)
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

std::optional<speed_t> Terminal::lineSpeed() const
{
    termios settings{};
    if (slave_ < 0 || ::tcgetattr(slave_, &settings) < 0) {
        return std::nullopt;
    }
    return ::cfgetospeed(&settings);
}

} // namespace corvane::sim
