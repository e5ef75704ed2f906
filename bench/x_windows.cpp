#include "bench/x_windows.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/XTest.h>

#include <fcntl.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

namespace corvane::xtools {
namespace {

int ignoreError(Display*, XErrorEvent*) { return 0; }

// Reads a whole property of 8-bit items as text; nullopt when it is absent,
// of the wrong format or the window is gone.
std::optional<std::string> textProperty(Display* display, Window window, Atom property, Atom type)
{
    Atom actualType = None;
    int actualFormat = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display, window, property, 0, 4096, False, type, &actualType, &actualFormat,
                                          &count, &remaining, &data);
    std::optional<std::string> text;
    if (status == Success && data != nullptr && actualType != None && actualFormat == 8)
        text = std::string(reinterpret_cast<const char*>(data), count);
    if (data != nullptr)
        XFree(data);
    return text;
}

} // namespace

void ignoreXErrors() { XSetErrorHandler(ignoreError); }

Display* openDisplay(const char* program)
{
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        const char* name = std::getenv("DISPLAY");
        std::fprintf(stderr, "%s: cannot open X display \"%s\"\n", program, name != nullptr ? name : "");
        return nullptr;
    }
    ::fcntl(ConnectionNumber(display), F_SETFD, FD_CLOEXEC);
    ignoreXErrors();
    return display;
}

std::optional<std::string> windowName(Display* display, Window window)
{
    const Atom netWmName = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    if (auto name = textProperty(display, window, netWmName, utf8))
        return name;

    XTextProperty property{};
    if (XGetWMName(display, window, &property) == 0 || property.value == nullptr)
        return std::nullopt;
    std::optional<std::string> name;
    if (property.format == 8)
        name = std::string(reinterpret_cast<const char*>(property.value), property.nitems);
    XFree(property.value);
    return name;
}

std::optional<long> windowPid(Display* display, Window window)
{
    const Atom netWmPid = XInternAtom(display, "_NET_WM_PID", False);
    Atom actualType = None;
    int actualFormat = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display, window, netWmPid, 0, 1, False, XA_CARDINAL, &actualType,
                                          &actualFormat, &count, &remaining, &data);
    std::optional<long> pid;
    // Format-32 properties come back as an array of long.
    if (status == Success && data != nullptr && actualFormat == 32 && count == 1)
        pid = *reinterpret_cast<const long*>(data);
    if (data != nullptr)
        XFree(data);
    return pid;
}

std::vector<Window> findNamed(Display* display, Window window, const std::string& name, int depth)
{
    std::vector<Window> found;
    if (windowName(display, window) == name)
        found.push_back(window);
    if (depth <= 0)
        return found;

    Window root = None;
    Window parent = None;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display, window, &root, &parent, &children, &count) == 0)
        return found;
    for (unsigned int i = 0; i < count; ++i) {
        for (Window w : findNamed(display, children[i], name, depth - 1))
            found.push_back(w);
    }
    if (children != nullptr)
        XFree(children);
    return found;
}

std::vector<Window> findShownTopLevels(Display* display, const std::string& name)
{
    const Window root = DefaultRootWindow(display);
    Window rootReturn = None;
    Window parent = None;
    Window* children = nullptr;
    unsigned int count = 0;
    std::vector<Window> found;
    if (XQueryTree(display, root, &rootReturn, &parent, &children, &count) == 0)
        return found;
    for (unsigned int i = 0; i < count; ++i) {
        XWindowAttributes attributes{};
        if (XGetWindowAttributes(display, children[i], &attributes) == 0 || attributes.map_state != IsViewable)
            continue;
        for (Window w : findNamed(display, children[i], name, 2))
            found.push_back(w);
    }
    if (children != nullptr)
        XFree(children);
    return found;
}

std::optional<Window> findShownTopLevel(Display* display, const std::string& name, pid_t pid)
{
    for (const Window w : findShownTopLevels(display, name)) {
        if (windowPid(display, w) == static_cast<long>(pid))
            return w;
    }
    return std::nullopt;
}

Point outerSize(Display* display, Window window)
{
    // A window manager's frame is the window's ancestor just below the root.
    for (;;) {
        Window root = None, parent = None, *children = nullptr;
        unsigned int count = 0;
        if (XQueryTree(display, window, &root, &parent, &children, &count) == 0)
            break;
        if (children != nullptr)
            XFree(children);
        if (parent == root || parent == None)
            break;
        window = parent;
    }
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, window, &attributes);
    return {attributes.width + 2 * attributes.border_width, attributes.height + 2 * attributes.border_width};
}

Point twipsPoint(Display* display, Window mainWindow, double left, double top)
{
    constexpr double kWindowWidth = 4425;
    int x = 0, y = 0;
    Window child = None;
    XTranslateCoordinates(display, mainWindow, DefaultRootWindow(display), 0, 0, &x, &y, &child);
    const double scale = outerSize(display, mainWindow).x / kWindowWidth;
    return {x + static_cast<int>(left * scale), y + static_cast<int>(top * scale)};
}

