#include "tools/sim/SimProtocol.h"

#include <stdexcept>

namespace corvane::sim {

namespace {

constexpr int kEulerOffset = 49152;
constexpr std::uint8_t kSyncByte = 255;

char hexDigit(unsigned value, HexCase letters)
{
    const char* digits = letters == HexCase::Upper ? "0123456789ABCDEF" : "0123456789abcdef";
    return digits[value & 0xFu];
}

void appendHexByte(std::string& out, unsigned byte, HexCase letters)
{
    out += hexDigit(byte >> 4, letters);
    out += hexDigit(byte, letters);
}

void checkRange(int value, int low, int high, const char* what)
{
    if (value < low || value > high) {
        throw std::out_of_range(std::string(what) + " " + std::to_string(value) + " is outside " + std::to_string(low)
                                + ".." + std::to_string(high));
    }
}

} // namespace

std::string_view modeName(TrackerMode mode)
{
    switch (mode) {
    case TrackerMode::MouseEmulation:
        return "mouse-emulation";
    case TrackerMode::EulerAngle:
        return "euler-angle";
    case TrackerMode::None:
        break;
    }
    return "none";
}

std::string encodeMouseEmulation(int dxCounts, int dyCounts, HexCase letters)
{
    checkRange(dxCounts, kMinLeftRightCounts, kMaxLeftRightCounts, "left-right count");
    checkRange(dyCounts, kMinUpDownCounts, kMaxUpDownCounts, "up-down count");
    // X 1..128 is a move right, 129..255 a move left; Y 1..128 is a move up,
    // 129..255 a move down.
    const auto x = static_cast<unsigned>(dxCounts) & 0xFFu;
    const auto y = static_cast<unsigned>(-dyCounts) & 0xFFu;
    const unsigned first = 0xC0u | ((y >> 6) << 2) | (x >> 6);
    const unsigned second = x & 0x3Fu;
    const unsigned third = y & 0x3Fu;

    std::string packet;
    packet.reserve(9);
    appendHexByte(packet, first, letters);
    packet += ' ';
    appendHexByte(packet, second, letters);
    packet += ' ';
    appendHexByte(packet, third, letters);
    packet += '\r';
    return packet;
}

EulerPacket encodeEuler(int lr, int ud, int ss)
{
    checkRange(lr, kMinAngle, kMaxAngle, "left-right angle");
    checkRange(ud, kMinAngle, kMaxAngle, "up-down angle");
    checkRange(ss, kMinAngle, kMaxAngle, "side-side angle");
    EulerPacket packet{};
    const int angles[3] = {lr, ud, ss};
    unsigned sum = kSyncByte;
    for (int i = 0; i < 3; ++i) {
        const auto raw = static_cast<unsigned>(angles[i] + kEulerOffset);
        packet[2 * i] = static_cast<std::uint8_t>(raw >> 8);
        packet[2 * i + 1] = static_cast<std::uint8_t>(raw & 0xFFu);
        sum += packet[2 * i] + packet[2 * i + 1];
    }
    packet[6] = static_cast<std::uint8_t>(sum & 0xFFu);
    packet[7] = kSyncByte;
    return packet;
}

std::optional<TrackerMode> modeOfSetUp(std::string_view command)
{
    if (command.starts_with("!M3")) {
        return TrackerMode::MouseEmulation;
    }
    if (command.starts_with("!M2")) {
        return TrackerMode::EulerAngle;
    }
    return std::nullopt;
}

std::string escapeBytes(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        switch (c) {
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\t':
            out += "\\t";
            break;
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        default:
            if (u >= 0x20 && u < 0x7F) {
                out += c;
            } else {
                out += "\\x";
                appendHexByte(out, u, HexCase::Upper);
            }
        }
    }
    return out;
}

std::vector<CommandParser::Event> CommandParser::feed(std::string_view bytes)
{
    std::vector<Event> out;
    for (const char byte : bytes) {
        step(byte, out);
    }
    return out;
}

bool CommandParser::awaitingFollower() const { return state_ == State::Bang || state_ == State::BangR; }

std::vector<CommandParser::Event> CommandParser::timeOut()
{
    std::vector<Event> out;
    if (state_ == State::Bang) {
        out.push_back({Event::Kind::Stop, {}});
    } else if (state_ == State::BangR) {
        out.push_back({Event::Kind::Stop, {}});
        ignore("R", out);
    } else {
        return out;
    }
    state_ = State::Idle;
    return out;
}

void CommandParser::clear()
{
    state_ = State::Idle;
    command_.clear();
}

void CommandParser::ignore(std::string_view bytes, std::vector<Event>& out)
{
    if (!out.empty() && out.back().kind == Event::Kind::Ignored) {
        out.back().text += bytes;
    } else {
        out.push_back({Event::Kind::Ignored, std::string(bytes)});
    }
}

void CommandParser::step(char byte, std::vector<Event>& out)
{
    switch (state_) {
    case State::Idle:
        if (byte == '!') {
            state_ = State::Bang;
        } else if (byte == 'S') {
            out.push_back({Event::Kind::Start, {}});
        } else {
            ignore(std::string_view(&byte, 1), out);
        }
        return;
    case State::Bang:
        if (byte == 'M') {
            command_ = "!M";
            state_ = State::Command;
        } else if (byte == 'R') {
            state_ = State::BangR;
        } else {
            out.push_back({Event::Kind::Stop, {}});
            state_ = State::Idle;
            step(byte, out);
        }
        return;
    case State::BangR:
        if (byte == '\r') {
            out.push_back({Event::Kind::Reset, {}});
            state_ = State::Idle;
        } else {
            out.push_back({Event::Kind::Stop, {}});
            ignore("R", out);
            state_ = State::Idle;
            step(byte, out);
        }
        return;
    case State::Command:
        if (byte == '\r') {
            out.push_back({Event::Kind::SetUp, std::move(command_)});
            command_.clear();
            state_ = State::Idle;
        } else if (byte == '!') {
            // A new command began before this one ended: this one is lost.
            ignore(command_, out);
            command_.clear();
            state_ = State::Bang;
        } else if (command_.size() >= kMaxCommandLength) {
            command_ += byte;
            ignore(command_, out);
            command_.clear();
            state_ = State::Idle;
        } else {
            command_ += byte;
        }
        return;
    }
}

} // namespace corvane::sim
