#pragma once
// Which physical key a virtual-key code names, as the kernel numbers keys
// (KEY_LEFTSHIFT, KEY_DOT ...): the place the key has on a standard 105-key
// keyboard, so that a code means the same key whether it is sent or read
// through the kernel's input devices. Pure data, both ways.
#include <bitset>
#include <vector>

namespace corvane::platform {

// A set of virtual-key codes 0..255.
using VirtualKeySet = std::bitset<256>;

// The kernel key code that a key down or up of the code presses: letters and
// digits by their places on the US keyboard, punctuation by its place on a
// 105-key keyboard, the generic Shift, Ctrl and Alt (16..18) as their left
// keys, Print (42) and Snapshot (44) both as the Print Screen key. 0 for a
// code with no key (the mouse buttons, codes nothing names, codes outside
// 0..255).
int kernelKeyForVirtualKey(int virtualKey);

// The codes that the kernel key counts as when it is down: the one code the
// keyboard gives for it (Caps Lock is 20, Print Screen 44), and with a left
// or right Shift, Ctrl or Alt also the generic 16, 17 or 18. Empty for a key
// no code names.
VirtualKeySet virtualKeysForKernelKey(int kernelKey);

// Every kernel key some code names, once each, in ascending order: the keys a
// virtual keyboard needs.
const std::vector<int>& namedKernelKeys();

} // namespace corvane::platform
