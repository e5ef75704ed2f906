#pragma once
// The keyboard stage's decision: which of the profile's movement mappings fire
// in a cycle, and which directions that takes away from the pointer.
#include "core/Movement.h"
#include "profiles/Profile.h"

#include <QString>

namespace corvane {

// The cycle's key sequence: for each axis in turn (left-right, up-down,
// side-side), the mapping of the direction its value points to, when that
// mapping is set and the value's magnitude is strictly greater than the
// profile's Jitter. A turn or look direction that has a mapping is taken from
// the pointer (its value becomes 0) whether it fires or not; side-side is
// never changed.
QString buildCycleKeySequence(MovementValues& values, const Profile& profile);

} // namespace corvane
