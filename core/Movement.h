#pragma once
// The movement values of one cycle, which the decoding fills, the motion
// processing filters and the keyboard and mouse stages turn into output;
// and the joystick's axes that the head's position drives instead.

namespace corvane {

// The three movement values of one cycle; negative means left, up or leaning left.
struct MovementValues {
    double leftRight = 0, upDown = 0, sideSide = 0;
};

// Each of the joystick's axes runs from -kAxisRange to kAxisRange; 0 is the
// centre, where the head was when tracking started.
inline constexpr int kAxisRange = 32767;

// The joystick's three axes, as the pointer would go: turning right, looking
// down and leaning right are positive.
struct JoystickAxes {
    int turn = 0, pitch = 0, lean = 0;
    friend bool operator==(const JoystickAxes&, const JoystickAxes&) = default;
};

} // namespace corvane
