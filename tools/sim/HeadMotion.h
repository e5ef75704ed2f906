#pragma once
// Where the simulated head moves: still, a slow circle, or a script of one
// line per packet. Gives each packet's values for the tracker mode in use:
// relative counts in Mouse Emulation, centred angles in Euler Angle.
#include "tools/sim/SimProtocol.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::sim {

struct Sample {
    int lr = 0;
    int ud = 0;
    int ss = 0;

    bool operator==(const Sample&) const = default;
};

struct MotionScript {
    std::vector<Sample> samples;
    std::vector<int> lineNumbers; // the script line of each sample, from 1
};

// One line per packet, "lr ud ss" as whole numbers separated by blanks; blank
// lines and lines whose first non-blank character is '#' are skipped; CR LF
// line ends are accepted. Throws std::invalid_argument naming the first bad
// line (not three whole numbers, a value outside kMinAngle..kMaxAngle), or
// when there is no motion line at all.
MotionScript parseMotionScript(std::string_view text);

// Lines whose values a Mouse Emulation packet cannot carry (they are clamped
// in that mode), one message per line.
std::vector<std::string> mouseEmulationRangeWarnings(const MotionScript& script);

Sample clampToMouseEmulation(Sample counts);

class HeadMotion {
public:
    // Radius in tracker units and time of one turn of the circle: angle units
    // in Euler Angle, counts in Mouse Emulation (each count is ten units of
    // movement, so the pointer circles a few hundred pixels wide there too).
    static constexpr int kCircleRadius = 300;
    static constexpr int kCircleCounts = 15;
    static constexpr double kCircleSeconds = 4.0;

    static HeadMotion still();
    static HeadMotion circle(int packetsPerSecond);
    static HeadMotion script(MotionScript script, bool once);

    // Back to the start: the circle's first point, the script's first line.
    void restart();

    // The values of the next packet: counts moved since the last packet in
    // Mouse Emulation (within the packet's range), angles in Euler Angle.
    // Nothing once a script played with `once` has ended.
    std::optional<Sample> next(TrackerMode mode);

private:
    enum class Kind { Still, Circle, Script };

    explicit HeadMotion(Kind kind) : kind_(kind) {}
    Sample circlePoint(long long packet, int radius) const;

    Kind kind_;
    int packetsPerTurn_ = 1;
    MotionScript script_;
    bool once_ = false;
    long long position_ = 0; // packets given since the start
    Sample sentCounts_;      // circle: where the counts sent so far have led
};

} // namespace corvane::sim
