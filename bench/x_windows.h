#pragma once
// Xlib helpers shared by the start-up benchmark and corvane-x-close: window
// names, finding a program's top-level window by name, and the polite close
// request a window manager sends when the user closes a window.
#include <X11/Xlib.h>

#include <optional>
#include <string>
#include <vector>

namespace corvane::xtools {

// Replaces Xlib's default error handler (which ends the process) with one that
// ignores the error: a window can vanish between the event that announced it
// and the request that inspects it.
void ignoreXErrors();

// The window's title: _NET_WM_NAME (UTF-8) when set, else WM_NAME.
std::optional<std::string> windowName(Display* display, Window window);

// The process id the window's owner published in _NET_WM_PID, if any.
std::optional<long> windowPid(Display* display, Window window);

// `window` itself and its descendants, down to `depth` levels, whose title is
// exactly `name`. A reparenting window manager puts the program's window one
// or two levels below the frame that is the child of the root.
std::vector<Window> findNamed(Display* display, Window window, const std::string& name, int depth);

// Mapped top-level windows titled `name` on the default screen.
std::vector<Window> findShownTopLevels(Display* display, const std::string& name);

// Asks the window's owner to close it, as the close button of a window
// manager does: a WM_PROTOCOLS client message carrying WM_DELETE_WINDOW.
void sendDeleteWindow(Display* display, Window window);

} // namespace corvane::xtools
