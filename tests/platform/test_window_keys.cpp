// The keys typed into the program's own windows, as the recorder sees them
// without any other view of the keyboard: key events by scan code (the
// kernel's key plus 8), on the US layout.
#include "platform/WindowKeyState.h"

#include <gtest/gtest.h>

#include "tests/support/QtTestApp.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStringList>

using namespace corvane::platform;

namespace {

// The codes down at a snapshot, ascending: "16,160".
std::string downAfterSnapshot(WindowKeyState& keys)
{
    keys.snapshot();
    QStringList down;
    for (int code = 0; code < 256; ++code) {
        if (keys.isDown(code))
            down << QString::number(code);
    }
    return down.join(QLatin1Char(',')).toStdString();
}

void sendKey(QWidget& window, QEvent::Type type, quint32 scanCode, bool autoRepeat = false)
{
    QKeyEvent event(type, Qt::Key_unknown, Qt::NoModifier, scanCode, 0, 0, QString(), autoRepeat);
    QApplication::sendEvent(&window, &event);
}

// Whether the application's focus window becomes `window` within a second.
bool focusBecomes(const QWindow* window)
{
    for (QDeadlineTimer deadline(1000); QGuiApplication::focusWindow() != window && !deadline.hasExpired();)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    return QGuiApplication::focusWindow() == window;
}

bool focus(QWidget& window)
{
    window.show();
    window.activateWindow();
    return focusBecomes(window.windowHandle());
}

TEST(WindowKeys, CountsPressesByPlaceAndLetsGoWhenTheFocusGoes)
{
    // Steps: "+38" a press of scan code 38, "-38" its release, "r38" an
    // auto-repeated release and press, "x" the window losing the focus,
    // "=65,16" a snapshot and the codes down at it ("=" none).
    // clang-format off
    const struct { const char* what; const char* steps; } cases[] = {
        {"a tap between two snapshots counts once", "+9 -9 =27 ="},
        {"a held key counts until its release", "+38 =65 =65 -38 ="},
        {"sides of Shift, Ctrl and Alt give the generic code too", "+50 +105 +108 =16,17,18,160,163,165 -105 -108 =16,160"},
        {"one Shift let go, the other still holds the generic one", "+50 +62 -50 =16,160,161 =16,161"},
        {"losing the focus lets go of held keys, a tap still counts", "+38 =65 +39 x =83 ="},
        {"a repeat is no press", "+38 =65 x r38 ="},
        {"scan codes of no key, or out of range, are ignored", "+0 +5 +8 +248 +776 +4294967295 ="},
    };
    // clang-format on
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WindowKeyState keys{KeyPlaces()};
        QWidget window;
        ASSERT_TRUE(focus(window));
        for (const QString& step : QString::fromLatin1(c.steps).split(QLatin1Char(' '))) {
            const quint32 scanCode = step.mid(1).toUInt();
            if (step == QLatin1String("x")) {
                window.hide(); // the window deactivates
            } else if (step.startsWith(QLatin1Char('='))) {
                EXPECT_EQ(downAfterSnapshot(keys), step.mid(1).toStdString());
            } else if (step.startsWith(QLatin1Char('r'))) {
                sendKey(window, QEvent::KeyRelease, scanCode, true);
                sendKey(window, QEvent::KeyPress, scanCode, true);
            } else {
                sendKey(window, step.startsWith(QLatin1Char('+')) ? QEvent::KeyPress : QEvent::KeyRelease, scanCode);
            }
        }
    }
}

TEST(WindowKeys, WatchesTheKeysWithoutTakingThem)
{
    WindowKeyState keys{KeyPlaces()};
    QLineEdit edit;
    ASSERT_TRUE(focus(edit));
    QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, 38, 0, 0, QStringLiteral("a"));
    QApplication::sendEvent(&edit, &press);
    EXPECT_EQ(edit.text(), QStringLiteral("a"));
    EXPECT_EQ(downAfterSnapshot(keys), "65");
}

} // namespace
