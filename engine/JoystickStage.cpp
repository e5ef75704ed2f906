#include "engine/JoystickStage.h"

#include "core/Choices.h"
#include "core/Numbers.h"

#include <algorithm>

namespace corvane {

namespace {

double withinRange(double value) { return std::clamp(value, -double{kAxisRange}, double{kAxisRange}); }

// The axis value for `units` of head movement at speed S.
double scaled(double units, qint32 speed) { return kAxisUnitsPerValue * speed * units / 10; }

// The rule that keeps the pointer still in a direction mapped to keys, for
// the axes: while the head is to that side, its axis stays at the centre.
int unlessKeys(int axis, const QString& lessKey, const QString& moreKey)
{
    if ((axis < 0 && !lessKey.isEmpty()) || (axis > 0 && !moreKey.isEmpty()))
        return 0;
    return axis;
}

} // namespace

void JoystickStage::recentre()
{
    centred_ = false;
    position_ = {};
    for (auto& ring : ring_)
        ring.fill(0);
}

JoystickAxes JoystickStage::step(const MovementValues& decoded, const Profile& p, const QString& keyMode,
                                 bool recording)
{
    if (p.mode != mode_) {
        recentre();
        mode_ = p.mode;
    }
    const double values[3] = {decoded.leftRight, decoded.upDown, decoded.sideSide};
    const qint32 speed[3] = {p.leftRightSpeed, p.upDownSpeed, p.sideSideSpeed};
    if (p.mode == kMouseEmulation) {
        // Movements: their sum since the centre, held within the range.
        for (int a = 0; a < 3; ++a)
            position_[a] = withinRange(position_[a] + scaled(values[a], speed[a]));
    } else if (p.mode == kEulerAngle && (decoded.leftRight != 0 || decoded.upDown != 0)) {
        // Angles: the way from the centre, the pointer's way round (an
        // angle growing to the left moves it left). Without a reading the
        // axes hold.
        if (!centred_) {
            centre_ = {values[0], values[1], values[2]};
            centred_ = true;
        }
        for (int a = 0; a < 3; ++a)
            position_[a] = withinRange(scaled(centre_[a] - values[a], speed[a]));
    }
    std::array<double, 3> smoothed{};
    advance(p, smoothed);
    JoystickAxes axes{toInt16(smoothed[0]), toInt16(smoothed[1]), toInt16(smoothed[2])};
    if (keyMode != kDisabled) {
        if (recording) {
            axes.turn = 0;
            axes.pitch = 0;
        }
        axes.turn = unlessKeys(axes.turn, p.turnLeftKey, p.turnRightKey);
        axes.pitch = unlessKeys(axes.pitch, p.lookUpKey, p.lookDownKey);
        axes.lean = unlessKeys(axes.lean, p.leanLeftKey, p.leanRightKey);
    }
    return axes;
}

// Keeps the positions, and averages each axis over its newest N + 1, N its
// smoothing setting.
void JoystickStage::advance(const Profile& p, std::array<double, 3>& smoothed)
{
    const qint32 smoothing[3] = {p.leftRightSmooth, p.upDownSmooth, p.sideSideSmooth};
    index_ = (index_ + 1) % kRingPeriod;
    for (int a = 0; a < 3; ++a) {
        ring_[a][index_] = position_[a];
        const int n = std::clamp(smoothing[a], 0, kRingPeriod - 1);
        double sum = 0;
        for (int k = 0; k <= n; ++k)
            sum += ring_[a][(index_ - k + kRingPeriod) % kRingPeriod];
        smoothed[a] = sum / (n + 1);
    }
}

} // namespace corvane
