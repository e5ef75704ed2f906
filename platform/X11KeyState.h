#pragma once
// The keyboard's state from the X server, whatever window has the focus.
//
// A snapshot takes the keys down from XQueryKeymap on the keyboard's own
// connection (one round trip for all keys) and adds the keys heard pressed
// since the last snapshot (XInput2 raw key presses), so a key tapped between
// two snapshots counts once. While no key is down, the round trip is made only
// when a key went down or up since the last one (raw presses and releases,
// read without waiting), and at least every kRequeryMs: a press still on its
// way is then seen one snapshot later, as if it had come a little later. While
// a key is down it is made at every snapshot, as the release may be on its
// way; so it is without raw events. Keycodes become virtual-key codes through the keymap of the
// current group (X11Keyboard::virtualKeys), so letters follow the layout.
//
// A key sent through a spare keycode (X11KeyOutput) counts while the spare
// has its keysym; a tap on it that the next snapshot comes too late for is
// lost with it. Without X nothing is ever down.
#include "platform/KeyState.h"
#include "platform/X11KeyTable.h"

#include <QElapsedTimer>

#include <memory>

namespace corvane::platform {

class X11Keyboard;

class X11KeyState final : public KeyState {
public:
    // `keyboard` null: unavailable.
    explicit X11KeyState(std::shared_ptr<X11Keyboard> keyboard);
    void snapshot() override;
    bool isDown(int virtualKey) const override
    {
        return virtualKey >= 0 && virtualKey < 256 && down_[static_cast<std::size_t>(virtualKey)];
    }

    static constexpr qint64 kRequeryMs = 250;

private:
    std::shared_ptr<X11Keyboard> keyboard_;
    VirtualKeySet down_;
    char keys_[32] = {}; // the keycodes down at the last query, one bit each
    QElapsedTimer queried_;
};

} // namespace corvane::platform
