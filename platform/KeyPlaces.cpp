#include "platform/KeyPlaces.h"

#include <linux/input-event-codes.h>

#include <algorithm>
#include <array>
#include <span>

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

// The places whose code follows the layout: the letters' and the
// punctuation's.
constexpr int kPunctuationKeys[] = {KEY_GRAVE,      KEY_MINUS,     KEY_EQUAL,     KEY_LEFTBRACE,
                                    KEY_RIGHTBRACE, KEY_BACKSLASH, KEY_SEMICOLON, KEY_APOSTROPHE,
                                    KEY_COMMA,      KEY_DOT,       KEY_SLASH,     KEY_102ND};

constexpr bool followsLayout(int key)
{
    return std::find(std::begin(kLetters), std::end(kLetters), key) != std::end(kLetters)
        || std::find(std::begin(kPunctuationKeys), std::end(kPunctuationKeys), key) != std::end(kPunctuationKeys);
}

// The places that a layout's Windows keyboard gives another punctuation code
// than the US one; the letters come from the layout itself.
struct Exception {
    int key;
    int code;
};
// German: ^ 220, ß 219, ´ 221, ü 186, + 187, ö 192, # 191, - 189.
constexpr Exception kGerman[] = {{KEY_GRAVE, 220},     {KEY_MINUS, 219},      {KEY_EQUAL, 221},
                                 {KEY_LEFTBRACE, 186}, {KEY_RIGHTBRACE, 187}, {KEY_SEMICOLON, 192},
                                 {KEY_BACKSLASH, 191}, {KEY_SLASH, 189}};
// French: ² 222, ) 219, ^ 221, $ 186, ù 192, the comma at the US M 188,
// ; 190, : 191, ! 223.
constexpr Exception kFrench[] = {{KEY_GRAVE, 222},      {KEY_MINUS, 219},      {KEY_LEFTBRACE, 221},
                                 {KEY_RIGHTBRACE, 186}, {KEY_APOSTROPHE, 192}, {KEY_M, 188},
                                 {KEY_COMMA, 190},      {KEY_DOT, 191},        {KEY_SLASH, 223}};
// UK: ` 223, ' 192, # 222, and the \ left of Z 220.
constexpr Exception kUnitedKingdom[] = {
    {KEY_GRAVE, 223}, {KEY_APOSTROPHE, 192}, {KEY_BACKSLASH, 222}, {KEY_102ND, 220}};

std::span<const Exception> exceptionsOf(std::string_view layout)
{
    if (layout == "de")
        return kGerman;
    if (layout == "fr")
        return kFrench;
    if (layout == "gb")
        return kUnitedKingdom;
    return {};
}

LayoutKeys unitedStates()
{
    LayoutKeys us{"us", {}};
    for (int i = 0; i < 26; ++i)
        us.letters[static_cast<std::size_t>(kLetters[i])] = static_cast<char>('A' + i);
    return us;
}

} // namespace

std::string layoutsOfRulesNames(std::string_view property)
{
    std::size_t start = 0;
    for (int field = 0; field < 2; ++field) {
        start = property.find('\0', start);
        if (start == std::string_view::npos)
            return {};
        ++start;
    }
    return std::string(property.substr(start, property.find('\0', start) - start));
}

std::string layoutOfGroup(std::string_view layouts, int group)
{
    std::vector<std::string_view> names;
    for (std::size_t start = 0;;) {
        const std::size_t comma = layouts.find(',', start);
        names.push_back(layouts.substr(start, comma == std::string_view::npos ? comma : comma - start));
        if (comma == std::string_view::npos)
            break;
        start = comma + 1;
    }
    std::string_view name = group >= 0 && static_cast<std::size_t>(group) < names.size() ? names[group] : names[0];
    // "de(nodeadkeys)" keeps the places of "de".
    name = name.substr(0, name.find('('));
    while (!name.empty() && name.front() == ' ')
        name.remove_prefix(1);
    while (!name.empty() && name.back() == ' ')
        name.remove_suffix(1);
    return std::string(name);
}

KeyPlaces::KeyPlaces() : KeyPlaces(unitedStates()) {}

KeyPlaces::KeyPlaces(const LayoutKeys& layout) : code_(kTable.code.begin(), kTable.code.end())
{
    const std::span<const Exception> exceptions = exceptionsOf(layout.layout);
    std::bitset<26> lettersGiven;
    for (const int key : namedKernelKeys()) {
        if (key < 256 && followsLayout(key) && layout.letters[key] >= 'A' && layout.letters[key] <= 'Z')
            lettersGiven.set(static_cast<std::size_t>(layout.letters[key] - 'A'));
    }
    for (const int key : namedKernelKeys()) {
        if (!followsLayout(key))
            continue;
        const int place = kTable.code[key];
        const char letter = layout.letters[static_cast<std::size_t>(key)];
        const auto exception = std::find_if(exceptions.begin(), exceptions.end(),
                                            [key](const Exception& e) { return e.key == key; });
        int code = 0;
        if (letter >= 'A' && letter <= 'Z')
            code = letter;
        else if (exception != exceptions.end())
            code = exception->code;
        else if (place > 'Z')
            code = place; // punctuation at its US place
        else if (!lettersGiven[static_cast<std::size_t>(place - 'A')])
            code = place; // a letter place that gives no Latin letter (Cyrillic, Greek)
        code_[static_cast<std::size_t>(key)] = code;
    }
    // Sending: each code to the key that gives it, and the second names
    // (14, 16..18, 42) to theirs.
    for (const int key : namedKernelKeys()) {
        const int code = code_[static_cast<std::size_t>(key)];
        if (code != 0 && key_[static_cast<std::size_t>(code)] == 0)
            key_[static_cast<std::size_t>(code)] = key;
    }
    for (std::size_t code = 0; code < key_.size(); ++code) {
        if (key_[code] == 0 && kTable.key[code] != 0 && !followsLayout(kTable.key[code]))
            key_[code] = kTable.key[code];
    }
}

int KeyPlaces::kernelKeyFor(int virtualKey) const
{
    return virtualKey >= 0 && virtualKey < 256 ? key_[static_cast<std::size_t>(virtualKey)] : 0;
}

VirtualKeySet KeyPlaces::virtualKeysFor(int kernelKey) const
{
    VirtualKeySet codes;
    if (kernelKey <= 0 || kernelKey >= KEY_CNT || code_[static_cast<std::size_t>(kernelKey)] == 0)
        return codes;
    const int code = code_[static_cast<std::size_t>(kernelKey)];
    codes.set(static_cast<std::size_t>(code));
    if (code >= 160 && code <= 165)
        codes.set(static_cast<std::size_t>(16 + (code - 160) / 2));
    return codes;
}

VirtualKeySet KeyPlaces::virtualKeysFor(const KernelKeySet& keys) const
{
    VirtualKeySet codes;
    if (keys.none())
        return codes;
    for (int key : namedKernelKeys()) {
        if (keys[static_cast<std::size_t>(key)])
            codes |= virtualKeysFor(key);
    }
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
