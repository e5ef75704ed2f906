// The key output and the key state on a real X server: each named code goes
// down and up and reads back as itself, a tap between two snapshots, the
// buttons, a keymap and group changed by another client, keysyms the keymap
// lacks, and characters typed into a window.
#include "keyboard/KeyNames.h"
#include "platform/X11KeyOutput.h"
#include "platform/X11KeyState.h"
#include "platform/X11Keyboard.h"

#include <gtest/gtest.h>

#include "tests/support/QtTestApp.h"

#include <QElapsedTimer>
#include <QKeyEvent>
#include <QWindow>

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <utility>
#include <vector>

using namespace corvane::platform;

namespace {

// Keeps the text of the key presses it gets.
class TypedText : public QWindow {
public:
    QString text;

protected:
    void keyPressEvent(QKeyEvent* event) override { text += event->text(); }
};

// Runs Qt's events until `done` holds or two seconds have passed.
template <typename Done>
bool waitFor(Done done)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

// Shows the window and gives it the focus.
bool shownWithFocus(QWindow& window)
{
    window.resize(200, 100);
    window.show();
    if (!waitFor([&] { return window.isExposed(); }))
        return false;
    window.requestActivate();
    return waitFor([&] { return QGuiApplication::focusWindow() == &window; });
}

// The codes down while the key of `code` is: Caps Lock and Print Screen as
// the keyboard's own codes only, and the generic Shift, Ctrl or Alt with
// either side.
std::set<int> sameKey(int code)
{
    if (code == 14 || code == 42)
        return {code == 14 ? 20 : 44};
    for (const std::set<int>& codes : {std::set{16, 160}, {17, 162}, {18, 164}, {16, 161}, {17, 163}, {18, 165}})
        if (codes.count(code))
            return codes;
    return {code};
}

class X11Keys : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        keyboard = X11Keyboard::open(&whyNot);
        output = std::make_unique<X11KeyOutput>(keyboard, whyNot);
        state = std::make_unique<X11KeyState>(keyboard);
        if (!keyboard)
            return;
        other = XOpenDisplay(DisplayString(keyboard->qtDisplay()));
        XDisplayKeycodes(other, &first, &last);
        unchanged = keymap();
    }
    static void TearDownTestSuite()
    {
        output.reset();
        state.reset();
        keyboard.reset();
        if (other)
            XCloseDisplay(other);
    }
    void SetUp() override
    {
        ASSERT_TRUE(keyboard) << qPrintable(whyNot);
        ASSERT_TRUE(waitFor([] { return keymap() == unchanged; }));
        down();
    }

    // The codes down at a snapshot taken once the server has what was sent.
    static std::set<int> down()
    {
        XSync(keyboard->qtDisplay(), False);
        state->snapshot();
        std::set<int> codes;
        for (int code = -1; code <= 256; ++code)
            if (state->isDown(code))
                codes.insert(code);
        return codes;
    }
    // The keycodes down once the server has what was sent.
    static std::set<int> keycodesDown()
    {
        XSync(keyboard->qtDisplay(), False);
        char keys[32] = {};
        XQueryKeymap(other, keys);
        std::set<int> down;
        for (int keycode = 0; keycode < 256; ++keycode)
            if (keys[keycode / 8] & (1 << (keycode % 8)))
                down.insert(keycode);
        return down;
    }
    static bool anyKeyDown() { return !keycodesDown().empty(); }
    // The keysyms of every keycode, as the server has them now.
    static std::vector<KeySym> keymap()
    {
        int perKey = 0;
        KeySym* syms = XGetKeyboardMapping(other, static_cast<KeyCode>(first), last - first + 1, &perKey);
        std::vector<KeySym> all(syms, syms + (last - first + 1) * perKey);
        XFree(syms);
        return all;
    }
    static int perKey() { return static_cast<int>(unchanged.size()) / (last - first + 1); }
    // Another client gives the keycode these keysyms.
    static void setKeysyms(int keycode, std::vector<KeySym> syms)
    {
        syms.resize(static_cast<std::size_t>(perKey()), NoSymbol);
        XChangeKeyboardMapping(other, keycode, perKey(), syms.data(), 1);
        XSync(other, False);
    }

    static inline QString whyNot;
    static inline std::shared_ptr<X11Keyboard> keyboard;
    static inline std::unique_ptr<X11KeyOutput> output;
    static inline std::unique_ptr<X11KeyState> state;
    // Another client, and the keymap before any key was sent.
    static inline Display* other = nullptr;
    static inline int first = 0, last = 0;
    static inline std::vector<KeySym> unchanged;
};

