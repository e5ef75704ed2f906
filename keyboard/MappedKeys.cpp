#include "keyboard/MappedKeys.h"

#include <cmath>

namespace corvane {

namespace {

// The mapping of the value's direction, when the value points somewhere and
// that direction is mapped; null otherwise.
const QString* mappingOf(double value, const QString& negative, const QString& positive)
{
    if (value < 0 && !negative.isEmpty())
        return &negative;
    if (value > 0 && !positive.isEmpty())
        return &positive;
    return nullptr;
}

} // namespace

QString buildCycleKeySequence(MovementValues& values, const Profile& profile)
{
    QString sequence;
    const auto fire = [&](double value, const QString* mapping) {
        if (mapping && std::fabs(value) > profile.jitter)
            sequence += *mapping;
        return mapping != nullptr;
    };
    if (fire(values.leftRight, mappingOf(values.leftRight, profile.turnLeftKey, profile.turnRightKey)))
        values.leftRight = 0;
    if (fire(values.upDown, mappingOf(values.upDown, profile.lookUpKey, profile.lookDownKey)))
        values.upDown = 0;
    fire(values.sideSide, mappingOf(values.sideSide, profile.leanLeftKey, profile.leanRightKey));
    return sequence;
}

} // namespace corvane
