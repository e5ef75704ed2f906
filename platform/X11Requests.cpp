#include "platform/X11Requests.h"

#include <X11/Xlib.h>

namespace corvane::platform {

void sendRequests(Display* display)
{
    constexpr unsigned long kUnconfirmedLimit = 1000;
    if (XNextRequest(display) - XLastKnownRequestProcessed(display) > kUnconfirmedLimit)
        XSync(display, False);
    else
        XFlush(display);
}

} // namespace corvane::platform
