// Every key of a 105-key keyboard on the US, German, French and British
// layouts: typed into a mapping, it is saved as the code of its physical key,
// and a head turn that sends the mapping presses the very keycodes typed.
#include "tests/e2e/E2eSupport.h"

#include "keyboard/KeyNames.h"
#include "keyboard/KeySequence.h"
#include "profiles/Profile.h"
#include "profiles/ProfileFile.h"
#include "tests/e2e/KeyRecording.h"

#include <QString>

#include <algorithm>
#include <chrono>

namespace corvane::e2e {
namespace {

using namespace std::chrono_literals;

// A key by its X keycode and the virtual-key code it records as.
struct Key {
    int keycode;
    int code;
};

// The keys in the order they are typed, with the codes of the US layout. Num
// Lock comes in the middle of the keypad, so that its keys are typed with
// Num Lock both off and on. Caps Lock comes last: xdotool's --clearmodifiers
// taps Caps Lock around every key typed while it is on.
// clang-format off
constexpr Key kUsKeys[] = {
    {9, 27}, {67, 112}, {68, 113}, {69, 114}, {70, 115}, {71, 116}, {72, 117}, {73, 118}, {74, 119}, {75, 120},
    {76, 121}, {95, 122}, {96, 123}, {107, 44}, {78, 145}, {127, 19},
    {49, 192}, {10, 49}, {11, 50}, {12, 51}, {13, 52}, {14, 53}, {15, 54}, {16, 55}, {17, 56}, {18, 57},
    {19, 48}, {20, 189}, {21, 187}, {22, 8},
    {23, 9}, {24, 81}, {25, 87}, {26, 69}, {27, 82}, {28, 84}, {29, 89}, {30, 85}, {31, 73}, {32, 79},
    {33, 80}, {34, 219}, {35, 221}, {36, 13},
    {38, 65}, {39, 83}, {40, 68}, {41, 70}, {42, 71}, {43, 72}, {44, 74}, {45, 75}, {46, 76}, {47, 186},
    {48, 222}, {51, 220},
    {50, 160}, {94, 226}, {52, 90}, {53, 88}, {54, 67}, {55, 86}, {56, 66}, {57, 78}, {58, 77}, {59, 188},
    {60, 190}, {61, 191}, {62, 161},
    {37, 162}, {133, 91}, {64, 164}, {65, 32}, {108, 165}, {134, 92}, {135, 93}, {105, 163},
    {118, 45}, {110, 36}, {112, 33}, {119, 46}, {115, 35}, {117, 34}, {111, 38}, {113, 37}, {116, 40}, {114, 39},
    {106, 111}, {63, 106}, {82, 109}, {79, 103}, {80, 104}, {81, 105}, {86, 107}, {83, 100}, {84, 101}, {85, 102},
    {77, 144}, {87, 97}, {88, 98}, {89, 99}, {104, 108}, {90, 96}, {91, 110},
    {66, 20},
};
// clang-format on

// A layout: the keys whose codes differ from the US ones.
struct Layout {
    const char* name;
    std::vector<Key> differences;
};

// clang-format off
const Layout kLayouts[] = {
    {"us", {}},
    {"de", {{29, 90}, {52, 89}, {49, 220}, {20, 219}, {21, 221}, {34, 186}, {35, 187}, {51, 191}, {47, 192},
            {48, 222}, {61, 189}}},
    {"fr", {{24, 65}, {38, 81}, {25, 90}, {52, 87}, {47, 77}, {58, 188}, {49, 222}, {20, 219}, {21, 187},
            {34, 221}, {35, 186}, {51, 220}, {48, 192}, {59, 190}, {60, 191}, {61, 223}}},
    {"gb", {{49, 223}, {48, 192}, {51, 222}, {94, 220}}},
};
// clang-format on

void PrintTo(const Layout& layout, std::ostream* out) { *out << layout.name; }

// The keys typed on the layout: those whose code the program has a name for.
// Print is left out under a window manager, which takes it for a screenshot.
std::vector<Key> keysOf(const Layout& layout)
{
    std::vector<Key> keys;
    for (Key key : kUsKeys) {
        for (const Key& different : layout.differences) {
            if (different.keycode == key.keycode)
                key.code = different.code;
        }
        if (keyNameTable()[static_cast<std::size_t>(key.code)].isEmpty())
            continue;
        if (key.keycode == 107 && windowManagerRuns())
            continue;
        keys.push_back(key);
    }
    return keys;
}

// Two items a line, for a failure to show the keys that differ: "+38 -38"
// keycodes heard.
std::string inLines(const std::vector<std::string>& items)
{
    std::string text;
    for (std::size_t i = 0; i < items.size(); ++i)
        text += items[i] + (i % 2 == 0 ? " " : "\n");
    return text;
}

class LayoutTest : public E2eTest, public ::testing::WithParamInterface<Layout> {};

TEST_P(LayoutTest, EveryKeyIsRecordedAsItsCodeAndPlayedBackOnItsOwnKeycode)
{
    const KeyboardLayout layout(GetParam().name);
    const std::vector<Key> typedKeys = keysOf(GetParam());
    std::string typing;
    std::vector<int> codes;
    std::vector<std::string> strokes;
    for (const Key& key : typedKeys) {
        // A number is a keycode to xdotool, but a single digit is that digit's key.
        const std::string keycode = key.keycode == 9 ? "Escape" : std::to_string(key.keycode);
        // --clearmodifiers would tap Caps Lock twice more around Caps Lock itself.
        const std::string clear = key.keycode == 66 ? "" : "--clearmodifiers ";
        // Several polls (10 ms apart) between the keys, so most are recorded
        // down and up before the next; under load a poll may still see two.
        typing += "key " + clear + keycode + " sleep 0.06 ";
        codes.push_back(key.code);
        strokes.insert(strokes.end(), {"+" + std::to_string(key.keycode), "-" + std::to_string(key.keycode)});
    }
    // Time for a program slowed by load to poll the last release before the
    // click that ends the recording.
    typing += "sleep 0.5";
    // Turn Left sends the mapping once for one packet turned to the left.
    Profile flight = defaultFlightSimulator();
    flight.leftRightSmooth = 0;
    flight.delayMillisecs = 10;
    writeFile(
        folder / "Profiles1.2.dat",
        (profileLine(flight) + profileLine(defaultEulerAngle()) + profileLine(defaultMouseEmulation())).toStdString());
    writeFile(folder / "LastProfile1.2.dat", "\"Default Flight Simulator\"\r\n");
    // Two seconds still, for the focus to go to another program's window first.
    writeFile(folder / "script.txt", repeated("0 0 0", 120) + "-5 0 0\n" + repeated("0 0 0", 30));
    blockPorts({2, 3, 4});
    Simulator sim(folder, folder / "com1", {"--motion", "script:" + (folder / "script.txt").string(), "--once"});
    Corvane corvane(folder);
    // The set-up ends with a stop; a click on Start must come after it.
    ASSERT_TRUE(sim.recordBecomes("!!!M3,0,A,3,4,1,2\r!", 10s));

    corvane.showKeyboardSettings();
    corvane.clickMapping(0);
    KeyListener heard;
    xdotool(typing);
    ASSERT_EQ(inLines(heard.heardKeycodes()), inLines(strokes)) << "xdotool typed other keys";
    corvane.clickMapping(0);
    corvane.save();
    // Turn Left of the flight simulator profile, the only one that emulates keys.
    QString recorded;
    const auto saved = [&] {
        ProfileTable table;
        readProfilesBytes(QByteArray::fromStdString(readFile(folder / "Profiles1.2.dat")), table, {});
        recorded = table.at(table.find(kDefaultFlightSimulator)).turnLeftKey;
        return isRecordingOf(recorded.toStdString(), codes);
    };
    ASSERT_TRUE(waitUntil(saved, 5s)) << recorded.toStdString();
    // Each stroke as recorded, on the keycode of the key typed.
    std::vector<std::string> played;
    for (const KeyToken& token : keyTokens(recorded)) {
        const auto key = std::find_if(typedKeys.begin(), typedKeys.end(), [&](Key k) { return k.code == token.code; });
        played.push_back((token.down ? "+" : "-") + std::to_string(key->keycode));
    }

    // Played back into another program's window: Return or space in
    // Corvane's own would press its focused button.
    OtherWindow other("-0-0");
    corvane.clickStart();
    ASSERT_TRUE(sim.status("streaming=yes", 5s));
    other.takeFocus();
    KeyListener keys;
    ASSERT_LT(sim.packetTimes().size(), 120u) << "the turn came before the focus moved";
    waitUntil([&] { return keys.heardKeycodes().size() >= played.size(); }, 10s);
    EXPECT_EQ(inLines(keys.heardKeycodes()), inLines(played));
    EXPECT_EQ(corvane.close(), 0);
}

INSTANTIATE_TEST_SUITE_P(Layouts, LayoutTest, ::testing::ValuesIn(kLayouts),
                         [](const ::testing::TestParamInfo<Layout>& param) { return std::string(param.param.name); });

} // namespace
} // namespace corvane::e2e
