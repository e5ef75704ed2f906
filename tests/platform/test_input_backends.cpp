// The choice of input backends and the fixes for the access they lack, the
// kernel events the uinput output writes, the key places both ways and the
// keys that type a character in a layout.
#include "platform/EvdevKeyState.h"
#include "platform/InputChoice.h"
#include "platform/KeyPlaces.h"
#include "platform/UinputOutput.h"
#include "platform/XkbLayout.h"
#include "platform/fakes/Fakes.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

#include <map>

using namespace corvane::platform;

namespace {

const QString kNoUinput = QStringLiteral("/dev/uinput cannot be opened for writing (Permission denied)");
const QString kNoX = QStringLiteral("Corvane's window is not on an X display (platform \"wayland\")");
const QString kNoKeyboards = QStringLiteral("no keyboard event device in /dev/input can be read");

TEST(InputChoice, FollowsTheDefaultOrderAndRefusesAForcedBackendThatCannotWork)
{
    const auto U = OutputBackend::Uinput, X = OutputBackend::X11;
    const auto E = KeyStateBackend::Evdev, XK = KeyStateBackend::X11;
    // Backend names, and "refused" when the start must end.
    // clang-format off
    const struct { const char* what; bool wayland, onX, uinput, x11, keyboards, x11Keys; InputRequest request;
                   const char* output; const char* keys; } cases[] = {
        {"X11 session, everything works",       0, 1, 1, 1, 1, 1, {}, "x11", "evdev"},
        {"X11 session without uinput",          0, 1, 0, 1, 0, 1, {}, "x11", "x11"},
        {"Wayland with uinput, window native",  1, 0, 1, 0, 1, 0, {}, "uinput", "evdev"},
        {"Wayland with uinput, on XWayland",    1, 1, 1, 1, 0, 1, {}, "uinput", "x11"},
        {"Wayland without uinput, on XWayland", 1, 1, 0, 1, 0, 1, {}, "x11", "x11"},
        {"Wayland without uinput, native",      1, 0, 0, 0, 0, 0, {}, "none", "none"},
        {"no display at all, uinput works",     0, 0, 1, 0, 1, 0, {}, "uinput", "evdev"},
        {"X11 session, uinput forced",          0, 1, 1, 1, 1, 1, {U, {}}, "uinput", "evdev"},
        {"X11 keys forced over keyboards",      0, 1, 1, 1, 1, 1, {{}, XK}, "x11", "x11"},
        {"uinput forced without access",        0, 1, 0, 1, 1, 1, {U, {}}, "refused", "evdev"},
        {"x11 forced on native Wayland",        1, 0, 1, 0, 1, 0, {X, {}}, "refused", "evdev"},
        {"evdev forced without keyboards",      0, 1, 1, 1, 0, 1, {{}, E}, "x11", "refused"},
        {"both forced, the output's refusal",   0, 1, 0, 1, 0, 1, {U, E}, "refused", "evdev"},
    };
    for (const auto& c : cases) {
        const InputProbes p{.waylandSession = c.wayland, .onX = c.onX, .uinputError = c.uinput ? QString() : kNoUinput,
            .x11Error = c.x11 ? QString() : kNoX, .keyboardsError = c.keyboards ? QString() : kNoKeyboards,
            .x11KeysError = c.x11Keys ? QString() : kNoX, .readableKeyboards = c.keyboards ? 2 : 0};
        // clang-format on
        const InputChoice choice = chooseInput(p, c.request);
        const QString& refusal = choice.refusal;
        const bool outputRefused = refusal.startsWith(QLatin1String("--output")),
                   keysRefused = refusal.startsWith(QLatin1String("--keys"));
        EXPECT_EQ(outputRefused ? QStringLiteral("refused") : nameOf(choice.output), QLatin1String(c.output)) << c.what;
        EXPECT_EQ(keysRefused ? QStringLiteral("refused") : nameOf(choice.keys), QLatin1String(c.keys)) << c.what;
        EXPECT_FALSE(choice.outputWhy.isEmpty() || choice.keysWhy.isEmpty()) << c.what;
        EXPECT_TRUE(!(outputRefused || keysRefused)
                    || refusal.contains(outputRefused ? (c.uinput ? kNoX : kNoUinput) : kNoKeyboards))
            << c.what;
        // With nothing to move the pointer, one message names both ways and the fix.
        const bool none = choice.output == OutputBackend::None;
        EXPECT_EQ(choice.nothingMoves.isEmpty(), !none) << c.what;
        for (const QString& part : {kNoUinput, kNoX, uinputAccessFix(p.installation)})
            EXPECT_TRUE(!none || choice.nothingMoves.contains(part)) << c.what;
    }
}

// The lines of a fix that are commands to run: those indented by two spaces.
QStringList commandsOf(const QString& fix)
{
    static const QRegularExpression indent(QStringLiteral("^  "));
    return fix.split(QLatin1Char('\n')).filter(indent).replaceInStrings(indent, QString());
}

TEST(AccessFix, GivesTheCommandsForWhereTheRuleStands)
{
    const QString apply = QStringLiteral("sudo modprobe uinput && sudo udevadm trigger --action=add "
                                         "--subsystem-match=misc --sysname-match=uinput");
    const QStringList addRule = {
        QStringLiteral("echo '%1' | sudo tee /etc/udev/rules.d/70-corvane-uinput.rules").arg(uinputRule()),
        QStringLiteral("sudo udevadm control --reload"), apply};
    const QString home = QStringLiteral("/home/ann/corvane/build/bin/corvane");
    const QString usr = QStringLiteral("/usr/bin/corvane"), local = QStringLiteral("/usr/local/bin/corvane");
    // clang-format off
    const struct { QString program; bool packageRule, localRule; Installation installation; QStringList commands; }
        cases[] = {
        {usr, true, false, Installation::Package, {apply}},  {usr, true, true, Installation::Package, {apply}},
        {local, true, false, Installation::SourceWithRule, {apply}},
        {home, false, true, Installation::SourceWithRule, {apply}},
        {usr, false, true, Installation::SourceWithRule, {apply}},
        {usr, false, false, Installation::Source, addRule}, {home, false, false, Installation::Source, addRule},
    };
    // clang-format on
    for (const auto& c : cases) {
        const Installation installation = installationOf(c.program, c.packageRule, c.localRule);
        EXPECT_EQ(installation, c.installation) << c.program.toStdString() << c.packageRule << c.localRule;
        EXPECT_EQ(commandsOf(uinputAccessFix(installation)), c.commands) << c.program.toStdString();
    }
    EXPECT_TRUE(uinputAccessFix(Installation::Package).contains(QLatin1String(kPackageRulePath)));
    // The group counts only from the next login on, and lets every program read every key.
    const QString keyboards = keyboardsAccessFix();
    EXPECT_EQ(commandsOf(keyboards), QStringList{QStringLiteral("sudo usermod -aG input $USER")});
    EXPECT_TRUE(keyboards.contains(QLatin1String("log out and in again")));
    EXPECT_TRUE(keyboards.contains(QLatin1String("every key you type")));
}

TEST(InputChoice, DescribesTheChoiceWithEachMissingAccessFixOnce)
{
    // clang-format off
    const InputProbes p{.onX = true, .uinputError = kNoUinput, .x11Error = {}, .keyboardsError = kNoKeyboards,
                        .x11KeysError = {}, .installation = Installation::Package};
    // clang-format on
    const QString uinputFix = uinputAccessFix(Installation::Package);
    for (const InputRequest& request :
         {InputRequest{}, InputRequest{OutputBackend::Uinput, {}}, InputRequest{{}, KeyStateBackend::Evdev}}) {
        const InputChoice choice = chooseInput(p, request);
        const QString text = describeInput(choice);
        EXPECT_EQ(text.count(uinputFix), 1) << text.toStdString();
        EXPECT_EQ(text.count(keyboardsAccessFix()), 1) << text.toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("  pointer and keys: %1 (").arg(nameOf(choice.output))));
        // The start that ends on a forced backend says how to give it what it lacks.
        EXPECT_TRUE(!(request.output || request.keys)
                    || choice.refusal.endsWith(request.output ? uinputFix : keyboardsAccessFix()));
    }
    // Nothing to fix: no fix.
    const QString fine = describeInput(chooseInput(InputProbes{}, {}));
    EXPECT_FALSE(fine.contains(QLatin1String("sudo"))) << fine.toStdString();
}

