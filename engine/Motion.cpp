#include "engine/Motion.h"

#include "core/Fault.h"
#include "core/Numbers.h"

#include <cstdint>
#include <limits>

namespace corvane {

namespace {

// |value| of a 16-bit integer; -32768 has no 16-bit magnitude.
int magnitude16(std::int16_t value)
{
    if (value == std::numeric_limits<std::int16_t>::min())
        throw overflowFault();
    return value < 0 ? -value : value;
}

// speed × jitter as a 32-bit integer product, then divided as a double.
double eulerThreshold(qint32 speed, int jitter)
{
    const std::int64_t product = std::int64_t{speed} * jitter;
    if (product < std::numeric_limits<std::int32_t>::min() || product > std::numeric_limits<std::int32_t>::max())
        throw overflowFault();
    return static_cast<double>(product) / 8.0;
}

} // namespace

void MotionHistory::process(MovementValues& v, const Profile& p)
{
    double* const values[3] = {&v.leftRight, &v.upDown, &v.sideSide};
    const qint32 smoothing[3] = {p.leftRightSmooth, p.upDownSmooth, p.sideSideSmooth};
    const qint32 speed[3] = {p.leftRightSpeed, p.upDownSpeed, p.sideSideSpeed};

    const int earlier = historyIndex_;
    const int now = (historyIndex_ + 1) % kRingPeriod;
    historyIndex_ = now;

    // Positions. In Euler mode the decoded angles become the movement since the
    // last reading; a cycle without a packet repeats the last position.
    if (p.mode != kEulerAngle) {
        for (int a = 0; a < 3; ++a)
            positions_[a][now] = *values[a];
    } else if (v.leftRight != 0 || v.upDown != 0) {
        for (int a = 0; a < 3; ++a) {
            positions_[a][now] = *values[a];
            *values[a] = positions_[a][earlier] - *values[a];
        }
    } else {
        for (int a = 0; a < 3; ++a)
            positions_[a][now] = positions_[a][earlier];
    }

    for (int a = 0; a < 3; ++a)
        movements_[a][now] = *values[a];

    // Moving average over this cycle's value and the N entries before it.
    for (int a = 0; a < 3; ++a) {
        const qint32 n = smoothing[a];
        if (n <= 0)
            continue;
        if (n >= kRingPeriod)
            throw subscriptFault();
        int j = now - n;
        if (j < 0)
            j += kRingPeriod;
        while (j != now) {
            *values[a] += movements_[a][j];
            j = (j + 1) % kRingPeriod;
        }
        *values[a] /= n + 1;
    }

    for (int a = 0; a < 3; ++a) {
        if (*values[a] != 0)
            *values[a] = speed[a] * *values[a] / 10;
    }
}

QString monitorText(double value) { return QString::number(toInt16(value)); }

std::optional<PointerMove> mouseMove(const MovementValues& v, const Profile& p, int jitterSliderValue)
{
    if (p.mode == kMouseEmulation) {
        const std::int16_t dx = toInt16(v.leftRight);
        const std::int16_t dy = toInt16(v.upDown);
        if (dx != 0 || dy != 0)
            return PointerMove{dx, dy};
        return std::nullopt;
    }
    if (p.mode == kEulerAngle) {
        const double leftRightThreshold = eulerThreshold(p.leftRightSpeed, jitterSliderValue);
        const double upDownThreshold = eulerThreshold(p.upDownSpeed, jitterSliderValue);
        const std::int16_t dx = toInt16(v.leftRight);
        const std::int16_t dy = toInt16(v.upDown);
        // Both magnitudes are taken before comparing, so either can fault.
        const int absDx = magnitude16(dx);
        const int absDy = magnitude16(dy);
        if (leftRightThreshold < absDx || upDownThreshold < absDy)
            return PointerMove{dx, dy};
        return std::nullopt;
    }
    return std::nullopt;
}

} // namespace corvane
