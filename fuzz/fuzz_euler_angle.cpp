// Arbitrary bytes as the tracker's "Euler Angle" stream, received in two reads
// split at the first byte's value, then through the motion stage and the mouse
// decision. Every decode empties the buffer; angles are whole numbers from
// -16384 to 16383, and only a buffer holding a 255 at its 8th byte or later
// can give any.
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

bool isAngle(double value) { return value == std::floor(value) && value >= -16384 && value <= 16383; }

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const qsizetype split = input.isEmpty() ? 0 : qMin<qsizetype>(static_cast<unsigned char>(input[0]), input.size());

    Profile p;
    p.mode = QStringLiteral("Euler Angle");
    p.leftRightSmooth = p.upDownSmooth = p.sideSideSmooth = size > 1 ? data[1] % 41 : 0;
    p.leftRightSpeed = p.upDownSpeed = p.sideSideSpeed = size > 2 ? data[2] % 61 : 10;
    MotionHistory history;

    for (const QByteArray& chunk : {input.left(split), input.mid(split)}) {
        QByteArray buffer = chunk;
        MovementValues v;
        decodePackets(QStringLiteral("Euler Angle"), buffer, v);
        require(buffer.isEmpty());
        require(isAngle(v.leftRight) && isAngle(v.upDown) && isAngle(v.sideSide));
        if (chunk.lastIndexOf('\xff') < 7)
            require(v.leftRight == 0 && v.upDown == 0 && v.sideSide == 0);

        try {
            history.process(v, p);
            require(std::isfinite(v.leftRight) && std::isfinite(v.upDown) && std::isfinite(v.sideSide));
            (void)monitorText(v.sideSide);
            (void)mouseMove(v, p, size > 3 ? data[3] : 3);
        } catch (const Fault& f) {
            require(f.number == kFaultOverflow);
        }
    }
    return 0;
}