TEST_F(X11Keys, EveryNamedKeyGoesDownAndUpAndReadsBackAsItself)
{
    // The codes the key names give (without the mouse buttons), F17..F24, the
    // media and browser keys and the ISO key left of Z.
    std::vector<std::pair<int, std::set<int>>> cases;
    for (int code = 0; code < 256; ++code) {
        const bool button = code == 1 || code == 2 || (code >= 4 && code <= 6);
        if ((!corvane::keyNameTable()[static_cast<std::size_t>(code)].isEmpty() && !button)
            || (code >= 128 && code <= 135) || (code >= 166 && code <= 183) || code == 226)
            cases.emplace_back(code, sameKey(code));
    }
    // Codes without an X key are passed over: nothing goes down.
    for (const int code : {1, 2, 4, 5, 6, 7, 58, 64, 136, 184, 255, -1, 300})
        cases.emplace_back(code, std::set<int>{});
    for (const auto& [code, readBack] : cases) {
        output->keyDown(code);
        EXPECT_EQ(down(), readBack) << "code " << code;
        output->keyUp(code);
        EXPECT_EQ(down(), std::set<int>{}) << "code " << code;
    }
    // Down as the generic Shift, up as the left one.
    output->keyDown(16);
    output->keyUp(160);
    EXPECT_FALSE(anyKeyDown());
}

TEST_F(X11Keys, RequestsSentOnQtsConnectionAreConfirmedNowAndThen)
{
    // Xlib keeps a record of each request until it learns that the server has
    // processed it: a long run of key events must not leave them all unconfirmed.
    for (int i = 0; i < 3000; ++i) {
        output->keyDown(160);
        output->keyUp(160);
    }
    Display* qt = keyboard->qtDisplay();
    EXPECT_LE(XNextRequest(qt) - XLastKnownRequestProcessed(qt), 1001UL);
}

TEST_F(X11Keys, AKeyTappedBetweenSnapshotsCountsOnceAtTheNextAndButtonsGoDownAndUp)
{
    output->keyDown(65);
    output->keyUp(65);
    EXPECT_EQ(down(), std::set<int>{65});
    EXPECT_EQ(down(), std::set<int>{});

    const auto held = [] {
        Window root = 0, child = 0;
        int x = 0, y = 0;
        unsigned mask = 0;
        XQueryPointer(keyboard->qtDisplay(), DefaultRootWindow(keyboard->qtDisplay()), &root, &child, &x, &y, &x, &y,
                      &mask);
        return mask & (Button1Mask | Button2Mask | Button3Mask | Button4Mask | Button5Mask);
    };
    using enum MouseButton;
    for (const auto& [button, mask] :
         {std::pair{Left, unsigned{Button1Mask}}, {Right, Button3Mask}, {Middle, Button2Mask}}) {
        output->buttonDown(button);
        EXPECT_EQ(held(), mask);
        output->buttonUp(button);
        EXPECT_EQ(held(), 0u);
    }
}

TEST_F(X11Keys, ACodeWithNoKeyIsNotedOnceHoweverOftenItIsSent)
{
    static QStringList warnings;
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext&, const QString& text) {
            if (type == QtWarningMsg)
                warnings.append(text);
        });
    // As a mapping sends it, every cycle (codes no other test sends).
    for (int cycle = 0; cycle < 3; ++cycle) {
        output->keyDown(310);
        output->keyUp(310);
    }
    output->keyDown(311);
    qInstallMessageHandler(previous);
    EXPECT_EQ(warnings.join(" / ").toStdString(),
              "virtual-key code 310 has no X key; passed over / virtual-key code 311 has no X key; passed over");
}

