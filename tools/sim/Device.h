#pragma once
// The simulated tracker: reads the driver's commands from the terminal,
// answers the set-up, streams the packets of the mode set up at the chosen
// rate and plays the faults.
#include "tools/sim/Faults.h"
#include "tools/sim/HeadMotion.h"
#include "tools/sim/Log.h"
#include "tools/sim/Options.h"
#include "tools/sim/Recording.h"
#include "tools/sim/SimProtocol.h"
#include "tools/sim/Terminal.h"

#include <termios.h>

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::sim {

class Device {
public:
    Device(Options options, HeadMotion motion);
    ~Device();

    Device(const Device&) = delete;
    Device& operator=(const Device&) = delete;

    // Opens the output files and the terminal, then applies the faults of the
    // command line; throws std::runtime_error.
    void start();

    // The terminal's master side to watch for input, -1 while the device is gone.
    int terminalFd() const { return terminal_.fd(); }

    // When something is due without input: the next packet, or the decision
    // on a "!" that nothing has followed. None when nothing is.
    std::optional<Nanos> wakeTime() const;

    // Reads everything the driver wrote and answers it.
    void readTerminal();

    // Does what is due at `now`.
    void onTime(Nanos now);

    void apply(const FaultCommand& command);

    // One line for the status command: mode, streaming, faults, device, counts.
    std::string status() const;

private:
    using Event = CommandParser::Event;

    void closeTerminal();
    bool lineSpeedUnderstood();

    void received(std::string_view bytes);
    void handle(const std::vector<Event>& events);
    void handle(const Event& event);
    void answerSetUp(const std::string& command);

    void startStreaming();
    void stopStreaming();
    std::string noise();
    void sendPacket();
    void scheduleNextPacket();
    void reportSkipped();

    Options options_;
    HeadMotion motion_;
    std::mt19937 random_;
    CommandParser parser_;
    Recording recording_;
    Terminal terminal_;

    TrackerMode mode_ = TrackerMode::None;
    bool streaming_ = false;
    Nanos streamStart_ = 0;
    long long packetIndex_ = 0;
    Nanos nextDeadline_ = 0;
    Nanos followerDeadline_ = 0;

    ActiveFaults faults_;
    std::optional<speed_t> lastSpeedSeen_;

    std::uint64_t bytesReceived_ = 0;
    std::uint64_t packetsSent_ = 0;
    std::uint64_t droppedPackets_ = 0;
    std::uint64_t skippedPackets_ = 0;
    Nanos lastLateReport_ = 0;
};

} // namespace corvane::sim