TEST(InputChoice, ReadsTheBackendNamesOfTheCommandLine)
{
    EXPECT_EQ(outputBackendNamed(QStringLiteral("uinput")), OutputBackend::Uinput);
    EXPECT_EQ(outputBackendNamed(QStringLiteral("x11")), OutputBackend::X11);
    EXPECT_EQ(outputBackendNamed(QStringLiteral("evdev")), std::nullopt);
    EXPECT_EQ(keyStateBackendNamed(QStringLiteral("evdev")), KeyStateBackend::Evdev);
    EXPECT_EQ(keyStateBackendNamed(QStringLiteral("x11")), KeyStateBackend::X11);
    EXPECT_EQ(keyStateBackendNamed(QStringLiteral("X11")), std::nullopt);
}

// The codes a kernel key reads as, "16 160".
QString codesOf(const KeyPlaces& places, int key)
{
    QStringList list;
    const VirtualKeySet set = places.virtualKeysFor(key);
    for (int c = 0; c < 256; ++c)
        if (set[static_cast<std::size_t>(c)])
            list << QString::number(c);
    return list.join(QLatin1Char(' '));
}

TEST(KeyPlaces, NameOnePhysicalKeyPerCodeAndReadItBackAsTheKeyboardsCode)
{
    const KeyPlaces us;
    // The places that no reading back checks: the generic and the second codes, and codes of no key.
    // clang-format off
    const std::map<int, int> sent = {{16, KEY_LEFTSHIFT}, {17, KEY_LEFTCTRL}, {18, KEY_LEFTALT}, {14, KEY_CAPSLOCK},
                                     {42, KEY_SYSRQ}, {1, 0}, {7, 0}, {223, 0}, {256, 0}, {-1, 0}};
    const std::map<int, const char*> read = {{KEY_CAPSLOCK, "20"}, {KEY_SYSRQ, "44"}, {KEY_LEFTSHIFT, "16 160"},
                                             {KEY_RIGHTCTRL, "17 163"}, {KEY_RIGHTALT, "18 165"}, {KEY_KP0, "96"},
                                             {KEY_POWER, ""}};
    // clang-format on
    for (const auto& [code, key] : sent)
        EXPECT_EQ(us.kernelKeyFor(code), key) << code;
    for (const auto& [key, codes] : read)
        EXPECT_EQ(codesOf(us, key), QLatin1String(codes)) << key;
}

