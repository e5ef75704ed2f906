#pragma once
// The narrow services Corvane takes from the operating system and the desktop.
// Real backends live beside this header; recording fakes in platform/fakes.
#include "platform/InputChoice.h"
#include "platform/JoystickOutput.h"
#include "platform/KeyOutput.h"
#include "platform/KeyState.h"
#include "platform/PointerOutput.h"
#include "platform/SerialPort.h"

#include <QString>
#include <QStringList>
#include <QtGlobal>
#include <functional>
#include <memory>

class QWidget;

namespace corvane::platform {

// Sleep, the millisecond tick count and the whole-second local clock.
class Clock {
public:
    virtual ~Clock() = default;
    virtual void sleepMs(int ms) = 0;
    // Milliseconds since an arbitrary start, wrapping at 32 bits.
    virtual quint32 tickCount() = 0;
    // The local date-time in whole seconds (only differences matter).
    virtual qint64 wholeSecondsNow() = 0;
};

enum class Buttons { Ok, OkCancel, YesNo };
enum class Answer { Ok, Cancel, Yes, No };

// Modal message and input boxes. They open over the owner window, or in the
// middle of the screen while there is none.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // A message box without an icon; returns the button pressed.
    virtual Answer message(const QString& text, const QString& title, Buttons buttons) = 0;
    // An input box with OK and Cancel; returns the answer, or empty text on Cancel.
    virtual QString input(const QString& prompt, const QString& title, const QString& defaultAnswer) = 0;
    // A message box without an icon and one button per choice, in order;
    // Return presses the one at `defaultChoice`, Escape and closing the box
    // the last one. Returns the index of the choice made.
    virtual int choose(const QString& text, const QString& title, const QStringList& choices, int defaultChoice) = 0;
    // The window the boxes open over from now on; null for none. A window
    // that is destroyed stops being the owner.
    virtual void setOwner(QWidget* window) = 0;
};

// Opens an address in the user's browser. The result is not examined.
class Shell {
public:
    virtual ~Shell() = default;
    virtual void open(const QString& address) = 0;
};

// Process-level services: priority, file handles and the end of the program.
class Process {
public:
    virtual ~Process() = default;
    // Asks for high process and thread priority; a refusal is not an error.
    virtual void raisePriority() = 0;
    // Whether another file can be opened now.
    virtual bool haveFreeFileHandle() = 0;
    // Ends the program at once with the status. The real backend does not return;
    // a fake records the request and returns, and ended() then reports true.
    virtual void endProgram(int status) = 0;
    virtual bool ended() const = 0;
    // The handler runs, at the next event-processing point, when the system
    // asks the program to end (a terminal's interrupt, a hang-up, a kill
    // without force), so that it ends as if its window were closed.
    virtual void whenAskedToEnd(std::function<void()> handler) = 0;
    // The handler runs when something other than endProgram ends the program
    // through the C library's exit: the window system's libraries do so when
    // the connection to the display breaks (the X server ended). `why` says
    // what happened, for the user. The handler should end the program itself;
    // if it returns, the program ends with status 1. An empty handler (at the
    // engine's end) disarms it.
    virtual void whenEndedAbruptly(std::function<void(const QString& why)> handler) = 0;
};

// Desktop notifications: a short message that the desktop shows for a while
// outside the window, for what changes while the window is hidden.
class Notifier {
public:
    virtual ~Notifier() = default;
    // Shows `body` under the title `summary`, replacing the notification this
    // program showed last, if it is still there; `problem` marks something
    // that keeps Corvane from working. Where the desktop has no notification
    // service, nothing is shown and nothing is said.
    virtual void notify(const QString& summary, const QString& body, bool problem) = 0;
};

// This Corvane's hold on its settings folder: while it runs, no second
// Corvane starts on the folder (FolderClaim.h).
class FolderClaim {
public:
    virtual ~FolderClaim() = default;
    // When a later start on the folder asks this Corvane to show its window,
    // at an event-processing point: `window` gives the window to bring to the
    // front and activate, or null while there is none.
    virtual void whenAskedToShow(std::function<QWidget*()> window) = 0;
    // Whether the folder's path still leads to the folder this Corvane
    // locked: a sync tool, a restore or the user may have moved it away, or
    // put another folder or a link to one in its place, while it ran.
    virtual bool stillAtItsPath() const = 0;
    // Gives the folder up, as the program ends: the lock file that this
    // Corvane made is removed from the folder it locked, wherever that is
    // now, and never another Corvane's from the folder at the path.
    virtual void release() = 0;
};

struct Platform {
    std::unique_ptr<Clock> clock;
    std::unique_ptr<Dialogs> dialogs;
    std::unique_ptr<Shell> shell;
    std::unique_ptr<Process> process;
    std::unique_ptr<SerialPort> serial;
    std::unique_ptr<PointerOutput> pointer;
    std::unique_ptr<KeyOutput> keys;
    std::unique_ptr<KeyState> keyState;
    // Made only when a profile asks for it, through /dev/uinput.
    std::unique_ptr<JoystickOutput> joystick;
    // Null where nothing is notified (the tests that do not ask).
    std::unique_ptr<Notifier> notifier;
    // Null when the folder is not held: in the tests, or when it cannot be locked.
    std::unique_ptr<FolderClaim> claim;
    // Why the pointer and the keys cannot be reached, when they cannot (no
    // uinput device and no X display); empty otherwise.
    QString pointerUnavailable;
    // The backends chosen for the pointer, the keys and the key state, and why.
    InputChoice input;
};

// The real services of the machine Corvane runs on; `settingsFolder` is where
// the serial port entries com1..com4 may be (profiles/SettingsFolder.h). The
// input backends are chosen as `request` asks, else by what the machine
// offers (InputChoice.h); a forced one that cannot work leaves its reason in
// `input.refusal`.
std::unique_ptr<Platform> createPlatform(const QString& settingsFolder, const InputRequest& request = {});

// The input backends a start would choose now, for the help: found before
// the window toolkit starts, so where Qt would open the window is foreseen
// from the environment.
InputChoice predictInput(const InputRequest& request);

} // namespace corvane::platform
