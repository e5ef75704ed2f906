#pragma once
// The tracker's side of the serial protocol, as the simulator plays it: the
// packets of the two tracker modes and the reading of the texts the driver
// writes ("!", "S", "!M..." + CR, "!R" + CR). Pure functions, no I/O.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::sim {

enum class TrackerMode { None, MouseEmulation, EulerAngle };

// "none", "mouse-emulation", "euler-angle".
std::string_view modeName(TrackerMode mode);

// Counts one Mouse Emulation packet can carry. Positive left-right is right,
// positive up-down is down. The byte 128 means +128 right but 128 up, so the
// two axes' ranges are mirror images of each other.
inline constexpr int kMinLeftRightCounts = -127;
inline constexpr int kMaxLeftRightCounts = 128;
inline constexpr int kMinUpDownCounts = -128;
inline constexpr int kMaxUpDownCounts = 127;

// Centred Euler angles: the raw 16-bit value minus 49152.
inline constexpr int kMinAngle = -16384;
inline constexpr int kMaxAngle = 16383;

enum class HexCase { Upper, Lower };

// One Mouse Emulation packet: three bytes as nine characters of hexadecimal
// text, "HH HH HH\r". Byte 1 = 11 00 Y7Y6 X7X6, byte 2 = 00 X5..X0,
// byte 3 = 00 Y5..Y0, where X is the left-right byte (dx modulo 256) and Y the
// up-down byte (-dy modulo 256). Throws std::out_of_range outside the ranges above.
std::string encodeMouseEmulation(int dxCounts, int dyCounts, HexCase letters = HexCase::Upper);

using EulerPacket = std::array<std::uint8_t, 8>;

// One Euler Angle packet: LR hi, LR lo, UD hi, UD lo, SS hi, SS lo, checksum,
// 255. Each angle is sent as the raw value angle + 49152; the checksum is the
// low 8 bits of the sum of bytes 1-6 and the sync byte. Throws std::out_of_range
// for an angle outside kMinAngle..kMaxAngle.
EulerPacket encodeEuler(int lr, int ud, int ss);

// The tracker mode a set-up command selects ("!M3..." or "!M2..."); none for
// any other text.
std::optional<TrackerMode> modeOfSetUp(std::string_view command);

// A printable form of raw bytes for the log: printable ASCII as it is (with
// '"' and '\' escaped), CR, LF and tab as \r \n \t, anything else as \xNN.
std::string escapeBytes(std::string_view bytes);

// Turns the bytes the driver writes into commands. Bytes may arrive split at
// any point. "!" is ambiguous until the next byte: "!M" opens a set-up command
// that runs to the carriage return, "!R" + CR is a reset, and "!" followed by
// anything else is a stop (the following byte is then read afresh). A lone
// "!" at the end of the input stays pending until more bytes arrive or the
// caller decides that nothing more is coming and calls timeOut().
class CommandParser {
public:
    struct Event {
        enum class Kind { SetUp, Start, Stop, Reset, Ignored };
        Kind kind;
        // SetUp: the command without its carriage return. Ignored: the bytes.
        std::string text;

        bool operator==(const Event&) const = default;
    };

    // A set-up command longer than this without its carriage return is dropped
    // as ignored bytes.
    static constexpr std::size_t kMaxCommandLength = 64;

    std::vector<Event> feed(std::string_view bytes);

    // True while a "!" (or "!R") waits for the byte that decides its meaning.
    bool awaitingFollower() const;

    // False from a "!" until the text it starts has been read to its end.
    bool idle() const { return state_ == State::Idle; }

    // Nothing followed the pending "!" in time: it is a stop ("!R" without the
    // carriage return is a stop and an ignored "R"). No events when nothing is pending.
    std::vector<Event> timeOut();

    // Forgets any partial input.
    void clear();

private:
    enum class State { Idle, Bang, BangR, Command };

    void step(char byte, std::vector<Event>& out);
    static void ignore(std::string_view bytes, std::vector<Event>& out);

    State state_ = State::Idle;
    std::string command_;
};

} // namespace corvane::sim
