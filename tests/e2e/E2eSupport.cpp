#include "tests/e2e/E2eSupport.h"

#include "bench/x_windows.h"

#include <X11/extensions/XTest.h>

#include <fcntl.h>

#include <csignal>
#include <functional>
#include <iostream>
#include <sstream>
#include <stdexcept>

namespace corvane::e2e {

namespace {

// The test display, opened on first use.
struct Screen {
    Display* display = XOpenDisplay(nullptr);
    xtools::Point centre;

    Screen();
    ~Screen() { XCloseDisplay(display); }

    // Relative to the centre.
    Point pointer()
    {
        Window root = None, child = None;
        int x = 0, y = 0, windowX = 0, windowY = 0;
        unsigned int mask = 0;
        XQueryPointer(display, DefaultRootWindow(display), &root, &child, &x, &y, &windowX, &windowY, &mask);
        return {x - centre.x, y - centre.y};
    }
};

Screen::Screen()
{
    if (display == nullptr)
        throw std::runtime_error("cannot open the X display (scripts/with-display.sh gives one when DISPLAY is unset)");
    // A child that died must not take the test with it on the next write to its input.
    std::signal(SIGPIPE, SIG_IGN);
    // The programs started later must not inherit this connection.
    ::fcntl(ConnectionNumber(display), F_SETFD, FD_CLOEXEC);
    xtools::ignoreXErrors();
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(display, &event, &error, &major, &minor))
        throw std::runtime_error("the X server has no XTEST extension");
    centre = {DisplayWidth(display, DefaultScreen(display)) / 2, DisplayHeight(display, DefaultScreen(display)) / 2};
    // The program moves the pointer by XTest relative motion, which Xvfb does
    // not accelerate: the pointer moves by exactly what the program asked for.
    xtools::moveTo(display, centre);
    XTestFakeRelativeMotionEvent(display, 40, 30, CurrentTime);
    XSync(display, False);
    Point moved;
    waitUntil([&] { return (moved = pointer()) != Point{}; }, Millis(500), Millis(5));
    if (moved != Point{40, 30})
        throw std::runtime_error("XTest relative motion of (40, 30) moved the pointer by (" + std::to_string(moved.x)
                                 + ", " + std::to_string(moved.y)
                                 + "): run the tests on a display without pointer "
                                   "acceleration, such as the one scripts/with-display.sh gives");
}

Screen& screen()
{
    static Screen theScreen;
    return theScreen;
}

void setxkbmap(const std::string& layout)
{
    ChildProcess child({"setxkbmap", layout});
    if (!child.waitForExit(Millis(10000)) || child.exitStatus() != 0)
        throw std::runtime_error("setxkbmap " + layout + ": " + child.howItEnded());
    xtools::unlockModifiers(screen().display);
}

// Gives the keyboard focus to the window `find` names (0 while there is none
// yet), asking again until it has it; throws `failure` after 5 s.
void giveFocus(const std::function<Window()>& find, const char* failure)
{
    Display* display = screen().display;
    const auto focused = [&] {
        const Window window = find();
        if (window == 0)
            return false;
        if (!xtools::hasFocus(display, window))
            XSetInputFocus(display, window, RevertToPointerRoot, CurrentTime);
        return xtools::hasFocus(display, window);
    };
    if (!waitUntil(focused, Millis(5000), Millis(100)))
        throw std::runtime_error(failure);
}

} // namespace

std::size_t countOf(std::string_view text, std::string_view piece)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(piece); at != std::string_view::npos; at = text.find(piece, at + piece.size()))
        ++count;
    return count;
}

std::string repeated(const std::string& line, std::size_t times)
{
    std::string text;
    for (std::size_t i = 0; i < times; ++i)
        text += line + "\n";
    return text;
}

void PrintTo(const Point& p, std::ostream* out) { *out << "(" << p.x << ", " << p.y << ")"; }

Point pointer() { return screen().pointer(); }

void centrePointer() { xtools::moveTo(screen().display, screen().centre); }

bool pointerMoves(Millis within)
{
    centrePointer();
    return waitUntil([] { return pointer() != Point{}; }, within, Millis(5));
}

