#include "platform/X11Pointer.h"

#include "core/Fault.h"
#include "platform/X11Requests.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>

namespace corvane::platform {

namespace {

// The texts of this file, translated in the context "corvane::platform::X11Pointer".
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(corvane::platform::X11Pointer)
};

} // namespace

X11Pointer::X11Pointer()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->display()) {
        reason_ = Texts::tr("Corvane's window is not on an X display (platform \"%1\"), so X test events "
                            "cannot move the pointer.")
                      .arg(QGuiApplication::platformName());
        return;
    }
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(x11->display(), &event, &error, &major, &minor)) {
        reason_ = Texts::tr("The X server has no XTEST extension, so X test events cannot move the pointer.");
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

QString predictX11Error()
{
    const QString platform = qEnvironmentVariable("QT_QPA_PLATFORM");
    const bool forcedX = platform.startsWith(QLatin1String("xcb"));
    if (!forcedX && !platform.isEmpty())
        return Texts::tr("Corvane's window would not be on an X display (QT_QPA_PLATFORM=%1)").arg(platform);
    if (!forcedX && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        return Texts::tr("Corvane's window would open on Wayland, not on an X display");
    Display* display = XOpenDisplay(nullptr);
    if (!display)
        return Texts::tr("no X display can be reached (DISPLAY=\"%1\")").arg(qEnvironmentVariable("DISPLAY"));
    int event = 0, error = 0, major = 0, minor = 0;
    const bool test = XTestQueryExtension(display, &event, &error, &major, &minor);
    XCloseDisplay(display);
    return test ? QString() : Texts::tr("the X server has no XTEST extension");
}

} // namespace corvane::platform
