#pragma once
// Sending requests on Qt's own X connection.

struct _XDisplay; // Xlib's Display
class QWidget;

namespace corvane::platform {

// Sends the requests made so far on Qt's X connection at once. Qt reads that
// connection through XCB, and Xlib keeps a record of every request it sends
// there until it reads a reply itself. Without a round trip now and then the
// records only grow, by some 24 bytes for each pointer move or key event:
// several megabytes a day of tracking. A round trip once a thousand requests
// keeps them bounded, at the cost of one wait in a thousand.
void sendRequests(_XDisplay* display);

// Whether the connection can no longer reach the X server: the server ended,
// or the link to it broke. Asks the system about the socket, not the server,
// so it never waits and never meets Xlib's fatal error handler.
bool connectionLost(_XDisplay* display);
// The same for Qt's connection, also by what Qt's XCB layer knows of it;
// false when Qt does not run on X.
bool qtConnectionLost();

// Shows the top-level window unminimized, raises and activates it. Qt asks
// the window manager; without one, Qt's request carries the time of the last
// event it saw, which the server refuses once another client has set the
// focus since, so the focus is then set directly.
void bringToFront(QWidget& window);

} // namespace corvane::platform
