#include "platform/X11Requests.h"

#include <QGuiApplication>

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

} // namespace corvane::platform
