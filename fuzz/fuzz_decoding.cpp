// Arbitrary bytes as the tracker's stream in either mode (the lowest bit of
// the first byte picks it; the next two bytes pick the smoothing and speed),
// received in two reads, then through the motion stage and the mouse
// decision. Nothing may crash or hang, and each mode keeps its promises:
// "Mouse Emulation" keeps at most one incomplete packet, only ever drops a
// prefix and gives whole multiples of ten within the per-packet range;
// "Euler Angle" always empties the buffer and gives whole angles from -16384
// to 16383, and none unless a 255 stands at the 8th byte or later.
#include "core/Fault.h"
#include "engine/Decoding.h"
#include "engine/Motion.h"
#include "fuzz/Require.h"

#include <QByteArray>

#include <cmath>
#include <cstddef>
#include <cstdint>

using namespace corvane;

namespace {

void checkMouseEmulation(const QByteArray& before, const QByteArray& after, const MovementValues& v)
{
    require(after.size() <= 8 && before.endsWith(after));
    const double packets = std::floor(static_cast<double>(before.size() - after.size()) / 9);
    for (const double value : {v.leftRight, v.upDown})
        require(std::fmod(value, 10.0) == 0.0 && std::fabs(value) <= 1280 * packets);
    require(v.sideSide == 0);
}

void checkEulerAngle(const QByteArray& before, const QByteArray& after, const MovementValues& v)
{
    require(after.isEmpty());
    for (const double value : {v.leftRight, v.upDown, v.sideSide})
        require(value == std::floor(value) && value >= -16384 && value <= 16383);
    if (before.lastIndexOf('\xff') < 7)
        require(v.leftRight == 0 && v.upDown == 0 && v.sideSide == 0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 3)
        return 0;
    const bool euler = (data[0] & 1) != 0;
    const QByteArray input(reinterpret_cast<const char*>(data + 3), static_cast<qsizetype>(size - 3));

    Profile p;
    p.mode = euler ? kEulerAngle : kMouseEmulation;
    p.leftRightSmooth = p.upDownSmooth = p.sideSideSmooth = data[1] % 41;
    p.leftRightSpeed = p.upDownSpeed = p.sideSideSpeed = data[2] % 61;
    MotionHistory history;
    QByteArray buffer;
    qsizetype consumed = 0;
    const qsizetype split = qMin<qsizetype>(data[0] >> 1, input.size());
    for (const QByteArray& chunk : {input.left(split), input.mid(split)}) {
        buffer += chunk;
        const QByteArray before = buffer;
        MovementValues v;
        decodePackets(p.mode, buffer, v);
        euler ? checkEulerAngle(before, buffer, v) : checkMouseEmulation(before, buffer, v);
        consumed += before.size() - buffer.size();
        // The motion stage and the mouse decision either work or report an overflow.
        try {
            history.process(v, p);
            require(std::isfinite(v.leftRight) && std::isfinite(v.upDown) && std::isfinite(v.sideSide));
            (void)monitorText(v.leftRight);
            (void)mouseMove(v, p, data[1] % 8);
        } catch (const Fault& f) {
            require(f.number == kFaultOverflow);
        }
    }
    require(consumed + buffer.size() == input.size());
    return 0;
}