TEST(KeyPlaces, LettersFollowTheLayoutAndPunctuationItsWindowsKeyboard)
{
    // Kernel key -> code, with the letters of the compiled layout.
    // clang-format off
    const std::pair<const char*, std::map<int, int>> layouts[] = {
        {"us", {{KEY_Y, 89}, {KEY_1, 49}, {KEY_GRAVE, 192}, {KEY_SEMICOLON, 186}, {KEY_102ND, 226}}},
        {"de",
         {{KEY_Y, 90}, {KEY_Z, 89}, {KEY_GRAVE, 220}, {KEY_MINUS, 219}, {KEY_EQUAL, 221}, {KEY_LEFTBRACE, 186},
          {KEY_RIGHTBRACE, 187}, {KEY_SEMICOLON, 192}, {KEY_APOSTROPHE, 222}, {KEY_BACKSLASH, 191},
          {KEY_COMMA, 188}, {KEY_DOT, 190}, {KEY_SLASH, 189}, {KEY_102ND, 226}}},
        {"fr",
         {{KEY_Q, 65}, {KEY_A, 81}, {KEY_W, 90}, {KEY_Z, 87}, {KEY_SEMICOLON, 77}, {KEY_M, 188}, {KEY_1, 49},
          {KEY_0, 48}, {KEY_GRAVE, 222}, {KEY_MINUS, 219}, {KEY_EQUAL, 187}, {KEY_LEFTBRACE, 221},
          {KEY_RIGHTBRACE, 186}, {KEY_APOSTROPHE, 192}, {KEY_BACKSLASH, 220}, {KEY_COMMA, 190}, {KEY_DOT, 191},
          {KEY_SLASH, 223}}},
        {"gb", {{KEY_GRAVE, 223}, {KEY_APOSTROPHE, 192}, {KEY_BACKSLASH, 222}, {KEY_102ND, 220}, {KEY_MINUS, 189}}},
        // A layout whose letters are not Latin keeps them at the US places.
        {"ru", {{KEY_Q, 81}, {KEY_A, 65}, {KEY_SEMICOLON, 186}}},
    };
    // clang-format on
    for (const auto& [name, codes] : layouts) {
        const std::shared_ptr<XkbLayout> layout = XkbLayout::fromNames({{}, QLatin1String(name), {}, {}});
        ASSERT_TRUE(layout) << name;
        const KeyPlaces places = layout->places();
        for (const auto& [key, code] : codes) {
            EXPECT_EQ(codesOf(places, key), QString::number(code)) << name << " key " << key;
            EXPECT_EQ(places.kernelKeyFor(code), key) << name << " code " << code;
        }
        // Whatever the layout, every code a key reads as presses that key.
        for (const int key : namedKernelKeys())
            for (int code = 19; code < 256; ++code)
                EXPECT_TRUE(!places.virtualKeysFor(key)[static_cast<std::size_t>(code)]
                            || places.kernelKeyFor(code) == key)
                    << name << " code " << code;
    }
    // A code no key of the layout reads as is not sent.
    LayoutKeys gb{"gb", {}};
    EXPECT_EQ(KeyPlaces(gb).kernelKeyFor(226), 0);
}

