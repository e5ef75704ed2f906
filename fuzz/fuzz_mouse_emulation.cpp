// Arbitrary bytes as the tracker's "Mouse Emulation" stream, received in two
// reads split at the first byte's value, then through the motion stage and the
// mouse decision. Nothing may crash or hang; the buffer keeps at most one
// incomplete packet and only ever loses a prefix; the values stay whole
// multiples of ten within the per-packet range.
#include "core/Fault.h"
#include "engine/Decoding.h"
#include "engine/Motion.h"

#include <QByteArray>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace corvane;

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

bool wholeTens(double value) { return std::fmod(value, 10.0) == 0.0; }

void checkDigitText(QByteArrayView text)
{
    const QByteArray bits = HexToBinary(text);
    require(bits.size() % 4 == 0);
    require(bits.count('0') + bits.count('1') == bits.size());
    QByteArray digits;
    for (char c : text)
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'))
            digits += c;
    require(BinaryToHex(bits) == digits);
    require(BinaryToHex(text).size() <= text.size() / 4);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    checkDigitText(input);

    const qsizetype split = input.isEmpty() ? 0 : qMin<qsizetype>(static_cast<unsigned char>(input[0]), input.size());
    QByteArray buffer;
    MovementValues total;
    qsizetype consumed = 0;
    for (const QByteArray& chunk : {input.left(split), input.mid(split)}) {
        buffer += chunk;
        const QByteArray before = buffer;
        MovementValues v;
        decodePackets(QStringLiteral("Mouse Emulation"), buffer, v);
        require(buffer.size() <= 8);
        require(before.endsWith(buffer));
        const double packets = std::floor(static_cast<double>(before.size() - buffer.size()) / 9);
        require(wholeTens(v.leftRight) && std::fabs(v.leftRight) <= 1280 * packets);
        require(wholeTens(v.upDown) && std::fabs(v.upDown) <= 1280 * packets);
        require(v.sideSide == 0);
        consumed += before.size() - buffer.size();
        total.leftRight += v.leftRight;
        total.upDown += v.upDown;
    }
    require(consumed + buffer.size() == input.size());

    // The motion stage and the mouse decision either work or report an overflow.
    Profile p;
    p.mode = QStringLiteral("Mouse Emulation");
    p.leftRightSmooth = p.upDownSmooth = size > 1 ? data[1] % 41 : 0;
    p.leftRightSpeed = p.upDownSpeed = size > 2 ? data[2] % 61 : 10;
    MotionHistory history;
    try {
        history.process(total, p);
        require(std::isfinite(total.leftRight) && std::isfinite(total.upDown));
        (void)monitorText(total.leftRight);
        (void)mouseMove(total, p, 3);
    } catch (const Fault& f) {
        require(f.number == kFaultOverflow);
    }
    return 0;
}
