#pragma once
// The joystick stage: in mouse mode "Joystick" the head's position since the
// centre drives the three absolute axes of a virtual joystick, in place of
// the pointer's moves. Pure: the engine writes what it returns.
#include "core/Movement.h"
#include "profiles/Profile.h"

#include <QString>

#include <array>

namespace corvane {

// Axis units for one unit of the cycle's values at speed 10. At speed S an
// axis reaches its end after 32767 / (0.8 × S) units of head movement: with
// "Default Mouse Emulation" (speeds 17 and 16) 2409 of the tracker's
// movement units (241 counts) to the side and 2560 up or down; with
// "Default Euler Angle" (7 and 5) 5851 and 8192 angle units, about 64° and
// 90° when the tracker's 32768 units make a whole turn.
inline constexpr double kAxisUnitsPerValue = 8;

class JoystickStage {
public:
    // The axes for one started cycle. `decoded` holds the cycle's values as
    // decoded, before motion processing: movements in "Mouse Emulation",
    // angles in "Euler Angle". The profile's speeds scale and its smoothing
    // settings average the axes as they do the pointer's moves. Unless
    // `keyMode` (the key mode list's text) is "Disabled", a direction mapped
    // to keys stays at the centre, and so do turn and pitch while a key
    // recording runs (`recording`).
    JoystickAxes step(const MovementValues& decoded, const Profile& p, const QString& keyMode, bool recording);
    // The head's position at the next cycle with a reading becomes the
    // centre; until then the axes are at the centre.
    void recentre();

private:
    static constexpr int kRingPeriod = 100;
    void advance(const Profile& p, std::array<double, 3>& smoothed);

    // The tracker mode that the centre was taken in; another re-centres.
    QString mode_;
    // "Euler Angle": the angles at the centre, once a reading gave them.
    bool centred_ = false;
    std::array<double, 3> centre_{};
    // The axes before smoothing, in axis units, and their recent values.
    std::array<double, 3> position_{};
    std::array<std::array<double, kRingPeriod>, 3> ring_{};
    int index_ = 0;
};

} // namespace corvane
