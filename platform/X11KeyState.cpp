#include "platform/X11KeyState.h"

#include "platform/X11Keyboard.h"

#include <X11/Xlib.h>

#include <algorithm>
#include <iterator>

namespace corvane::platform {

X11KeyState::X11KeyState(std::shared_ptr<X11Keyboard> keyboard) : keyboard_(std::move(keyboard)) {}

void X11KeyState::snapshot()
{
    if (!keyboard_)
        return;
    keyboard_->readEvents(true);
    const bool moved = keyboard_->takeKeysMoved();
    const bool anyDown = std::any_of(std::begin(keys_), std::end(keys_), [](char bits) { return bits != 0; });
    if (moved || anyDown || !keyboard_->hearsPresses() || !queried_.isValid() || queried_.hasExpired(kRequeryMs)) {
        XQueryKeymap(keyboard_->display(), keys_);
        queried_.start();
        // The events read with the reply came before it: the presses among them
        // belong to this snapshot, later ones to the next.
        keyboard_->readEvents(false);
        keyboard_->takeKeysMoved();
    }
    KeycodeSet down = keyboard_->takePressed();
    for (std::size_t keycode = 0; keycode < 256; ++keycode) {
        if (keys_[keycode / 8] & (1 << (keycode % 8)))
            down.set(keycode);
    }
    down_.reset();
    for (int keycode = 0; keycode < 256; ++keycode) {
        if (down[static_cast<std::size_t>(keycode)])
            down_ |= keyboard_->virtualKeys(keycode);
    }
}

} // namespace corvane::platform