TEST(XkbLayout, ReadsTheLayoutOfEachGroupAndOfTheSystem)
{
    EXPECT_EQ(layoutOfGroup("us,de", 1), "de");
    EXPECT_EQ(layoutOfGroup("us, fr", 1), "fr");
    EXPECT_EQ(layoutOfGroup("de(nodeadkeys)", 0), "de");
    EXPECT_EQ(layoutOfGroup("gb,us", 3), "gb");
    EXPECT_EQ(layoutOfGroup("", 0), "");
    using namespace std::string_view_literals;
    EXPECT_EQ(layoutsOfRulesNames("evdev\0pc105\0us,de\0,nodeadkeys\0grp:alt_shift_toggle\0"sv), "us,de");
    EXPECT_EQ(layoutsOfRulesNames("evdev\0pc105\0fr"sv), "fr");
    EXPECT_EQ(layoutsOfRulesNames("evdev\0pc105"sv), "");
    // And the system's keyboard configuration.
    const LayoutNames names = layoutNamesFrom("# KEYBOARD CONFIGURATION FILE\nXKBMODEL=\"pc105\"\nXKBLAYOUT=\"de\"\n"
                                              "XKBVARIANT=\"nodeadkeys\"\n  XKBOPTIONS=\"\"\nBACKSPACE=\"guess\"\n");
    EXPECT_EQ(QStringList({names.model, names.layout, names.variant, names.options}),
              QStringList({"pc105", "de", "nodeadkeys", ""}));
    EXPECT_EQ(layoutNamesFrom("XKBLAYOUT=fr\n").layout, QStringLiteral("fr"));
}

// A layout where 'A' is Shift+A, '@' AltGr+Q, 'x' plain X.
struct FakeCharacters final : CharacterKeys {
    std::optional<Stroke> strokeFor(char32_t c) const override
    {
        if (c != U'A' && c != U'@' && c != U'x')
            return std::nullopt;
        return Stroke{c == U'A' ? KEY_A : c == U'@' ? KEY_Q : KEY_X, c == U'A', c == U'@'};
    }
};

struct Uinput {
    fakes::Log log;
    std::shared_ptr<fakes::RecordingInputDevice> pointerDevice = std::make_shared<fakes::RecordingInputDevice>(log),
                                                 keyboardDevice = std::make_shared<fakes::RecordingInputDevice>(log);
    UinputPointer pointer{pointerDevice};
    std::unique_ptr<UinputKeyOutput> keys = std::make_unique<UinputKeyOutput>(keyboardDevice, pointerDevice,
                                                                              std::make_shared<FakeCharacters>());
    QString take() { return std::exchange(log, {}).joined(); }
    // Kernel-side codes: down when positive, up when negative.
    void press(std::initializer_list<int> codes)
    {
        for (const int code : codes)
            code > 0 ? keys->keyDown(code) : keys->keyUp(-code);
    }
};

TEST(UinputOutput, WritesEachMoveAsOneFrameAndEachKeyAsItsOwn)
{
    Uinput u;
    for (const auto& [dx, dy] : std::initializer_list<std::pair<int, int>>{{5, -3}, {0, 4}, {-2, 0}, {0, 0}})
        u.pointer.moveRelative(dx, dy);
    EXPECT_EQ(u.take(), QStringLiteral("REL_X 5, REL_Y -3, SYN, REL_Y 4, SYN, REL_X -2, SYN"));

    // The turn-left keys of the flight simulator profile: Shift and ".".
    u.press({160, 190, -190, -160});
    EXPECT_EQ(u.take(), QStringLiteral("KEY_LEFTSHIFT 1, SYN, KEY_DOT 1, SYN, KEY_DOT 0, SYN, KEY_LEFTSHIFT 0, SYN"));

    // A second down repeats; the generic Ctrl is the left one; a code no key
    // has is passed over.
    u.press({17, 162, 7, -17});
    EXPECT_EQ(u.take(), QStringLiteral("KEY_LEFTCTRL 1, SYN, KEY_LEFTCTRL 2, SYN, KEY_LEFTCTRL 0, SYN"));

    using enum MouseButton;
    for (const auto& [button, down] :
         {std::pair{Left, true}, {Left, false}, {Right, true}, {Middle, true}, {Middle, false}})
        down ? u.keys->buttonDown(button) : u.keys->buttonUp(button);
    EXPECT_EQ(u.take(), QStringLiteral("BTN_LEFT 1, SYN, BTN_LEFT 0, SYN, BTN_RIGHT 1, SYN, BTN_MIDDLE 1, SYN, "
                                       "BTN_MIDDLE 0, SYN"));

    // What is still held goes up when the output ends.
    u.press({65});
    u.take();
    u.keys.reset();
    EXPECT_EQ(u.take(), QStringLiteral("KEY_A 0, SYN, BTN_RIGHT 0, SYN"));
}

