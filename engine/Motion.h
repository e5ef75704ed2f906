#pragma once
// Motion processing (histories, Euler positions, smoothing, speed), the
// Output Monitor text and the mouse stage's decision.
#include "engine/Decoding.h"
#include "profiles/Profile.h"

#include <QString>

#include <array>
#include <optional>

namespace corvane {

enum class Axis { LeftRight = 0, UpDown = 1, SideSide = 2 };

// The short per-axis histories kept for the whole run: the ring index and six
// rings of 101 doubles, of which indices 0 to 99 are used. Never cleared.
class MotionHistory {
public:
    static constexpr int kRingSize = 101;
    static constexpr int kRingPeriod = 100;
    using Ring = std::array<double, kRingSize>;

    // Turns the cycle's decoded values into filtered, scaled movement values:
    // histories, Euler positions, smoothing and speed, by the profile's settings.
    // A smoothing setting above 99 throws the subscript Fault.
    void process(MovementValues& v, const Profile& p);

    int historyIndex() const { return historyIndex_; }
    const Ring& positions(Axis axis) const { return positions_[static_cast<int>(axis)]; }
    const Ring& movements(Axis axis) const { return movements_[static_cast<int>(axis)]; }

private:
    int historyIndex_ = 0;
    std::array<Ring, 3> positions_{};
    std::array<Ring, 3> movements_{};
};

// The monitor text of a value: rounded half to even to a 16-bit integer, in
// decimal. Throws the overflow Fault outside -32768..32767.
QString monitorText(double value);

struct PointerMove {
    int dx, dy;
};

// The mouse stage for a profile whose mouse mode is not "Disabled": the relative
// move to make this cycle, or nothing. `jitterSliderValue` is the current value
// of the Jitter slider (used in "Euler Angle" mode). Throws the overflow Fault
// when a value rounds outside 16 bits.
std::optional<PointerMove> mouseMove(const MovementValues& v, const Profile& p, int jitterSliderValue);

} // namespace corvane
