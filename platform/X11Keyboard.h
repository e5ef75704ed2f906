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
// The keymap is fetched once and again after the server reports a change or
// this program changes it (keymapChanged()); the keycode -> code map is built
// again after a keymap or group change. Nothing is fetched per poll.
#include "platform/X11KeyTable.h"

#include <QString>

#include <array>
#include <bitset>
#include <memory>
#include <optional>

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
    // This program changed the keymap (and the server has done it): fetch it
    // again before the next use.
    void keymapChanged() { keymapStale_ = true; }

    int group() const { return group_; }
    // The codes a keycode counts as: by its keysym at level 0 of the current
    // group; for a keypad key whose level 0 no code names (KP_Home with Num
    // Lock off) by its level 1 (KP_7); for a key whose keysym in the current
    // group no code names (a Cyrillic letter) by its keysym in the first group.
    const VirtualKeySet& virtualKeys(int keycode);
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
    void buildVirtualKeys();

    _XDisplay* qt_ = nullptr;
    _XDisplay* own_ = nullptr;
    int xkbEventBase_ = -1;
    int xiOpcode_ = -1;
    int group_ = 0;
    _XkbDesc* keymap_ = nullptr;
    bool keymapStale_ = true;
    bool virtualKeysStale_ = true;
    KeycodeSet pressed_;
    std::array<VirtualKeySet, 256> virtualKeys_{};
};

} // namespace corvane::platform