Point startButtonCentre(Display* display, Window mainWindow)
{
    // Start_Command in twips inside the main window.
    constexpr double kLeft = 120, kTop = 510, kWidth = 1335, kHeight = 315;
    return twipsPoint(display, mainWindow, kLeft + kWidth / 2, kTop + kHeight / 2);
}

Point profileListCentre(Display* display, Window mainWindow)
{
    // Profile_Combo in twips inside the main window.
    constexpr double kLeft = 960, kTop = 90, kWidth = 3255, kHeight = 315;
    return twipsPoint(display, mainWindow, kLeft + kWidth / 2, kTop + kHeight / 2);
}

void moveTo(Display* display, Point to)
{
    XTestFakeMotionEvent(display, DefaultScreen(display), to.x, to.y, CurrentTime);
    XSync(display, False);
}

void click(Display* display, Point at)
{
    moveTo(display, at);
    XTestFakeButtonEvent(display, 1, True, CurrentTime);
    XTestFakeButtonEvent(display, 1, False, CurrentTime);
    XSync(display, False);
}

void pressKey(Display* display, KeySym keysym)
{
    const KeyCode key = XKeysymToKeycode(display, keysym);
    XTestFakeKeyEvent(display, key, True, CurrentTime);
    XTestFakeKeyEvent(display, key, False, CurrentTime);
    XSync(display, False);
}

bool popupShown(Display* display, pid_t pid)
{
    Window root = None, parent = None, *children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display, DefaultRootWindow(display), &root, &parent, &children, &count) == 0)
        return false;
    bool shown = false;
    for (unsigned int i = 0; i < count && !shown; ++i) {
        XWindowAttributes attributes{};
        shown = XGetWindowAttributes(display, children[i], &attributes) != 0 && attributes.map_state == IsViewable
             && attributes.override_redirect && windowPid(display, children[i]) == static_cast<long>(pid);
    }
    if (children != nullptr)
        XFree(children);
    return shown;
}

bool hasFocus(Display* display, Window window)
{
    Window focus = None;
    int revert = 0;
    XGetInputFocus(display, &focus, &revert);
    return focus != None && focus == window;
}

bool windowManagerRuns(Display* display)
{
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char* data = nullptr;
    const int status = XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, XA_WINDOW, &type,
                                          &format, &count, &remaining, &data);
    if (data != nullptr)
        XFree(data);
    return status == Success && count == 1;
}

void unlockModifiers(Display* display)
{
    XkbLockModifiers(display, XkbUseCoreKbd, 0xff, 0);
    XSync(display, False);
}

void sendDeleteWindow(Display* display, Window window)
{
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
}

RawKeyListener::RawKeyListener() : display_(XOpenDisplay(nullptr))
{
    // 2.2 is announced: raw events reach the root window from 2.1 on.
    int event = 0, error = 0, major = 2, minor = 2;
    if (display_ == nullptr)
        throw std::runtime_error("cannot open the X display");
    if (!XQueryExtension(display_, "XInputExtension", &opcode_, &event, &error)
        || XIQueryVersion(display_, &major, &minor) != Success) {
        XCloseDisplay(display_);
        throw std::runtime_error("the X display has no XInput 2");
    }
    // Programs started later must not inherit this connection.
    ::fcntl(ConnectionNumber(display_), F_SETFD, FD_CLOEXEC);
    unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
    XISetMask(bits, XI_RawKeyPress);
    XISetMask(bits, XI_RawKeyRelease);
    XIEventMask mask{XIAllMasterDevices, static_cast<int>(sizeof bits), bits};
    XISelectEvents(display_, DefaultRootWindow(display_), &mask, 1);
    XSync(display_, False);
}

RawKeyListener::~RawKeyListener() { XCloseDisplay(display_); }

const std::vector<std::string>& RawKeyListener::heard()
{
    read();
    return heard_;
}

const std::vector<std::string>& RawKeyListener::heardKeycodes()
{
    read();
    return keycodes_;
}

void RawKeyListener::read()
{
    while (XPending(display_) > 0) {
        XEvent event;
        XNextEvent(display_, &event);
        XGenericEventCookie* cookie = &event.xcookie;
        if (cookie->type != GenericEvent || cookie->extension != opcode_ || !XGetEventData(display_, cookie))
            continue;
        const auto* raw = static_cast<const XIRawEvent*>(cookie->data);
        // Looked up at once: a keycode bound for one stroke loses its keysym soon after.
        const char* name = XKeysymToString(XkbKeycodeToKeysym(display_, static_cast<KeyCode>(raw->detail), 0, 0));
        const std::string sign = cookie->evtype == XI_RawKeyPress ? "+" : "-";
        heard_.push_back(sign + (name ? name : "?"));
        keycodes_.push_back(sign + std::to_string(raw->detail));
        XFreeEventData(display_, cookie);
    }
}

} // namespace corvane::xtools