TEST(UinputOutput, TypesACharacterWithTheModifiersItsLevelNeeds)
{
    Uinput u;
    u.keys->typeCharacter(U'A');
    EXPECT_EQ(u.take(), QStringLiteral("KEY_LEFTSHIFT 1, SYN, KEY_A 1, SYN, KEY_A 0, SYN, KEY_LEFTSHIFT 0, SYN"));
    u.keys->typeCharacter(U'@');
    EXPECT_EQ(u.take(), QStringLiteral("KEY_RIGHTALT 1, SYN, KEY_Q 1, SYN, KEY_Q 0, SYN, KEY_RIGHTALT 0, SYN"));
    // A Shift already held stays held, and is not pressed again.
    u.press({161});
    for (const char32_t c : {U'A', U'x', U'ж'})
        u.keys->typeCharacter(c);
    EXPECT_EQ(u.take(),
              QStringLiteral("KEY_RIGHTSHIFT 1, SYN, KEY_A 1, SYN, KEY_A 0, SYN, KEY_X 1, SYN, KEY_X 0, SYN"));
}

TEST(XkbLayout, FindsTheKeyAndLevelOfACharacterInEachLayout)
{
    // clang-format off
    const struct { const char* layout; char32_t character; int key; bool shift, altGr; } cases[] = {
        {"us", U'a', KEY_A, false, false},  {"us", U'A', KEY_A, true, false},
        {"us", U'/', KEY_SLASH, false, false}, {"us", U'?', KEY_SLASH, true, false},
        {"us", U'\n', KEY_ENTER, false, false}, {"us", U'\t', KEY_TAB, false, false},
        {"de", U'z', KEY_Y, false, false},  {"de", U'/', KEY_7, true, false},
        {"de", U'@', KEY_Q, false, true},   {"de", U'€', KEY_E, false, true},
        {"de", U'ß', KEY_MINUS, false, false}, {"fr", U'a', KEY_Q, false, false},
        {"fr", U'1', KEY_1, true, false},   {"fr", U'&', KEY_1, false, false},
    };
    // clang-format on
    std::map<QString, std::shared_ptr<XkbLayout>> layouts;
    for (const auto& c : cases) {
        auto& layout = layouts[QLatin1String(c.layout)];
        if (!layout)
            layout = XkbLayout::fromNames({{}, QLatin1String(c.layout), {}, {}});
        ASSERT_TRUE(layout) << c.layout;
        const std::optional<Stroke> stroke = layout->strokeFor(c.character);
        SCOPED_TRACE(testing::Message() << c.layout << " U+" << std::hex << unsigned(c.character));
        ASSERT_TRUE(stroke);
        EXPECT_EQ(std::tuple(stroke->key, stroke->shift, stroke->altGr), std::tuple(c.key, c.shift, c.altGr));
    }
    EXPECT_FALSE(layouts[QStringLiteral("us")]->strokeFor(U'ж'));
    EXPECT_FALSE(layouts[QStringLiteral("us")]->strokeFor(U'\x01'));
}

TEST(EvdevKeyState, SaysWhyNoKeyboardCanBeRead)
{
    QTemporaryDir folder;
    QFile plain(folder.filePath(QStringLiteral("event0")));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly) && plain.write("not a device") > 0);
    plain.close();
    EvdevKeyState state(folder.path());
    EXPECT_EQ(state.keyboardsOpen(), 0);
    EXPECT_EQ(state.whyNone(), QStringLiteral("no keyboard event device was found in %1").arg(folder.path()));
    QString why;
    EXPECT_EQ(countReadableKeyboards(folder.path(), &why), 0);
    EXPECT_EQ(why, state.whyNone());
    state.snapshot();
    EXPECT_FALSE(state.isDown(65));
}

} // namespace
