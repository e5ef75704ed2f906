#pragma once
// Runs the real program against the tracker simulator on an X display, as a
// user at the screen would: a fresh folder per run holding a copy of the
// program, its profile files and its serial port entries; child processes
// that never outlive the test; clicks and pointer readings through XTest and
// XQueryPointer.
//
// Set-up failures (no display, a program that does not start or show its
// window) throw std::runtime_error, which GoogleTest reports as a failure.
#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct _XDisplay;

namespace corvane::e2e {

namespace fs = std::filesystem;
using Millis = std::chrono::milliseconds;

// Polls `done` every `interval` until it holds (true) or `timeout` has passed
// (false, after one last try).
bool waitUntil(const std::function<bool()>& done, Millis timeout, Millis interval = Millis(20));

// The whole file; empty when it is missing.
std::string readFile(const fs::path& path);
void writeFile(const fs::path& path, std::string_view bytes);
// The last `lines` lines of a file, for failure reports.
std::string fileTail(const fs::path& path, int lines = 40);
std::size_t countOf(std::string_view text, std::string_view piece);
// CLOCK_MONOTONIC in nanoseconds, the clock of the simulator's timestamps.
std::int64_t monotonicNs();

// A started program, in `folder` (the current one when empty). Standard output
// and error are appended to `output` (/dev/null when empty), standard error to
// `errors` instead when given; `input` gives a pipe to standard input. It is
// ended (SIGTERM, up to 3 s, then SIGKILL) when the object goes, and dies with
// the test process should that end first.
class Child {
public:
    Child(std::vector<std::string> argv, const fs::path& folder = {}, const fs::path& output = {},
          const fs::path& errors = {}, bool input = false);
    ~Child();
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    pid_t pid() const { return pid_; }
    bool running();
    // Waits for the end; the exit status, or nothing after `timeout` or when a
    // signal ended it.
    std::optional<int> waitForExit(Millis timeout);
    // How it ended, for messages.
    std::string howItEnded() const;
    void writeInput(std::string_view bytes);

private:
    pid_t pid_ = -1;
    int input_ = -1;
    bool reaped_ = false;
    int status_ = 0;
};

struct Point {
    int x = 0;
    int y = 0;
    bool operator==(const Point&) const = default;
};

// The X display every test of the process works on, that of $DISPLAY. XTest
// relative motion must move the pointer by exactly the asked amount; when the
// server accelerates it, acceleration is switched off for the process's
// lifetime (and restored at exit).
class Screen {
public:
    static Screen& get();
    ~Screen();

    _XDisplay* display() { return display_; }
    Point centre() const { return centre_; }
    Point pointer();
    // Absolute pointer motion, as a user's hand would make it.
    void moveTo(Point to);
    void click(Point at);

private:
    Screen();
    Point probeRelativeMotion();

    _XDisplay* display_ = nullptr;
    Point centre_;
    bool restoreAcceleration_ = false;
    int accelNumerator_ = 0, accelDenominator_ = 0, threshold_ = 0;
};

// The tracker simulator, linked into a program folder. Its log (standard
// error) goes to sim.log in the folder, the bytes it received to a record
// file; `extra` are further options (--motion, --fault, --once ...).
class Simulator {
public:
    Simulator(const fs::path& folder, const fs::path& link, const std::vector<std::string>& extra = {});

    // Everything the driver has written to the tracker so far.
    std::string record() const { return readFile(record_); }
    const fs::path& timestampsPath() const { return timestamps_; }
    const fs::path& log() const { return log_; }
    // A command on standard input: "vanish", "return", "clear" ...
    void command(std::string_view line) { child_->writeInput(std::string(line) + "\n"); }

    // The device state from the "status" command.
    struct State {
        std::string mode; // none, mouse-emulation, euler-angle
        bool streaming = false;
        bool present = false;
        std::string line;
    };
    State state();
    // Waits until the status satisfies `done`.
    bool waitFor(const std::function<bool(const State&)>& done, Millis timeout);

private:
    fs::path record_, timestamps_, log_, answers_;
    std::optional<Child> child_;
    std::size_t answersRead_ = 0;
};

// A copy of the real program in a folder, started on the test display with
// its main window shown.
class Corvane {
public:
    explicit Corvane(const fs::path& folder);

    bool running() { return child_->running(); }
    // A click in the middle of Start_Command (the start/stop toggle).
    void clickStart();
    // Closes the main window as a window manager does; the exit status, or
    // nothing when the program did not end within 10 s.
    std::optional<int> close();

private:
    std::optional<Child> child_;
    unsigned long window_ = 0; // an X window; Xlib stays out of the tests
};

// The folder of one test: removed afterwards unless the test failed, so the
// logs and the record stay for a look.
class TestFolder {
public:
    TestFolder();
    ~TestFolder();
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    const fs::path& path() const { return path_; }
    fs::path operator/(const fs::path& name) const { return path_ / name; }
    // COM n entries that lead nowhere, so that the port search stays inside
    // this folder and never reaches a serial port of the machine.
    void blockPorts(std::initializer_list<int> ports);
    void keep() { keep_ = true; }

private:
    fs::path path_;
    bool keep_ = false;
};

} // namespace corvane::e2e
