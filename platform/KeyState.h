#pragma once
// The state of the whole keyboard, whatever window has the focus.
namespace corvane::platform {

class KeyState {
public:
    virtual ~KeyState() = default;
    // Takes the keyboard's state once. Until the next snapshot, isDown tells
    // for a virtual-key code whether that key was down at this snapshot or was
    // pressed at any time since the one before it, so a key tapped between two
    // snapshots still counts once. Left and right variants (160 to 165) stay
    // distinct; the generic Shift, Ctrl and Alt (16 to 18) count when either
    // side does.
    virtual void snapshot() = 0;
    virtual bool isDown(int virtualKey) const = 0;
};

} // namespace corvane::platform
