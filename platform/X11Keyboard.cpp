#include "platform/X11Keyboard.h"

#include "platform/X11Requests.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XInput2.h>
#include <X11/extensions/XTest.h>

#include <X11/Xatom.h>

#include <poll.h>

#include <algorithm>
#include <climits>
#include <string_view>

namespace corvane::platform {

namespace {

// The texts of this file, translated in the context "corvane::platform::X11Keyboard".
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(corvane::platform::X11Keyboard)
};

} // namespace

std::shared_ptr<X11Keyboard> X11Keyboard::open(QString* whyNot)
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11 || !x11->display()) {
        *whyNot = Texts::tr("Corvane is not running on an X display (platform \"%1\"), so it cannot send keys.")
                      .arg(QGuiApplication::platformName());
        return {};
    }
    Display* qt = x11->display();
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(qt, &event, &error, &major, &minor)) {
        *whyNot = Texts::tr("The X server has no XTEST extension, so Corvane cannot send keys.");
        return {};
    }
    Display* own = XOpenDisplay(DisplayString(qt));
    if (!own) {
        *whyNot = Texts::tr("Corvane cannot open a second connection to the X display \"%1\" for the keyboard.")
                      .arg(QString::fromLocal8Bit(DisplayString(qt)));
        return {};
    }
    std::shared_ptr<X11Keyboard> keyboard(new X11Keyboard);
    keyboard->qt_ = qt;
    keyboard->own_ = own;

    int opcode = 0;
    major = XkbMajorVersion;
    minor = XkbMinorVersion;
    if (!XkbQueryExtension(own, &opcode, &keyboard->xkbEventBase_, &error, &major, &minor)) {
        *whyNot = Texts::tr("The X server has no XKEYBOARD extension, so Corvane cannot send keys.");
        return {};
    }
    constexpr unsigned long kMapChanges = XkbNewKeyboardNotifyMask | XkbMapNotifyMask;
    XkbSelectEvents(own, XkbUseCoreKbd, kMapChanges, kMapChanges);
    XkbSelectEventDetails(own, XkbUseCoreKbd, XkbStateNotify, XkbGroupStateMask, XkbGroupStateMask);
    XkbStateRec state{};
    if (XkbGetState(own, XkbUseCoreKbd, &state) == Success)
        keyboard->group_ = state.group;
    // The layout names (setxkbmap and the desktops set them on the root
    // window) pick the layout's exceptions among the places.
    keyboard->rulesNamesAtom_ = XInternAtom(own, "_XKB_RULES_NAMES", False);
    XSelectInput(own, DefaultRootWindow(own), PropertyChangeMask);
    keyboard->readLayoutNames();

    // Version 2.2 is asked for: from 2.1 on, raw events reach the root window
    // even while another client grabs the keyboard.
    int xiOpcode = 0;
    if (XQueryExtension(own, "XInputExtension", &xiOpcode, &event, &error)) {
        major = 2;
        minor = 2;
        if (XIQueryVersion(own, &major, &minor) == Success && major >= 2) {
            unsigned char bits[XIMaskLen(XI_LASTEVENT)] = {};
            XISetMask(bits, XI_RawKeyPress);
            XISetMask(bits, XI_RawKeyRelease);
            XIEventMask mask{XIAllMasterDevices, static_cast<int>(sizeof bits), bits};
            XISelectEvents(own, DefaultRootWindow(own), &mask, 1);
            keyboard->xiOpcode_ = xiOpcode;
        }
    }
    XSync(own, False);
    return keyboard;
}

X11Keyboard::~X11Keyboard()
{
    if (keymap_)
        XkbFreeKeyboard(keymap_, 0, True);
    if (own_)
        XCloseDisplay(own_);
}

bool X11Keyboard::lost() const { return qtConnectionLost() || connectionLost(own_); }

void X11Keyboard::readEvents(bool fromSocket)
{
    // Taking what the socket holds costs Xlib's whole read path even when it
    // holds nothing, which is nearly always: look first. Even asking Xlib how
    // many events it holds takes its lock and settles its request count; the
    // connection is this thread's alone, so its queue's length is read as it
    // stands.
    pollfd socket{ConnectionNumber(own_), POLLIN, 0};
    if (fromSocket && ::poll(&socket, 1, 0) != 0)
        XEventsQueued(own_, QueuedAfterReading);
    while (XQLength(own_) > 0) {
        XkbEvent event;
        XNextEvent(own_, &event.core);
        if (event.type == GenericEvent && event.core.xcookie.extension == xiOpcode_) {
            XGenericEventCookie* cookie = &event.core.xcookie;
            if (XGetEventData(own_, cookie)) {
                const int keycode = static_cast<const XIRawEvent*>(cookie->data)->detail;
                if (cookie->evtype == XI_RawKeyPress && keycode >= 0 && keycode < 256)
                    pressed_.set(static_cast<std::size_t>(keycode));
                keysMoved_ = keysMoved_ || cookie->evtype == XI_RawKeyPress || cookie->evtype == XI_RawKeyRelease;
                XFreeEventData(own_, cookie);
            }
        } else if (event.type == xkbEventBase_) {
            if (event.any.xkb_type == XkbStateNotify) {
                if (event.state.group != group_)
                    virtualKeysStale_ = true;
                group_ = event.state.group;
            } else if (event.any.xkb_type == XkbMapNotify || event.any.xkb_type == XkbNewKeyboardNotify) {
                keymapStale_ = true;
            }
        } else if (event.type == MappingNotify) {
            keymapStale_ = true;
        } else if (event.type == PropertyNotify && event.core.xproperty.atom == rulesNamesAtom_) {
            readLayoutNames();
        }
    }
}

