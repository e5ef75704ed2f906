#pragma once
// Virtual-key codes and the X keysyms of their keys, both ways: for a key the
// keymap lacks, which is sent on a spare keycode bound to its keysym, and for
// the characters that Send Keys types. Keys themselves are known by their
// place (KeyPlaces.h). Pure data: looking a code up needs no X connection.
#include "platform/KeyPlaces.h"

namespace corvane::platform {

// X's KeySym, without the X headers.
using X11KeySym = unsigned long;

// X's keycodes (and xkbcommon's) are the kernel's key codes plus 8.
constexpr int kX11KeycodeOffset = 8;

// The Latin letter 'A'..'Z' of a keysym a..z or A..Z; 0 for any other.
char latinLetterOfKeysym(X11KeySym keysym);

// The keysym that a key down or up of the code sends: letters as their lower
// case (65 -> a), the generic Shift, Ctrl and Alt (16..18) as their left keys.
// 0 for a code with no X key (the mouse buttons, codes nothing names, codes
// outside 0..255).
X11KeySym keysymForVirtualKey(int virtualKey);

// The codes that a key giving this keysym counts as: every code whose keysym
// it is, but for the second names that only send a key (Print
// counts as 44, not 42, and Caps_Lock as 20, not 14), and
// with a left or right Shift, Ctrl or Alt also the generic 16, 17 or 18.
// Empty for a keysym no code names.
VirtualKeySet virtualKeysForKeysym(X11KeySym keysym);

// The keysym that types the character: Return for '\n' and '\r', Tab for
// '\t'; the code point itself for the other Latin-1 characters; above them
// the character's own keysym where X has one (Cyrillic_ef for U+0444,
// EuroSign for U+20AC), else 0x01000000 + the code point. 0 for the other
// control characters and for what is no character (surrogates, U+FFFE,
// values past U+10FFFF).
X11KeySym keysymForCharacter(char32_t character);

// 0x01000000 + the code point above Latin-1, which a layout may give in
// place of the character's own keysym; 0 for Latin-1.
X11KeySym unicodeKeysymForCharacter(char32_t character);

} // namespace corvane::platform
