#pragma once
// Which backends move the pointer, send the keys and watch the keyboard:
// decided from what the probes of the machine found and what the command line
// asks for, so the choice can be read and checked on its own.
#include "platform/AccessFix.h"

#include <QLoggingCategory>
#include <QString>

#include <optional>

namespace corvane::platform {

// The log of the choice and of the input backends: "corvane.input",
// warnings shown by default.
Q_DECLARE_LOGGING_CATEGORY(lcInput)

// Pointer motion, mouse buttons and keys go out through one of these.
enum class OutputBackend { None, Uinput, X11 };
// The keyboard's state comes from one of these.
enum class KeyStateBackend { None, Evdev, X11 };

// What the machine offers. Each error is empty when the way works, and says
// why it does not otherwise.
struct InputProbes {
    // The desktop is a Wayland session: its own programs see no X events.
    bool waylandSession = false;
    // Qt's window is on an X display: X11 is then a real session, or XWayland.
    bool onX = false;
    QString uinputError;    // /dev/uinput opens for writing
    QString x11Error;       // the X server takes test events from this program
    QString keyboardsError; // at least one keyboard event device can be read
    QString x11KeysError;   // the X server tells the keyboard's state
    int readableKeyboards = 0;
    // Where the rule for /dev/uinput stands, for the fix to give without it.
    Installation installation = Installation::Source;
};

// A backend forced on the command line (--output, --keys); none: choose.
struct InputRequest {
    std::optional<OutputBackend> output;
    std::optional<KeyStateBackend> keys;
};

struct InputChoice {
    OutputBackend output = OutputBackend::None;
    KeyStateBackend keys = KeyStateBackend::None;
    // Why each was chosen, for the help and the log.
    QString outputWhy;
    QString keysWhy;
    // A forced backend that cannot work: the error to end the start with,
    // followed, for uinput and evdev, by what gives the access they lack.
    QString refusal;
    // With no output: what the user sees, with the fix.
    QString nothingMoves;
    // What gives the access that is missing (AccessFix.h); empty when
    // /dev/uinput opens for writing, and when a keyboard can be read.
    QString uinputFix;
    QString keyboardsFix;
};

InputChoice chooseInput(const InputProbes& probes, const InputRequest& request);

// "uinput", "x11", "none"; "evdev", "x11", "none".
QString nameOf(OutputBackend backend);
QString nameOf(KeyStateBackend backend);
// The backend a command-line value names ("uinput", "x11"; "evdev", "x11");
// none for anything else.
std::optional<OutputBackend> outputBackendNamed(const QString& name);
std::optional<KeyStateBackend> keyStateBackendNamed(const QString& name);

// The choice, why it was made and what gives the access that is missing,
// as lines for the help (--help) and the main window.
QString describeInput(const InputChoice& choice);

} // namespace corvane::platform
