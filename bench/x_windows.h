#pragma once
// Xlib helpers shared by the benchmarks, the end-to-end tests and
// corvane-x-close: window names, finding a program's top-level window, the
// polite close request a window manager sends when the user closes a window,
// pointer motion and clicks as a user's hand makes them (XTest), and the key
// strokes that reach the server from any client (XInput2 raw events).
#include <X11/Xlib.h>

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace corvane::xtools {

struct Point {
    int x = 0;
    int y = 0;
    bool operator==(const Point&) const = default;
};

// Replaces Xlib's default error handler (which ends the process) with one that
// ignores the error: a window can vanish between the event that announced it
// and the request that inspects it.
void ignoreXErrors();

// Opens the display of $DISPLAY for a measuring program: errors ignored
// (ignoreXErrors) and the connection closed in the programs it starts. When it
// cannot, says so on standard error as `program` and gives nullptr.
Display* openDisplay(const char* program);

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

// The mapped top-level window titled `name` that process `pid` owns.
std::optional<Window> findShownTopLevel(Display* display, const std::string& name, pid_t pid);

// The outer size of a top-level window in pixels: with the frame that a
// window manager draws around it, when there is one.
Point outerSize(Display* display, Window window);

// A point of Corvane's main window given in twips from its top left corner,
// in root coordinates. The window's outer width, 4425 twips, gives the scale
// to pixels whatever the resolution.
Point twipsPoint(Display* display, Window mainWindow, double left, double top);

// The middle of Corvane's start/stop button (Start_Command) in root
// coordinates, given its main window.
Point startButtonCentre(Display* display, Window mainWindow);

// The middle of Corvane's profile list (Profile_Combo) in root coordinates.
Point profileListCentre(Display* display, Window mainWindow);

// Absolute pointer motion and a left click, through XTest.
void moveTo(Display* display, Point to);
void click(Display* display, Point at);

// A press and release of the key that carries `keysym`, through XTest. The key
// goes where the keyboard's focus or grab sends it.
void pressKey(Display* display, KeySym keysym);

// Whether process `pid` shows a pop-up: a mapped top-level window of its own
// that bypasses the window manager, as an open drop-down list does.
bool popupShown(Display* display, pid_t pid);

// Whether `window` has the keyboard focus.
bool hasFocus(Display* display, Window window);

// Whether a window manager runs on the display (_NET_SUPPORTING_WM_CHECK).
bool windowManagerRuns(Display* display);

// Unlocks every locked modifier (Caps Lock, Num Lock ...).
void unlockModifiers(Display* display);

// Asks the window's owner to close it, as the close button of a window
// manager does: a WM_PROTOCOLS client message carrying WM_DELETE_WINDOW.
void sendDeleteWindow(Display* display, Window window);

// Listens, on a connection of its own, to the XInput2 raw key presses and
// releases of every keyboard of the display, from its creation on. Throws
// std::runtime_error when the display or its XInput 2 is missing.
class RawKeyListener {
public:
    RawKeyListener();
    ~RawKeyListener();
    RawKeyListener(const RawKeyListener&) = delete;
    RawKeyListener& operator=(const RawKeyListener&) = delete;
    // Everything heard so far, as "+keysym" for a press and "-keysym" for a
    // release: "+Shift_L", "-period" ...
    const std::vector<std::string>& heard();
    // The same by X keycode: "+50", "-61" ...
    const std::vector<std::string>& heardKeycodes();

private:
    void read();

    Display* display_;
    int opcode_ = 0;
    std::vector<std::string> heard_;
    std::vector<std::string> keycodes_;
};

} // namespace corvane::xtools