TEST_F(X11Keys, KeysAreReadAndTypedInTheCurrentGroup)
{
    // A second group, locked: ef (its own keysym) on the A key, b on the S
    // key, zhe (by code point) on the D key.
    const int a = XKeysymToKeycode(other, XK_a), s = XKeysymToKeycode(other, XK_s), d = XKeysymToKeycode(other, XK_d);
    setKeysyms(a, {XK_a, XK_A, XK_Cyrillic_ef, XK_Cyrillic_EF});
    setKeysyms(s, {XK_s, XK_S, XK_b, XK_B});
    setKeysyms(d, {XK_d, XK_D, 0x1000436, 0x1000416});
    XkbLockGroup(other, XkbUseCoreKbd, 1);
    XSync(other, False);
    down();
    // The S key reads as B; the A key, as no code names ef, as A still.
    for (const auto& [keycode, code] : {std::pair{s, 66}, std::pair{a, 65}}) {
        XTestFakeKeyEvent(other, static_cast<unsigned>(keycode), True, CurrentTime);
        XSync(other, False);
        EXPECT_EQ(down(), std::set<int>{code});
        XTestFakeKeyEvent(other, static_cast<unsigned>(keycode), False, CurrentTime);
    }
    // Typed in the group: ef by its own keysym, zhe by code point, b on the S
    // key, all without a spare.
    const std::vector<KeySym> changed = keymap();
    for (const char32_t character : {U'ф', U'b', U'ж'})
        output->typeCharacter(character);
    EXPECT_EQ(keymap(), changed);
    XkbLockGroup(other, XkbUseCoreKbd, 0);
    for (const int keycode : {a, s, d}) {
        const auto at = unchanged.begin() + (keycode - first) * perKey();
        setKeysyms(keycode, {at, at + perKey()});
    }
}

TEST_F(X11Keys, CharactersAreTypedWithTheModifiersTheyNeedOrThroughASpareKeycode)
{
    TypedText window;
    ASSERT_TRUE(shownWithFocus(window));
    for (const char32_t character : {U'a', U'A', U'!', U'\x01'})
        output->typeCharacter(character);
    EXPECT_EQ(keymap(), unchanged);
    // A held Shift stays held and does not change a character typed on a spare.
    for (const char32_t character : {U'é', U'\t'})
        output->typeCharacter(character);
    output->keyDown(160);
    output->typeCharacter(U'ñ');
    output->typeCharacter(U'b');
    output->keyUp(160);
    EXPECT_TRUE(waitFor([&] { return window.text.size() >= 7; }));
    EXPECT_EQ(window.text, QStringLiteral("aA!é\tñB"));
    EXPECT_FALSE(anyKeyDown());
    EXPECT_TRUE(waitFor([] { return keymap() == unchanged; }));
}

TEST_F(X11Keys, AChangedLayoutMovesTheCodesAndTypesItsThirdLevelWithAltGr)
{
    // German, set while the keyboard is open: Z and Y change places, the
    // punctuation has the German codes, and "/" is Shift+7.
    ASSERT_EQ(std::system("setxkbmap de"), 0);
    ASSERT_TRUE(waitFor([] { return XKeysymToKeycode(other, XK_ssharp) != 0; }));
    const std::pair<int, int> cases[] = {{90, 29}, {89, 52}, {191, 51}, {189, 61}, {219, 20}, {226, 94}, {55, 16}};
    for (const auto& [code, keycode] : cases) {
        output->keyDown(code);
        EXPECT_EQ(keycodesDown(), std::set<int>{keycode}) << "code " << code;
        EXPECT_EQ(down(), std::set<int>{code}) << "code " << code;
        output->keyUp(code);
    }
    // AltGr+Q, AltGr+E, AltGr+7 and Shift+7: the keymap's keys, no spare.
    TypedText window;
    ASSERT_TRUE(shownWithFocus(window));
    const std::vector<KeySym> german = keymap();
    for (const char32_t character : {U'@', U'€', U'{', U'/'})
        output->typeCharacter(character);
    EXPECT_EQ(keymap(), german);
    EXPECT_TRUE(waitFor([&] { return window.text.size() >= 4; }));
    EXPECT_EQ(window.text, QStringLiteral("@€{/"));
    EXPECT_FALSE(anyKeyDown());
    EXPECT_EQ(std::system("setxkbmap us"), 0);
}

TEST_F(X11Keys, AKeysymTheKeymapLacksGoesThroughASpareKeycodeThatAGoingOutputGivesBack)
{
    ASSERT_EQ(std::count(unchanged.begin(), unchanged.end(), XK_F24), 0);
    output->keyDown(135);
    EXPECT_EQ(down(), std::set<int>{135});
    output->keyUp(135);
    EXPECT_TRUE(waitFor([] { return keymap() == unchanged; }));
    // An output that goes releases its keys and unbinds its spares at once.
    auto second = std::make_unique<X11KeyOutput>(keyboard, QString());
    second->keyDown(160);
    second->keyDown(135);
    EXPECT_EQ(down(), (std::set<int>{16, 160, 135}));
    second.reset();
    EXPECT_FALSE(anyKeyDown());
    EXPECT_EQ(keymap(), unchanged);
}

} // namespace
