#include "platform/X11KeyTable.h"

#include <X11/X.h>
#include <X11/XF86keysym.h>
#include <X11/keysym.h>
#include <xkbcommon/xkbcommon.h>

#include <array>

namespace corvane::platform {

namespace {

struct Row {
    int code;
    X11KeySym keysym;
};

// The named keys one by one; letters, digits, keypad digits and F1..F24 run
// in order on both sides and are filled in below.
constexpr Row kRows[] = {
    {3, XK_Cancel},
    {8, XK_BackSpace},
    {9, XK_Tab},
    {12, XK_Clear},
    {13, XK_Return},
    // The program names 14 "CAPITOL" after Caps Lock and 15 "KANA" after the
    // Japanese kana key, one place below the codes Windows gives them.
    {14, XK_Caps_Lock},
    {15, XK_Hiragana_Katakana},
    {16, XK_Shift_L},
    {17, XK_Control_L},
    {18, XK_Alt_L},
    {19, XK_Pause},
    {20, XK_Caps_Lock},
    {27, XK_Escape},
    {32, XK_space},
    {33, XK_Prior},
    {34, XK_Next},
    {35, XK_End},
    {36, XK_Home},
    {37, XK_Left},
    {38, XK_Up},
    {39, XK_Right},
    {40, XK_Down},
    {41, XK_Select},
    {42, XK_Print},
    {43, XK_Execute},
    {44, XK_Print},
    {45, XK_Insert},
    {46, XK_Delete},
    {47, XK_Help},
    {91, XK_Super_L},
    {92, XK_Super_R},
    {93, XK_Menu},
    {95, XF86XK_Sleep},
    {106, XK_KP_Multiply},
    {107, XK_KP_Add},
    {108, XK_KP_Enter},
    {109, XK_KP_Subtract},
    {110, XK_KP_Decimal},
    {111, XK_KP_Divide},
    {144, XK_Num_Lock},
    {145, XK_Scroll_Lock},
    {160, XK_Shift_L},
    {161, XK_Shift_R},
    {162, XK_Control_L},
    {163, XK_Control_R},
    {164, XK_Alt_L},
    {165, XK_Alt_R},
    {166, XF86XK_Back},
    {167, XF86XK_Forward},
    {168, XF86XK_Refresh},
    {169, XF86XK_Stop},
    {170, XF86XK_Search},
    {171, XF86XK_Favorites},
    {172, XF86XK_HomePage},
    {173, XF86XK_AudioMute},
    {174, XF86XK_AudioLowerVolume},
    {175, XF86XK_AudioRaiseVolume},
    {176, XF86XK_AudioNext},
    {177, XF86XK_AudioPrev},
    {178, XF86XK_AudioStop},
    {179, XF86XK_AudioPlay},
    {180, XF86XK_Mail},
    {181, XF86XK_AudioMedia},
    // The two launch keys, as the keys of a Windows keyboard reach X.
    {182, XF86XK_MyComputer},
    {183, XF86XK_Calculator},
    {186, XK_semicolon},
    {187, XK_equal},
    {188, XK_comma},
    {189, XK_minus},
    {190, XK_period},
    {191, XK_slash},
    {192, XK_grave},
    {219, XK_bracketleft},
    {220, XK_backslash},
    {221, XK_bracketright},
    {222, XK_apostrophe},
    // The extra key of the ISO keyboards, left of Z.
    {226, XK_less},
};

struct Columns {
    std::array<X11KeySym, 256> keysym{};
};

constexpr Columns buildColumns()
{
    Columns c;
    for (int i = 0; i < 26; ++i)
        c.keysym[65 + i] = XK_a + static_cast<X11KeySym>(i);
    for (int i = 0; i < 10; ++i) {
        c.keysym[48 + i] = XK_0 + static_cast<X11KeySym>(i);
        c.keysym[96 + i] = XK_KP_0 + static_cast<X11KeySym>(i);
    }
    for (int i = 0; i < 24; ++i)
        c.keysym[112 + i] = XK_F1 + static_cast<X11KeySym>(i);
    for (const Row& row : kRows)
        c.keysym[row.code] = row.keysym;
    return c;
}

constexpr Columns kColumns = buildColumns();

bool inRange(int code) { return code >= 0 && code < 256; }

} // namespace

X11KeySym keysymForVirtualKey(int virtualKey) { return inRange(virtualKey) ? kColumns.keysym[virtualKey] : 0; }

VirtualKeySet virtualKeysForKeysym(X11KeySym keysym)
{
    VirtualKeySet codes;
    if (keysym == 0)
        return codes;
    for (int code = 0; code < 256; ++code) {
        if (kColumns.keysym[code] == keysym)
            codes.set(code);
    }
    // Caps Lock and Print Screen read back as the keyboard's own codes, 20
    // and 44, not also as the second names 14 and 42 that only send them.
    if (codes[20])
        codes.reset(14);
    if (codes[44])
        codes.reset(42);
    // A side of Shift, Ctrl or Alt (160..165) is also the generic key.
    for (int side = 160; side <= 165; ++side) {
        if (codes[side])
            codes.set(16 + (side - 160) / 2);
    }
    return codes;
}

char latinLetterOfKeysym(X11KeySym keysym)
{
    if (keysym >= XK_a && keysym <= XK_z)
        return static_cast<char>('A' + (keysym - XK_a));
    if (keysym >= XK_A && keysym <= XK_Z)
        return static_cast<char>('A' + (keysym - XK_A));
    return 0;
}

X11KeySym keysymForCharacter(char32_t character)
{
    switch (character) {
    case U'\n':
    case U'\r':
        return XK_Return;
    case U'\t':
        return XK_Tab;
    default:
        break;
    }
    if (character < 0x20 || (character >= 0x7f && character < 0xa0))
        return NoSymbol;
    return xkb_utf32_to_keysym(character);
}

X11KeySym unicodeKeysymForCharacter(char32_t character)
{
    return character >= 0x100 && character <= 0x10ffff ? 0x01000000 + X11KeySym{character} : NoSymbol;
}

} // namespace corvane::platform
