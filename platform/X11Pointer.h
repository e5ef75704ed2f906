#pragma once
// Pointer motion through the X server's test extension (XTest), on the display
// that Qt uses. Without X the output is unavailable and says why.
#include "platform/PointerOutput.h"

#include <QString>

struct _XDisplay;

namespace corvane::platform {

class X11Pointer final : public PointerOutput {
public:
    // Takes Qt's X display when Qt runs on X with the test extension.
    X11Pointer();
    void moveRelative(int dx, int dy) override;
    bool available() const { return display_ != nullptr; }
    QString unavailableReason() const { return reason_; }

private:
    _XDisplay* display_ = nullptr;
    QString reason_;
};

// Before the window toolkit starts: why Qt's window would not be on an X
// display whose server takes test events, foreseen from the environment;
// empty when it would be.
QString predictX11Error();

} // namespace corvane::platform
