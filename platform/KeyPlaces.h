#pragma once
// Which physical key a virtual-key code names, as the kernel numbers keys
// (KEY_LEFTSHIFT, KEY_DOT ...), both ways. This is the one table of key
// identity: a code means the same key whether it is read or sent through the
// X server (whose keycodes are the kernel's plus 8) or through the kernel's
// input devices. Pure data.
//
// Codes are assigned as the keyboards of Windows assign them, so that a
// profile means the same keys on every machine:
// - the letters A..Z (65..90) follow the layout: the key whose first level
//   gives "z" is 90, on German QWERTZ the key right of T;
// - the digit row is 48..57 and the keypad 96..111 on every layout, AZERTY
//   included, and whatever Num Lock says;
// - the punctuation keys (186..192, 219..223, 226) are named by their place
//   on a 105-key keyboard, with the exceptions of the German, French and UK
//   layouts, whose Windows layouts give some places other codes;
// - the other keys (function, editing and modifier keys) by their place.
#include <array>
#include <bitset>
#include <linux/input-event-codes.h>
#include <string>
#include <string_view>
#include <vector>

namespace corvane::platform {

// A set of virtual-key codes 0..255.
using VirtualKeySet = std::bitset<256>;
// A set of kernel keys (KEY_A ...).
using KernelKeySet = std::bitset<KEY_CNT>;

// What a keyboard layout puts where codes follow it.
struct LayoutKeys {
    // The layout's rule name ("de", "fr", "gb" ...): it picks the exceptions.
    std::string layout;
    // By kernel key: the Latin letter 'A'..'Z' that the key gives at its first
    // level in the current group, or 0.
    std::array<char, 256> letters{};
};

// The layouts of the X server's rule names: the third of the five strings,
// each ended by a zero byte, of the root window's _XKB_RULES_NAMES (rules,
// model, layouts, variants, options).
std::string layoutsOfRulesNames(std::string_view property);

// The rule name of the layout of `group` in a comma-separated layout list
// ("us,de" and 1 give "de"); the first when the list is shorter.
std::string layoutOfGroup(std::string_view layouts, int group);

class KeyPlaces {
public:
    // The US layout.
    KeyPlaces();
    explicit KeyPlaces(const LayoutKeys& layout);

    // The kernel key that a key down or up of the code presses: the generic
    // Shift, Ctrl and Alt (16..18) as their left keys, Caps Lock 14 and 20 as
    // Caps Lock, Print 42 and Snapshot 44 as Print Screen. 0 for a code no key
    // of the layout gives (the mouse buttons, codes nothing names, codes
    // outside 0..255).
    int kernelKeyFor(int virtualKey) const;

    // The codes the kernel key counts as when it is down: the one code it
    // gives (Caps Lock is 20, Print Screen 44), and with a left or right
    // Shift, Ctrl or Alt also the generic 16, 17 or 18. Empty for a key no
    // code names.
    VirtualKeySet virtualKeysFor(int kernelKey) const;
    // The codes the keys count as when they are down together.
    VirtualKeySet virtualKeysFor(const KernelKeySet& keys) const;

private:
    std::array<int, 256> key_{};
    std::vector<int> code_; // by kernel key
};

// Every kernel key some code names on some layout, once each, in ascending
// order: the keys a virtual keyboard needs.
const std::vector<int>& namedKernelKeys();

} // namespace corvane::platform