bool X11Keyboard::takeKeysMoved()
{
    const bool moved = keysMoved_;
    keysMoved_ = false;
    return moved;
}

KeycodeSet X11Keyboard::takePressed()
{
    const KeycodeSet pressed = pressed_;
    pressed_.reset();
    return pressed;
}

XkbDescPtr X11Keyboard::keymap()
{
    if (keymapStale_) {
        if (keymap_)
            XkbFreeKeyboard(keymap_, 0, True);
        keymap_ = XkbGetMap(own_, XkbKeyTypesMask | XkbKeySymsMask | XkbModifierMapMask, XkbUseCoreKbd);
        keymapStale_ = false;
        virtualKeysStale_ = true;
    }
    return keymap_;
}

X11KeySym X11Keyboard::keysymAt(int keycode, int group, int level)
{
    XkbDescPtr map = keymap();
    if (!map || keycode < map->min_key_code || keycode > map->max_key_code || group < 0 || level < 0)
        return NoSymbol;
    const auto key = static_cast<KeyCode>(keycode);
    const int groups = XkbKeyNumGroups(map, key);
    if (groups == 0)
        return NoSymbol;
    group %= groups;
    if (level >= XkbKeyGroupWidth(map, key, group))
        return NoSymbol;
    return XkbKeySymEntry(map, key, level, group);
}

void X11Keyboard::readLayoutNames()
{
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    layouts_.clear();
    if (XGetWindowProperty(own_, DefaultRootWindow(own_), rulesNamesAtom_, 0, 1024, False, XA_STRING, &type, &format,
                           &count, &after, &data)
            == Success
        && data) {
        if (format == 8)
            layouts_ = layoutsOfRulesNames(std::string_view(reinterpret_cast<const char*>(data), count));
        XFree(data);
    }
    virtualKeysStale_ = true;
}

const VirtualKeySet& X11Keyboard::virtualKeys(int keycode)
{
    static const VirtualKeySet kNone;
    if (keycode < 0 || keycode > 255)
        return kNone;
    places();
    return virtualKeys_[static_cast<std::size_t>(keycode)];
}

const KeyPlaces& X11Keyboard::places()
{
    keymap();
    if (virtualKeysStale_)
        buildVirtualKeys();
    return places_;
}

int X11Keyboard::keycodeFor(int virtualKey)
{
    const int key = places().kernelKeyFor(virtualKey);
    XkbDescPtr map = keymap_;
    const int keycode = key + kX11KeycodeOffset;
    if (!map || key == 0 || keycode < map->min_key_code || keycode > map->max_key_code)
        return 0;
    const auto code = static_cast<KeyCode>(keycode);
    const KeySym* syms = XkbKeySymsPtr(map, code);
    const bool anyKeysym = std::any_of(syms, syms + XkbKeyNumSyms(map, code), [](KeySym s) { return s != NoSymbol; });
    return anyKeysym ? keycode : 0;
}

void X11Keyboard::buildVirtualKeys()
{
    virtualKeysStale_ = false;
    LayoutKeys layout{layoutOfGroup(layouts_, group_), {}};
    for (std::size_t key = 1; key + kX11KeycodeOffset < 256; ++key) {
        layout.letters[key] = latinLetterOfKeysym(keysymAt(static_cast<int>(key + kX11KeycodeOffset), group_, 0));
    }
    places_ = KeyPlaces(layout);
    const std::vector<int>& named = namedKernelKeys();
    for (int keycode = 0; keycode < 256; ++keycode) {
        const int key = keycode - kX11KeycodeOffset;
        VirtualKeySet codes = places_.virtualKeysFor(key);
        // A keycode at no named place: a spare, known by what it gives.
        if (codes.none() && !std::binary_search(named.begin(), named.end(), key))
            codes = virtualKeysForKeysym(keysymAt(keycode, group_, 0));
        virtualKeys_[static_cast<std::size_t>(keycode)] = codes;
    }
}

std::optional<X11Keyboard::Place> X11Keyboard::find(X11KeySym keysym, int group, bool anyGroup)
{
    XkbDescPtr map = keymap();
    if (!map || keysym == NoSymbol)
        return std::nullopt;
    std::optional<Place> best;
    int bestScore = INT_MAX;
    for (int keycode = map->min_key_code; keycode <= map->max_key_code; ++keycode) {
        const auto key = static_cast<KeyCode>(keycode);
        const int groups = XkbKeyNumGroups(map, key);
        for (int g = 0; g < groups; ++g) {
            const bool current = g == group % groups;
            if (!current && !anyGroup)
                continue;
            const int width = XkbKeyGroupWidth(map, key, g);
            for (int level = 0; level < width; ++level) {
                // The current group first, then the lowest level.
                const int score = (current ? 0 : 1000) + level;
                if (XkbKeySymEntry(map, key, level, g) == keysym && score < bestScore) {
                    bestScore = score;
                    best = Place{keycode, level};
                }
            }
        }
    }
    return best;
}

unsigned X11Keyboard::modifiersOf(X11KeySym keysym)
{
    const auto place = find(keysym, group_, true);
    return place ? keymap_->map->modmap[place->keycode] : 0u;
}

} // namespace corvane::platform