void xdotool(const std::string& arguments)
{
    std::vector<std::string> argv = {"xdotool"};
    std::istringstream words(arguments);
    for (std::string word; words >> word;)
        argv.push_back(word);
    ChildProcess child(argv);
    if (!child.waitForExit(Millis(10000)) || child.exitStatus() != 0)
        throw std::runtime_error("xdotool " + arguments + ": " + child.howItEnded());
}

KeyListener::KeyListener() : listener_(std::make_unique<xtools::RawKeyListener>()) {}
KeyListener::~KeyListener() = default;
std::vector<std::string> KeyListener::heard() { return listener_->heard(); }
std::vector<std::string> KeyListener::heardKeycodes() { return listener_->heardKeycodes(); }

bool windowManagerRuns() { return xtools::windowManagerRuns(screen().display); }

KeyboardLayout::KeyboardLayout(const std::string& layout) { setxkbmap(layout); }

KeyboardLayout::~KeyboardLayout()
{
    try {
        setxkbmap("us");
    } catch (const std::exception& e) {
        ADD_FAILURE() << e.what();
    }
}

OtherWindow::OtherWindow(const std::string& geometry)
    : child_({"xmessage", "-geometry", geometry, "another program's window"})
{
}

void OtherWindow::takeFocus()
{
    // xmessage does not say its process; it is the only one.
    giveFocus(
        [] {
            const std::vector<Window> windows = xtools::findShownTopLevels(screen().display, "xmessage");
            return windows.empty() ? Window{0} : windows[0];
        },
        "another program's window did not get the focus");
}

// Simulator -----------------------------------------------------------------

Simulator::Simulator(const fs::path& folder, const fs::path& link, const std::vector<std::string>& extra)
    : folder_(folder)
{
    std::vector<std::string> argv = {CORVANE_E2E_SIMULATOR,
                                     "--link",
                                     link.string(),
                                     "--record",
                                     (folder / "sim-record.bin").string(),
                                     "--timestamps",
                                     (folder / "sim-timestamps.txt").string()};
    argv.insert(argv.end(), extra.begin(), extra.end());
    // Answers of an earlier simulator in the same folder must not be taken for this one's.
    fs::remove(folder / "sim-status.txt");
    child_.emplace(argv, folder, folder / "sim-status.txt", folder / "sim.log", true);
    if (!waitUntil([&] { return fs::exists(link) || !child_->running(); }, Millis(5000)) || !child_->running())
        throw std::runtime_error("the simulator did not provide " + link.string() + " (" + child_->howItEnded() + ")");
}

::testing::AssertionResult Simulator::recordBecomes(const std::string& bytes, Millis within) const
{
    if (waitUntil([&] { return record() == bytes; }, within))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the record is " << ::testing::PrintToString(record());
}

std::vector<std::int64_t> Simulator::packetTimes() const
{
    // One line per packet: "monotonic_ns mode lr ud ss".
    std::vector<std::int64_t> times;
    std::istringstream lines(readFile(folder_ / "sim-timestamps.txt"));
    for (std::string line; std::getline(lines, line);)
        times.push_back(std::atoll(line.c_str()));
    return times;
}

::testing::AssertionResult Simulator::status(std::string_view piece, Millis within)
{
    std::string line;
    const auto holds = [&] {
        command("status");
        std::string text;
        std::size_t end = std::string::npos;
        const auto answered = [&] {
            text = readFile(folder_ / "sim-status.txt");
            return (end = text.find('\n', answersRead_)) != std::string::npos;
        };
        if (!waitUntil(answered, Millis(3000), Millis(5)))
            throw std::runtime_error("the simulator gave no status (" + child_->howItEnded() + ")");
        line = text.substr(answersRead_, end - answersRead_);
        answersRead_ = end + 1;
        return line.find(piece) != std::string::npos;
    };
    if (waitUntil(holds, within, Millis(50)))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the simulator's status is \"" << line << "\"";
}

// Corvane -------------------------------------------------------------------

Corvane::Corvane(const fs::path& folder, const std::vector<std::string>& runAs) : folder_(folder)
{
    Display* display = screen().display;
    const fs::path copy = folder / "corvane";
    if (!fs::exists(copy))
        fs::copy_file(CORVANE_E2E_PROGRAM, copy);
    std::vector<std::string> argv = runAs;
    argv.push_back(copy.string());
    child_.emplace(argv, folder, folder / "corvane.log");
    const auto shown = [&] {
        window_ = xtools::findShownTopLevel(display, "Tollan Corvane", child_->pid()).value_or(None);
        return window_ != None || !child_->running();
    };
    if (!waitUntil(shown, Millis(30000), Millis(50)) || window_ == None)
        throw std::runtime_error("Corvane showed no main window (" + child_->howItEnded() + ")");
}

