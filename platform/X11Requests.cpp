#include "platform/X11Requests.h"

#include <QGuiApplication>
#include <QWidget>

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>
#include <xcb/xcb.h>

namespace corvane::platform {

void sendRequests(Display* display)
{
    constexpr unsigned long kUnconfirmedLimit = 1000;
    if (XNextRequest(display) - XLastKnownRequestProcessed(display) > kUnconfirmedLimit)
        XSync(display, False);
    else
        XFlush(display);
}

bool connectionLost(Display* display)
{
    // A stream socket whose other end has closed polls as hung up at once.
    pollfd socket{ConnectionNumber(display), POLLRDHUP, 0};
    return ::poll(&socket, 1, 0) == 1 && (socket.revents & (POLLHUP | POLLRDHUP | POLLERR | POLLNVAL)) != 0;
}

bool qtConnectionLost()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->connection())
        return false;
    return xcb_connection_has_error(x11->connection()) != 0 || (x11->display() && connectionLost(x11->display()));
}

void bringToFront(QWidget& window)
{
    window.setWindowState(window.windowState() & ~Qt::WindowMinimized);
    window.show();
    window.raise();
    window.activateWindow();
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    Display* display = x11 ? x11->display() : nullptr;
    if (!display || connectionLost(display))
        return;
    const Atom managerCheck = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
    Atom type = None;
    int format = 0;
    unsigned long items = 0, after = 0;
    unsigned char* data = nullptr;
    const bool managed = managerCheck != None
                      && XGetWindowProperty(display, DefaultRootWindow(display), managerCheck, 0, 1, False, XA_WINDOW,
                                            &type, &format, &items, &after, &data)
                             == Success
                      && items == 1;
    if (data)
        XFree(data);
    if (!managed) {
        XSetInputFocus(display, window.winId(), RevertToParent, CurrentTime);
        sendRequests(display);
    }
}

} // namespace corvane::platform
