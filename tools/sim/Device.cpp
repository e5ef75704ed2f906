#include "tools/sim/Device.h"

#include "tools/sim/Text.h"

#include <algorithm>
#include <cerrno>
#include <stdexcept>
#include <utility>

namespace corvane::sim {

namespace {

// How long a "!" waits for a following byte before it counts as a stop.
constexpr Nanos kFollowerWait = 50 * kMillisecond;
// The main loop wakes this long before a packet is due; the last stretch is
// slept with an absolute deadline.
constexpr Nanos kWakeLead = 2 * kMillisecond;
// Packets this late are skipped rather than sent in a burst; "running late"
// is logged at most once per kLateReport.
constexpr Nanos kLateLimit = 100 * kMillisecond;
constexpr Nanos kLateReport = kSecond;

} // namespace

Device::Device(Options options, HeadMotion motion)
    : options_(std::move(options)), motion_(std::move(motion)), random_(options_.seed.value_or(std::random_device{}())),
      terminal_(options_.link)
{
}

Device::~Device() { closeTerminal(); }

void Device::start()
{
    recording_.open(options_.record, options_.timestamps);
    terminal_.checkLinkPlace();
    if (!terminal_.open()) {
        throw std::runtime_error("cannot provide the device");
    }
    logLine("motion " + options_.motion + ", " + std::to_string(options_.rate) + " packets/s");
    for (const auto& fault : options_.faults) {
        apply(fault);
    }
}

std::optional<Nanos> Device::wakeTime() const
{
    std::optional<Nanos> wake;
    if (streaming_ && terminal_.present()) {
        wake = nextDeadline_ - kWakeLead;
    }
    if (parser_.awaitingFollower()) {
        wake = std::min(wake.value_or(followerDeadline_), followerDeadline_);
    }
    return wake;
}

void Device::onTime(Nanos now)
{
    if (parser_.awaitingFollower() && now >= followerDeadline_) {
        handle(parser_.timeOut());
    }
    if (streaming_ && terminal_.present() && now >= nextDeadline_ - kWakeLead) {
        const timespec due = toTimespec(nextDeadline_);
        while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &due, nullptr) == EINTR) {
        }
        sendPacket();
        scheduleNextPacket();
    }
}

// The terminal.

// A device that goes away forgets its mode and any command half read.
void Device::closeTerminal()
{
    if (!terminal_.present()) {
        return;
    }
    terminal_.close();
    stopStreaming();
    mode_ = TrackerMode::None;
    parser_.clear();
}

// The line speed the driver set, when the device only understands one.
// Logs each change between understood and not understood.
bool Device::lineSpeedUnderstood()
{
    if (!faults_.onlySpeed) {
        return true;
    }
    const auto speed = terminal_.lineSpeed();
    if (!speed) {
        return false;
    }
    const bool understood = *speed == *speedOfBaud(*faults_.onlySpeed);
    if (!lastSpeedSeen_ || *lastSpeedSeen_ != *speed) {
        lastSpeedSeen_ = *speed;
        logLine("line speed " + describeSpeed(*speed) + ": "
                + (understood ? "understood"
                              : "not understood (the device only understands " + std::to_string(*faults_.onlySpeed)
                                    + " baud)"));
    }
    return understood;
}

void Device::readTerminal()
{
    while (terminal_.present()) {
        const Terminal::Input input = terminal_.read();
        if (input.kind == Terminal::Input::Kind::Drained) {
            return;
        }
        if (input.kind == Terminal::Input::Kind::Broken) {
            logLine("device vanished");
            closeTerminal();
            return;
        }
        received(input.bytes);
    }
}

// The driver's commands.

void Device::received(std::string_view bytes)
{
    bytesReceived_ += bytes.size();
    recording_.received(bytes);

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

void Device::handle(const std::vector<Event>& events)
{
    for (const auto& event : events) {
        handle(event);
    }
}

void Device::handle(const Event& event)
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

void Device::answerSetUp(const std::string& command)
{
    if (faults_.noReply) {
        logLine("no reply (fault no-reply)");
        return;
    }
    const auto mode = modeOfSetUp(command);
    if (faults_.refuse || !mode) {
        if (terminal_.write("E\r")) {
            logLine(std::string("sent refusal \"E\\r\" (") + (faults_.refuse ? "fault refuse" : "no such tracker mode")
                    + ")");
        }
        return;
    }
    if (!terminal_.write("OK\r")) {
        logLine("could not send the ack: the driver is not reading");
        return;
    }
    mode_ = *mode;
    logLine("sent ack \"OK\\r\" (mode " + std::string(modeName(mode_)) + ")");
}

// The packet stream.

void Device::startStreaming()
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

void Device::stopStreaming()
{
    if (streaming_) {
        reportSkipped();
        streaming_ = false;
        logLine("stopped streaming");
    }
}

std::string Device::noise()
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

void Device::sendPacket()
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
    std::string bytes = faults_.noise ? noise() : std::string();
    if (mode_ == TrackerMode::MouseEmulation) {
        bytes += encodeMouseEmulation(sample->lr, sample->ud, faults_.lowercase ? HexCase::Lower : HexCase::Upper);
    } else {
        const EulerPacket packet = encodeEuler(sample->lr, sample->ud, sample->ss);
        bytes.append(packet.begin(), packet.end());
    }
    if (!terminal_.write(bytes)) {
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
    recording_.packetSent(written, mode_, *sample);
}

// Deadlines are counted from the start of the stream, so rounding never adds up.
void Device::scheduleNextPacket()
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

void Device::reportSkipped()
{
    if (skippedPackets_ > 0) {
        logLine("running late: " + std::to_string(skippedPackets_) + " packets skipped");
        skippedPackets_ = 0;
    }
}

// Faults and status.

void Device::apply(const FaultCommand& command)
{
    using Kind = FaultCommand::Kind;
    switch (command.kind) {
    case Kind::NoReply:
        faults_.noReply = true;
        break;
    case Kind::Refuse:
        faults_.refuse = true;
        break;
    case Kind::Noise:
        faults_.noise = true;
        break;
    case Kind::Lowercase:
        faults_.lowercase = true;
        break;
    case Kind::OnlySpeed:
        faults_.onlySpeed = command.baud;
        lastSpeedSeen_.reset();
        break;
    case Kind::Clear:
        faults_ = ActiveFaults{};
        break;
    case Kind::Vanish:
        if (!terminal_.present()) {
            logLine("vanish: the device is already gone");
        } else {
            closeTerminal();
            logLine("device vanished");
        }
        return;
    case Kind::Return:
        if (terminal_.present()) {
            logLine("return: the device is present");
        } else if (!terminal_.open()) {
            logLine("the device could not return");
        }
        return;
    }
    logLine("faults: " + faults_.list());
}

std::string Device::status() const
{
    return "mode=" + std::string(modeName(mode_)) + " streaming=" + (streaming_ ? "yes" : "no")
         + " faults=" + faults_.list() + " device=" + (terminal_.present() ? terminal_.path() : "gone")
         + " bytes-received=" + std::to_string(bytesReceived_) + " packets-sent=" + std::to_string(packetsSent_) + "\n";
}

} // namespace corvane::sim
