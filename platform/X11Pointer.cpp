#include "platform/X11Pointer.h"

#include "core/Fault.h"
#include "platform/X11Requests.h"

#include <QGuiApplication>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace corvane::platform {

X11Pointer::X11Pointer()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->display()) {
        reason_ = QStringLiteral("Corvane is not running on an X display (platform \"%1\"), so it cannot move the "
                                 "pointer or send keys. Start it in an X11 session (or with QT_QPA_PLATFORM=xcb "
                                 "under XWayland).")
                      .arg(QGuiApplication::platformName());
        return;
    }
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(x11->display(), &event, &error, &major, &minor)) {
        reason_ = QStringLiteral(
            "The X server has no XTEST extension, so Corvane cannot move the pointer or send keys.");
        return;
    }
    display_ = x11->display();
}

void X11Pointer::moveRelative(int dx, int dy)
{
    if (!display_)
        throw Fault{kFaultUnexpected, reason_};
    XTestFakeRelativeMotionEvent(display_, dx, dy, CurrentTime);
    sendRequests(display_);
}

} // namespace corvane::platform
