#pragma once
// Runs the real program against the tracker simulator on the X display of
// $DISPLAY, as a user at the screen would: a fresh folder per test holding a
// copy of the program, its profile files and its serial port entries; clicks
// and pointer readings through XTest and XQueryPointer, keys typed with
// xdotool and heard as XInput2 raw events. Xlib stays out of the tests.
// Set-up failures throw std::runtime_error, which GoogleTest reports.
#include "bench/child_process.h"

#include <gtest/gtest.h>

#include <memory>

namespace corvane::xtools {
class RawKeyListener;
}

namespace corvane::e2e {

namespace fs = std::filesystem;
// The child processes, waits and whole-file reads and writes of bench/.
using namespace bench;

std::size_t countOf(std::string_view text, std::string_view piece);
// `times` lines of `line`, for the simulator's motion scripts.
std::string repeated(const std::string& line, std::size_t times);

struct Point {
    int x = 0;
    int y = 0;
    bool operator==(const Point&) const = default;
};
void PrintTo(const Point& p, std::ostream* out);

// The pointer relative to the middle of the screen.
Point pointer();
void centrePointer();
// Puts the pointer in the middle of the screen and tells whether the program
// moves it within `within`.
bool pointerMoves(Millis within);

// Runs xdotool with the space-separated `arguments` and waits for it to end,
// e.g. "keydown Control_L sleep 0.2 keyup Control_L".
void xdotool(const std::string& arguments);

// The raw key presses and releases of the display from its creation on, as
// "+Shift_L" for a press and "-period" for a release (xtools::RawKeyListener).
class KeyListener {
public:
    KeyListener();
    ~KeyListener();
    std::vector<std::string> heard();
    // The same by X keycode: "+50", "-61" ...
    std::vector<std::string> heardKeycodes();

private:
    std::unique_ptr<xtools::RawKeyListener> listener_;
};

// Whether a window manager runs on the display: it takes some keys for itself.
bool windowManagerRuns();

// The display's keyboard layout, set with setxkbmap ("de", "fr" ...) for the
// object's life and "us" again after it; Caps Lock and Num Lock are off at
// both ends.
class KeyboardLayout {
public:
    explicit KeyboardLayout(const std::string& layout);
    ~KeyboardLayout();
    KeyboardLayout(const KeyboardLayout&) = delete;
    KeyboardLayout& operator=(const KeyboardLayout&) = delete;
};

// Another program's window (xmessage) at `geometry` ("+0+0", "-0-0" ...) for
// the object's life.
class OtherWindow {
public:
    explicit OtherWindow(const std::string& geometry);
    // Gives it the keyboard focus, waiting until it is shown and has it.
    void takeFocus();

private:
    ChildProcess child_;
};

// The tracker simulator, linked into a test folder as `link`. Its log goes to
// sim.log there, the bytes it received to sim-record.bin, the packets it sent
// to sim-timestamps.txt; `extra` are further options (--motion, --fault ...).
class Simulator {
public:
    Simulator(const fs::path& folder, const fs::path& link, const std::vector<std::string>& extra = {});

    // Everything the program has written to the tracker so far.
    std::string record() const { return readFile(folder_ / "sim-record.bin"); }
    // Waits for the record to hold exactly `bytes`: the simulator may still be
    // reading what the program wrote last.
    ::testing::AssertionResult recordBecomes(const std::string& bytes, Millis within) const;
    // The write time (CLOCK_MONOTONIC ns) of every packet sent so far.
    std::vector<std::int64_t> packetTimes() const;
    // A command on standard input: "vanish", "return", "clear" ...
    void command(std::string_view line) { child_->writeInput(std::string(line) + "\n"); }
    // Whether the answer to "status" ("mode=none streaming=no faults=none
    // device=gone ...") holds `piece`, asking again until it does or `within`
    // has passed.
    ::testing::AssertionResult status(std::string_view piece, Millis within = Millis(0));

private:
    fs::path folder_;
    std::optional<ChildProcess> child_;
    std::size_t answersRead_ = 0;
};

// A copy of the real program in a test folder, started with its main window shown.
class Corvane {
public:
    // `runAs`: a command that runs the program as another user (setpriv ...).
    explicit Corvane(const fs::path& folder, const std::vector<std::string>& runAs = {});
    pid_t pid() const { return child_->pid(); }

    // A click in the middle of the start/stop button.
    void clickStart();
    // A click at a point of the main window, in twips from its top left corner.
    void clickAt(int left, int top);
    // A click on the status line, at the bottom edge of the main window.
    void clickStatusLine();
    // Whether the program's shown window titled `title` has the keyboard focus.
    bool hasFocus(const std::string& title);
    // Gives the main window the keyboard focus back and waits until it has it.
    void takeFocus();
    // Shows Settings and its Keyboard tab, where the mapping buttons are.
    void showKeyboardSettings();
    // A click on the mapping button of row `row` (0 Turn Left, 1 Turn Right ...).
    void clickMapping(int row);
    // Saves the profiles, answering Yes to the confirmation.
    void save();
    // Closes the main window as a window manager does; the exit status, or
    // nothing when the program did not end within 10 s.
    std::optional<int> close();
    // Ends the program with SIGTERM; the exit status, as close() gives it.
    std::optional<int> terminate();
    // The main window's X property `name` as xprop prints it:
    // "WM_CLASS(STRING) = \"corvane\", \"Corvane\"\n".
    std::string property(const std::string& name) const;

private:
    fs::path folder_;
    std::optional<ChildProcess> child_;
    unsigned long window_ = 0; // an X window
};

// The fixture: a fresh folder per test, kept with its logs when the test fails.
class E2eTest : public ::testing::Test {
protected:
    E2eTest();
    void TearDown() override;

    // COM n entries that lead nowhere, so that the port search stays inside
    // this folder and never reaches a serial port of the machine.
    void blockPorts(std::initializer_list<int> ports);

    fs::path folder;
};

} // namespace corvane::e2e
