#pragma once
// Relative pointer motion, as a mouse would produce it.
namespace corvane::platform {

class PointerOutput {
public:
    virtual ~PointerOutput() = default;
    // Positive dx moves right, positive dy moves down.
    virtual void moveRelative(int dx, int dy) = 0;
};

} // namespace corvane::platform
