#include "engine/Decoding.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace corvane {

namespace {

// Value of an upper-case hex digit, -1 for every other byte.
constexpr std::array<std::int8_t, 256> kHexValue = [] {
    std::array<std::int8_t, 256> table{};
    table.fill(-1);
    for (int c = '0'; c <= '9'; ++c)
        table[c] = static_cast<std::int8_t>(c - '0');
    for (int c = 'A'; c <= 'F'; ++c)
        table[c] = static_cast<std::int8_t>(c - 'A' + 10);
    return table;
}();

int hexValue(char c) { return kHexValue[static_cast<unsigned char>(c)]; }

// A packet window is nine characters; its hex digits stand at these offsets
// (the characters at 2, 5 and 8 are separators).
constexpr qsizetype kPacketLength = 9;
constexpr std::array<qsizetype, 6> kDigitOffsets = {0, 1, 3, 4, 6, 7};

// A run of binary digits held as a number, most significant digit first.
struct Bits {
    std::uint32_t value = 0;
    int length = 0;
};

// The digits `start` (1-based) to start + count - 1, as far as `bits` reaches.
Bits midBits(Bits bits, int start, int count)
{
    if (start > bits.length)
        return {};
    const int n = std::min(count, bits.length - start + 1);
    const int shift = bits.length - (start - 1) - n;
    return {(bits.value >> shift) & ((std::uint32_t{1} << n) - 1), n};
}

Bits concat(Bits a, Bits b) { return {(a.value << b.length) | b.value, a.length + b.length}; }

// The digits converted group by group to hex and read as one number: a trailing
// partial group gives nothing, no digits at all read as 0.
int wholeGroupsValue(Bits bits) { return static_cast<int>(bits.value >> (bits.length % 4)); }

// The bits of the hex digits in the window starting at `p`, at most `available`
// characters long. Non-digits contribute nothing, so the run may be short.
Bits windowBits(const char* p, qsizetype available)
{
    Bits bits;
    for (qsizetype offset : kDigitOffsets) {
        if (offset >= available)
            break;
        const int d = hexValue(p[offset]);
        if (d >= 0) {
            bits.value = (bits.value << 4) | static_cast<std::uint32_t>(d);
            bits.length += 4;
        }
    }
    return bits;
}

// True when the window's bit text starts with "11": its first hex digit is C..F.
bool startsPacket(const char* p, qsizetype available)
{
    for (qsizetype offset : kDigitOffsets) {
        if (offset >= available)
            return false;
        const int d = hexValue(p[offset]);
        if (d >= 0)
            return d >= 0xC;
    }
    return false;
}

// Raw 8-bit movement counts to movement units; 128 counts as positive.
double leftRightFromRaw(int x)
{
    if (x == 0)
        return 0;
    return x <= 128 ? x * 10.0 : (x - 256) * 10.0;
}

double upDownFromRaw(int y)
{
    if (y == 0)
        return 0;
    return y <= 128 ? y * -10.0 : (256 - y) * 10.0;
}

// An unsigned 16-bit angle centred on 0; a raw 0 stays 0.
double centredAngle(unsigned char high, unsigned char low)
{
    const int raw = high * 256 + low;
    if (raw == 0)
        return 0;
    return (raw % 32768) - 16384;
}

} // namespace

void decodeMouseEmulation(QByteArray& receiveBuffer, MovementValues& v)
{
    const char* data = receiveBuffer.constData();
    const qsizetype size = receiveBuffer.size();
    qsizetype pos = 0; // start of the unconsumed text

    while (size - pos >= kPacketLength) {
        // Out-of-step data is skipped one character at a time; the test carries
        // on into a window shorter than a packet until one passes or nothing is left.
        while (pos < size && !startsPacket(data + pos, size - pos))
            ++pos;
        if (size - pos < kPacketLength)
            break;

        // Bits numbered from 1: 5-6 and 19-24 form Y, 7-8 and 11-16 form X.
        const Bits bits = windowBits(data + pos, kPacketLength);
        const int x = wholeGroupsValue(concat(midBits(bits, 7, 2), midBits(bits, 11, 6)));
        const int y = wholeGroupsValue(concat(midBits(bits, 5, 2), midBits(bits, 19, 6)));
        v.leftRight += leftRightFromRaw(x);
        v.upDown += upDownFromRaw(y);
        pos += kPacketLength;
    }

    if (pos > 0)
        receiveBuffer.remove(0, pos);
}

void decodeEulerAngle(QByteArray& receiveBuffer, MovementValues& v)
{
    constexpr qsizetype kEulerPacketLength = 8;
    const qsizetype sync = receiveBuffer.lastIndexOf('\xff');
    if (sync >= kEulerPacketLength - 1) {
        const auto* b = reinterpret_cast<const unsigned char*>(receiveBuffer.constData())
                      + (sync - (kEulerPacketLength - 1));
        const unsigned sum = b[0] + b[1] + b[2] + b[3] + b[4] + b[5] + b[7];
        if ((sum & 0xFFu) == b[6]) {
            v.leftRight = centredAngle(b[0], b[1]);
            v.upDown = centredAngle(b[2], b[3]);
            v.sideSide = centredAngle(b[4], b[5]);
        }
    }
    receiveBuffer.clear();
}

void decodePackets(const QString& mode, QByteArray& receiveBuffer, MovementValues& v)
{
    if (mode == kMouseEmulation)
        decodeMouseEmulation(receiveBuffer, v);
    else if (mode == kEulerAngle)
        decodeEulerAngle(receiveBuffer, v);
}

} // namespace corvane