std::string Corvane::property(const std::string& name) const
{
    const fs::path output = folder_ / ("xprop-" + name + ".txt");
    ChildProcess xprop({"xprop", "-id", std::to_string(window_), name}, {}, output);
    if (!xprop.waitForExit(Millis(10000)) || xprop.exitStatus() != 0)
        throw std::runtime_error("xprop " + name + ": " + xprop.howItEnded());
    return readFile(output);
}

void Corvane::clickStart()
{
    Display* display = screen().display;
    xtools::click(display, xtools::startButtonCentre(display, window_));
}

void Corvane::clickAt(int left, int top)
{
    xtools::click(screen().display, xtools::twipsPoint(screen().display, window_, left, top));
}

void Corvane::clickStatusLine()
{
    // The line's middle, 255 twips above the inside's bottom edge.
    XWindowAttributes inside{};
    XGetWindowAttributes(screen().display, window_, &inside);
    const double twipsPerPixel = 4425.0 / xtools::outerSize(screen().display, window_).x;
    clickAt(2000, static_cast<int>(inside.height * twipsPerPixel) - 255);
}

bool Corvane::hasFocus(const std::string& title)
{
    const auto window = xtools::findShownTopLevel(screen().display, title, child_->pid());
    return window && xtools::hasFocus(screen().display, *window);
}

void Corvane::takeFocus()
{
    giveFocus([this] { return Window{window_}; }, "Corvane's main window did not get the focus back");
}

void Corvane::showKeyboardSettings()
{
    // Show Settings; once the panel is open, its Keyboard tab.
    clickAt(1500 + 1335 / 2, 510 + 315 / 2);
    // Its outer size, with a window manager's frame: 4425 x 6675 twips and the
    // status line's 510, at 96 dpi 295 x 479 pixels.
    const auto opened = [&] { return xtools::outerSize(screen().display, window_) == xtools::Point{295, 479}; };
    if (!waitUntil(opened, Millis(5000)))
        throw std::runtime_error("the settings panel did not open");
    clickAt(2550, 1155);
}

void Corvane::clickMapping(int row)
{
    // The mapping buttons, 1035 x 315 at left 240 of the Mappings frame (240,
    // 1890), the first at top 300, each 450 below the one before.
    clickAt(480 + 1035 / 2, 1890 + 300 + 450 * row + 315 / 2);
}

void Corvane::save()
{
    // Save, and Yes, the confirmation's default button.
    clickAt(1220 + 915 / 2, 5040 + 315 / 2);
    if (!waitUntil([&] { return hasFocus("Corvane Save Confirmation"); }, Millis(5000)))
        throw std::runtime_error("no save confirmation came up");
    xdotool("key Return");
}

std::optional<int> Corvane::close()
{
    xtools::sendDeleteWindow(screen().display, window_);
    return child_->waitForExit(Millis(10000)) ? child_->exitStatus() : std::nullopt;
}

std::optional<int> Corvane::terminate()
{
    ::kill(child_->pid(), SIGTERM);
    return child_->waitForExit(Millis(10000)) ? child_->exitStatus() : std::nullopt;
}

// E2eTest -------------------------------------------------------------------

E2eTest::E2eTest() : folder(bench::makeTemporaryFolder("corvane-e2e")) {}

void E2eTest::TearDown()
{
    std::error_code ignored;
    if (!HasFailure()) {
        fs::remove_all(folder, ignored);
        return;
    }
    std::cerr << "Files kept in " << folder.string();
    for (const char* name : {"sim.log", "corvane.log"})
        std::cerr << "\n--- " << name << ":\n" << readFile(folder / name);
    std::cerr << std::endl;
}

void E2eTest::blockPorts(std::initializer_list<int> ports)
{
    for (const int n : ports)
        fs::create_symlink(folder / ("no-device-" + std::to_string(n)), folder / ("com" + std::to_string(n)));
}

} // namespace corvane::e2e
