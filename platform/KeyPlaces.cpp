#include "platform/KeyPlaces.h"

#include <linux/input-event-codes.h>

#include <algorithm>
#include <array>

namespace corvane::platform {

namespace {

struct Row {
    int code;
    int key;
};

// The named keys one by one; letters, digits, keypad digits and the function
// keys are filled in below.
constexpr Row kRows[] = {
    {3, KEY_CANCEL},
    {8, KEY_BACKSPACE},
    {9, KEY_TAB},
    {12, KEY_CLEAR},
    {13, KEY_ENTER},
    // The program names 14 "CAPITOL" after Caps Lock and 15 "KANA" after the
    // Japanese kana key.
    {14, KEY_CAPSLOCK},
    {15, KEY_KATAKANAHIRAGANA},
    {16, KEY_LEFTSHIFT},
    {17, KEY_LEFTCTRL},
    {18, KEY_LEFTALT},
    {19, KEY_PAUSE},
    {20, KEY_CAPSLOCK},
    {27, KEY_ESC},
    {32, KEY_SPACE},
    {33, KEY_PAGEUP},
    {34, KEY_PAGEDOWN},
    {35, KEY_END},
    {36, KEY_HOME},
    {37, KEY_LEFT},
    {38, KEY_UP},
    {39, KEY_RIGHT},
    {40, KEY_DOWN},
    {41, KEY_SELECT},
    {42, KEY_SYSRQ},
    {44, KEY_SYSRQ},
    {45, KEY_INSERT},
    {46, KEY_DELETE},
    {47, KEY_HELP},
    {91, KEY_LEFTMETA},
    {92, KEY_RIGHTMETA},
    {93, KEY_COMPOSE},
    {95, KEY_SLEEP},
    {96, KEY_KP0},
    {97, KEY_KP1},
    {98, KEY_KP2},
    {99, KEY_KP3},
    {100, KEY_KP4},
    {101, KEY_KP5},
    {102, KEY_KP6},
    {103, KEY_KP7},
    {104, KEY_KP8},
    {105, KEY_KP9},
    {106, KEY_KPASTERISK},
    {107, KEY_KPPLUS},
    {108, KEY_KPENTER},
    {109, KEY_KPMINUS},
    {110, KEY_KPDOT},
    {111, KEY_KPSLASH},
    {144, KEY_NUMLOCK},
    {145, KEY_SCROLLLOCK},
    {160, KEY_LEFTSHIFT},
    {161, KEY_RIGHTSHIFT},
    {162, KEY_LEFTCTRL},
    {163, KEY_RIGHTCTRL},
    {164, KEY_LEFTALT},
    {165, KEY_RIGHTALT},
    {166, KEY_BACK},
    {167, KEY_FORWARD},
    {168, KEY_REFRESH},
    {169, KEY_STOP},
    {170, KEY_SEARCH},
    {171, KEY_BOOKMARKS},
    {172, KEY_HOMEPAGE},
    {173, KEY_MUTE},
    {174, KEY_VOLUMEDOWN},
    {175, KEY_VOLUMEUP},
    {176, KEY_NEXTSONG},
    {177, KEY_PREVIOUSSONG},
    {178, KEY_STOPCD},
    {179, KEY_PLAYPAUSE},
    {180, KEY_MAIL},
    {181, KEY_MEDIA},
    {182, KEY_COMPUTER},
    {183, KEY_CALC},
    // Punctuation by its place: the key right of L, right of 0 and so on.
    {186, KEY_SEMICOLON},
    {187, KEY_EQUAL},
    {188, KEY_COMMA},
    {189, KEY_MINUS},
    {190, KEY_DOT},
    {191, KEY_SLASH},
    {192, KEY_GRAVE},
    {219, KEY_LEFTBRACE},
    {220, KEY_BACKSLASH},
    {221, KEY_RIGHTBRACE},
    {222, KEY_APOSTROPHE},
    // The extra key of the 105-key keyboards, left of Z.
    {226, KEY_102ND},
};

// The letters A..Z and the digits 0..9 where the US keyboard has them.
constexpr int kLetters[26] = {KEY_A, KEY_B, KEY_C, KEY_D, KEY_E, KEY_F, KEY_G, KEY_H, KEY_I,
                              KEY_J, KEY_K, KEY_L, KEY_M, KEY_N, KEY_O, KEY_P, KEY_Q, KEY_R,
                              KEY_S, KEY_T, KEY_U, KEY_V, KEY_W, KEY_X, KEY_Y, KEY_Z};
constexpr int kDigits[10] = {KEY_0, KEY_1, KEY_2, KEY_3, KEY_4, KEY_5, KEY_6, KEY_7, KEY_8, KEY_9};
constexpr int kFunctionKeys[24] = {KEY_F1,  KEY_F2,  KEY_F3,  KEY_F4,  KEY_F5,  KEY_F6,  KEY_F7,  KEY_F8,
                                   KEY_F9,  KEY_F10, KEY_F11, KEY_F12, KEY_F13, KEY_F14, KEY_F15, KEY_F16,
                                   KEY_F17, KEY_F18, KEY_F19, KEY_F20, KEY_F21, KEY_F22, KEY_F23, KEY_F24};

struct Table {
    std::array<int, 256> key{};
    // The code a kernel key reads back as, by kernel key; 0 for none.
    std::array<int, KEY_CNT> code{};
};

constexpr Table buildTable()
{
    Table t;
    for (int i = 0; i < 26; ++i)
        t.key[65 + i] = kLetters[i];
    for (int i = 0; i < 10; ++i)
        t.key[48 + i] = kDigits[i];
    for (int i = 0; i < 24; ++i)
        t.key[112 + i] = kFunctionKeys[i];
    for (const Row& row : kRows)
        t.key[row.code] = row.key;
    // Reading back, the highest code wins where two name one key: the sides
    // of Shift, Ctrl and Alt over the generic codes, Caps Lock 20 over 14,
    // Snapshot 44 over Print 42.
    for (int code = 0; code < 256; ++code) {
        if (t.key[code] != 0)
            t.code[t.key[code]] = code;
    }
    return t;
}

constexpr Table kTable = buildTable();

} // namespace

int kernelKeyForVirtualKey(int virtualKey)
{
    return virtualKey >= 0 && virtualKey < 256 ? kTable.key[virtualKey] : 0;
}

VirtualKeySet virtualKeysForKernelKey(int kernelKey)
{
    VirtualKeySet codes;
    if (kernelKey <= 0 || kernelKey >= KEY_CNT || kTable.code[kernelKey] == 0)
        return codes;
    const int code = kTable.code[kernelKey];
    codes.set(code);
    if (code >= 160 && code <= 165)
        codes.set(16 + (code - 160) / 2);
    return codes;
}

const std::vector<int>& namedKernelKeys()
{
    static const std::vector<int> keys = [] {
        std::vector<int> all;
        for (int key : kTable.key) {
            if (key != 0)
                all.push_back(key);
        }
        std::sort(all.begin(), all.end());
        all.erase(std::unique(all.begin(), all.end()), all.end());
        return all;
    }();
    return keys;
}

} // namespace corvane::platform
