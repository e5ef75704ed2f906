#pragma once
// A joystick whose absolute axes other programs read: simulators take the
// head's position from it for the view.
#include "core/Movement.h"

#include <QString>

namespace corvane::platform {

class JoystickOutput {
public:
    virtual ~JoystickOutput() = default;
    // Makes the device, when it is not there yet, with its axes at the
    // centre. Empty when the device is there; else why it cannot be made.
    virtual QString open() = 0;
    // Moves the axes in one frame that holds only those that changed:
    // nothing when none did, or while there is no device. Never throws: a
    // refused event is the backend's to log.
    virtual void move(const JoystickAxes& axes) = 0;
    // Returns the axes to the centre and removes the device.
    virtual void close() = 0;
};

} // namespace corvane::platform
