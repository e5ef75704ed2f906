// The key output and the key state on a real X server: each named code goes
// down and up and reads back as itself, a tap between two snapshots, keysyms
// the keymap lacks, and characters typed into a window.
#include "keyboard/KeyNames.h"
#include "platform/X11KeyOutput.h"
#include "platform/X11KeyState.h"
#include "platform/X11Keyboard.h"

#include <gtest/gtest.h>

#include "tests/support/QtTestApp.h"

#include <QElapsedTimer>
#include <QKeyEvent>
#include <QWindow>

#include <X11/Xlib.h>
#include <X11/keysym.h>

#include <algorithm>
#include <set>
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

// The codes down while the key of `code` is: those that share its key, and
// the generic Shift, Ctrl or Alt with either side.
std::set<int> sameKey(int code)
{
    static const std::set<int> kShared[] = {{14, 20},  {42, 44},  {16, 160}, {17, 162},
                                            {18, 164}, {16, 161}, {17, 163}, {18, 165}};
    for (const std::set<int>& codes : kShared) {
        if (codes.count(code))
            return codes;
    }
    return {code};
}

class X11Keys : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        keyboard = X11Keyboard::open(&whyNot);
        output = std::make_unique<X11KeyOutput>(keyboard, whyNot);
        state = std::make_unique<X11KeyState>(keyboard);
        if (keyboard)
            unchanged = keymap();
    }
    static void TearDownTestSuite()
    {
        output.reset();
        state.reset();
        keyboard.reset();
    }
    void SetUp() override { ASSERT_TRUE(keyboard) << qPrintable(whyNot); }

    // The codes down at a snapshot taken once the server has what was sent.
    static std::set<int> down()
    {
        XSync(keyboard->qtDisplay(), False);
        state->snapshot();
        std::set<int> codes;
        for (int code = -1; code <= 256; ++code) {
            if (state->isDown(code))
                codes.insert(code);
        }
        return codes;
    }
    // The keysyms of every keycode, as the server has them now.
    static std::vector<KeySym> keymap()
    {
        int first = 0, last = 0, perKey = 0;
        XDisplayKeycodes(keyboard->qtDisplay(), &first, &last);
        const auto count = last - first + 1;
        KeySym* syms = XGetKeyboardMapping(keyboard->qtDisplay(), static_cast<KeyCode>(first), count, &perKey);
        std::vector<KeySym> all(syms, syms + count * perKey);
        XFree(syms);
        return all;
    }

    // The keymap before any key was sent.
    static inline std::vector<KeySym> unchanged;
    static inline QString whyNot;
    static inline std::shared_ptr<X11Keyboard> keyboard;
    static inline std::unique_ptr<X11KeyOutput> output;
    static inline std::unique_ptr<X11KeyState> state;
};

TEST_F(X11Keys, EveryNamedKeyGoesDownAndUpAndReadsBackAsItself)
{
    // The codes the key names give (without the mouse buttons), F17..F24, the
    // media and browser keys and the ISO key left of Z.
    std::vector<int> codes;
    for (int code = 0; code < 256; ++code) {
        const bool button = code == 1 || code == 2 || (code >= 4 && code <= 6);
        if ((!corvane::keyNameTable()[static_cast<std::size_t>(code)].isEmpty() && !button) ||
            (code >= 128 && code <= 135) || (code >= 166 && code <= 183) || code == 226)
            codes.push_back(code);
    }
    for (const int code : codes) {
        output->keyDown(code);
        EXPECT_EQ(down(), sameKey(code)) << "code " << code;
        output->keyUp(code);
        EXPECT_EQ(down(), std::set<int>{}) << "code " << code;
    }
}

TEST_F(X11Keys, CodesWithoutAnXKeyArePassedOver)
{
    for (const int code : {1, 2, 4, 5, 6, 7, 255, -1, 300}) {
        output->keyDown(code);
        EXPECT_EQ(down(), std::set<int>{}) << "code " << code;
        output->keyUp(code);
    }
}

TEST_F(X11Keys, AKeyTappedBetweenSnapshotsCountsOnceAtTheNext)
{
    down();
    output->keyDown(65);
    output->keyUp(65);
    EXPECT_EQ(down(), std::set<int>{65});
    EXPECT_EQ(down(), std::set<int>{});
}

TEST_F(X11Keys, AKeymapChangeByAnotherClientIsFollowedBothWays)
{
    ASSERT_TRUE(waitFor([] { return keymap() == unchanged; }));
    output->keyDown(65);
    output->keyUp(65);
    ASSERT_EQ(down(), std::set<int>{65});
    // Another client gives F20 to the first keycode without keysyms.
    Display* other = XOpenDisplay(DisplayString(keyboard->qtDisplay()));
    int first = 0, last = 0;
    XDisplayKeycodes(other, &first, &last);
    const int perKey = static_cast<int>(unchanged.size()) / (last - first + 1);
    const auto keysyms = [&](int keycode) { return unchanged.begin() + (keycode - first) * perKey; };
    int keycode = first;
    while (std::count(keysyms(keycode), keysyms(keycode + 1), NoSymbol) < perKey)
        ++keycode;
    std::vector<KeySym> syms(perKey, NoSymbol);
    syms[0] = XK_F20;
    XChangeKeyboardMapping(other, keycode, perKey, syms.data(), 1);
    XSync(other, False);
    down();
    const std::vector<KeySym> changed = keymap();
    // Sent on that keycode, not on a spare, and read back from it.
    output->keyDown(131);
    EXPECT_EQ(down(), std::set<int>{131});
    EXPECT_EQ(keymap(), changed);
    output->keyUp(131);
    syms[0] = NoSymbol;
    XChangeKeyboardMapping(other, keycode, perKey, syms.data(), 1);
    XCloseDisplay(other);
}

TEST_F(X11Keys, AKeysymTheKeymapLacksGoesThroughASpareKeycodeGivenBackAfter)
{
    ASSERT_EQ(std::count(unchanged.begin(), unchanged.end(), XK_F24), 0);
    ASSERT_TRUE(waitFor([] { return keymap() == unchanged; }));
    output->keyDown(135);
    EXPECT_EQ(down(), std::set<int>{135});
    output->keyUp(135);
    EXPECT_TRUE(waitFor([] { return keymap() == unchanged; }));
}

TEST_F(X11Keys, CharactersAreTypedWithTheModifiersTheyNeedOrThroughASpareKeycode)
{
    TypedText window;
    window.resize(200, 100);
    window.show();
    ASSERT_TRUE(waitFor([&] { return window.isExposed(); }));
    window.requestActivate();
    ASSERT_TRUE(waitFor([&] { return QGuiApplication::focusWindow() == &window; }));
    for (const char32_t character : {U'a', U'A', U'!', U'\x01', U'é', U'\t'})
        output->typeCharacter(character);
    EXPECT_TRUE(waitFor([&] { return window.text.size() >= 5; }));
    EXPECT_EQ(window.text, QStringLiteral("aA!é\t"));
    down();
    EXPECT_EQ(down(), std::set<int>{});
    EXPECT_TRUE(waitFor([] { return keymap() == unchanged; }));
}

} // namespace
