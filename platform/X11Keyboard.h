#pragma once
// The keyboard as the X server sees it, shared by the key output and the key
// state: the keymap (which keysyms each keycode gives, in which group and at
// which level), the current group, which virtual-key codes each keycode
// counts as, and the keys pressed since they were last taken.
//
// It keeps a connection of its own to the display Qt uses, so that its event
// queue never competes with Qt's. On it, it hears of keymap and group changes
// (XKB) and of every key press (XInput2 raw events on the root window, which
// reach it whatever window has the focus). Xlib's own keymap on Qt's
// connection cannot serve: Qt reads that connection's events, so Xlib never
// learns of a change and would keep the keymap it first fetched.
//
// Keys are known by their place (KeyPlaces): an X keycode is the kernel's key
// code plus 8, as on every X server of a Linux desktop, whose keycodes follow
// the kernel's (the "evdev" keycodes); only the letters follow the keymap.
//
// The keymap is fetched once and again after the server reports a change or
// this program changes it (keymapChanged()); the keycode -> code map is built
// again after a keymap, group or layout name change. Nothing is fetched per
// poll.
#include "platform/KeyPlaces.h"
#include "platform/X11KeyTable.h"

#include <QString>

#include <array>
#include <bitset>
#include <memory>
#include <optional>
#include <string>

struct _XDisplay;
struct _XkbDesc;

namespace corvane::platform {

using KeycodeSet = std::bitset<256>;

class X11Keyboard {
public:
    // The keyboard of Qt's X display; null when Qt does not run on X or the
    // display lacks what keys need (XTEST, XKB), with the reason in `whyNot`.
    static std::shared_ptr<X11Keyboard> open(QString* whyNot);
    ~X11Keyboard();
    X11Keyboard(const X11Keyboard&) = delete;
    X11Keyboard& operator=(const X11Keyboard&) = delete;

    // Qt's connection (for injected events, so they keep their order with the
    // pointer's) and the keyboard's own.
    _XDisplay* qtDisplay() const { return qt_; }
    _XDisplay* display() const { return own_; }
    // Whether key presses are heard (XInput2 2.0 or later); without it only
    // the keys down at a query are seen.
    bool hearsPresses() const { return xiOpcode_ >= 0; }
    // Whether either connection has lost the server (X11Requests.h): then
    // nothing may be sent, as Xlib would end the program on the first try.
    bool lost() const;

    // Handles the events that have come in. With `fromSocket` false only those
    // Xlib has read already (after a reply), else what the socket holds too,
    // without waiting.
    void readEvents(bool fromSocket);
    // The keycodes pressed since the last call.
    KeycodeSet takePressed();
    // Whether any key went down or up since the last call (heard only while
    // hearsPresses()).
    bool takeKeysMoved();
    // This program changed the keymap (and the server has done it): fetch it
    // again before the next use.
    void keymapChanged() { keymapStale_ = true; }

    int group() const { return group_; }
    // The codes a keycode counts as: those of its place, for the layout of
    // the current group; for a keycode at no named place (a spare keycode this
    // program bound) those of its keysym at level 0.
    const VirtualKeySet& virtualKeys(int keycode);
    // The keycode at the place of the code in the current layout; 0 when the
    // code has no place there or the keymap gives the keycode no keysym.
    int keycodeFor(int virtualKey);
    // The keysym at a keycode, group and level; 0 when there is none. A group
    // past the key's groups wraps round, as the server does.
    X11KeySym keysymAt(int keycode, int group, int level);

    struct Place {
        int keycode = 0;
        int level = 0;
    };
    // A keycode giving the keysym: in `group` at the lowest level, or with
    // `anyGroup` also in the other groups when the group has none.
    std::optional<Place> find(X11KeySym keysym, int group, bool anyGroup);
    // The real modifiers (ShiftMask, Mod5Mask ...) that a key giving the
    // keysym sets; 0 when no key gives it.
    unsigned modifiersOf(X11KeySym keysym);

private:
    X11Keyboard() = default;
    _XkbDesc* keymap();
    // The codes' places in the current keymap, group and layout.
    const KeyPlaces& places();
    void buildVirtualKeys();
    void readLayoutNames();

    _XDisplay* qt_ = nullptr;
    _XDisplay* own_ = nullptr;
    int xkbEventBase_ = -1;
    int xiOpcode_ = -1;
    unsigned long rulesNamesAtom_ = 0;
    // The layouts the server's rule names list, comma-separated ("us,de").
    std::string layouts_;
    KeyPlaces places_;
    int group_ = 0;
    _XkbDesc* keymap_ = nullptr;
    bool keymapStale_ = true;
    bool virtualKeysStale_ = true;
    KeycodeSet pressed_;
    bool keysMoved_ = false;
    std::array<VirtualKeySet, 256> virtualKeys_{};
};

} // namespace corvane::platform
