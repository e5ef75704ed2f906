#pragma once
// The movement values of one cycle, which the decoding fills, the motion
// processing filters and the keyboard and mouse stages turn into output.

namespace corvane {

// The three movement values of one cycle; negative means left, up or leaning left.
struct MovementValues {
    double leftRight = 0, upDown = 0, sideSide = 0;
};

} // namespace corvane
