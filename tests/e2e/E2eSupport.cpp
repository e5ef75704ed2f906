#include "tests/e2e/E2eSupport.h"

#include "bench/x_windows.h"

#include <X11/extensions/XTest.h>

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace corvane::e2e {

namespace {

using Clock = std::chrono::steady_clock;

constexpr const char* kWindowTitle = "Tollan Corvane";
// Start_Command in twips inside the main window, and the window's width in
// twips, which gives the scale to pixels whatever the resolution.
constexpr double kStartLeft = 120, kStartTop = 510, kStartWidth = 1335, kStartHeight = 315;
constexpr double kWindowWidthTwips = 4425;

std::runtime_error systemFailure(const std::string& what)
{
    return std::runtime_error(what + ": " + std::strerror(errno));
}

fs::path makeTemporaryFolder(const char* prefix)
{
    std::string pattern = (fs::temp_directory_path() / (std::string(prefix) + "-XXXXXX")).string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw systemFailure("cannot create a temporary folder");
    return pattern;
}

int openOutput(const fs::path& path)
{
    if (path.empty())
        return ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
}

} // namespace

bool waitUntil(const std::function<bool()>& done, Millis timeout, Millis interval)
{
    const auto deadline = Clock::now() + timeout;
    while (Clock::now() < deadline) {
        if (done())
            return true;
        std::this_thread::sleep_for(interval);
    }
    return done();
}

std::string readFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void writeFile(const fs::path& path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

std::string fileTail(const fs::path& path, int lines)
{
    const std::string text = readFile(path);
    std::size_t start = text.size();
    int seen = 0;
    // Walk back over `lines` line ends, not counting the one that ends the text.
    while (start > 0) {
        if (text[start - 1] == '\n' && start != text.size() && ++seen == lines)
            break;
        --start;
    }
    return text.substr(start);
}

std::size_t countOf(std::string_view text, std::string_view piece)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(piece); at != std::string_view::npos; at = text.find(piece, at + piece.size()))
        ++count;
    return count;
}

std::int64_t monotonicNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<std::int64_t>(ts.tv_sec) * 1'000'000'000 + ts.tv_nsec;
}

// Child ---------------------------------------------------------------------

Child::Child(std::vector<std::string> args, const fs::path& folder, const fs::path& output, const fs::path& errors,
             bool input)
{
    // Everything the new process needs is prepared before fork().
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    int pipeEnds[2] = {-1, -1};
    if (input && ::pipe2(pipeEnds, O_CLOEXEC) != 0)
        throw systemFailure("pipe failed");
    const int out = openOutput(output);
    const int err = errors.empty() ? out : openOutput(errors);
    const int in = input ? pipeEnds[0] : ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (out < 0 || err < 0 || in < 0)
        throw systemFailure("cannot open the output of " + args[0]);

    const pid_t parent = ::getpid();
    pid_ = ::fork();
    if (pid_ < 0)
        throw systemFailure("fork failed");
    if (pid_ == 0) {
        // Ends with the test process, even when that is killed.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)
            ::_exit(125);
        ::dup2(in, STDIN_FILENO);
        ::dup2(out, STDOUT_FILENO);
        ::dup2(err, STDERR_FILENO);
        if (!folder.empty() && ::chdir(folder.c_str()) != 0)
            ::_exit(126);
        ::signal(SIGPIPE, SIG_DFL);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    for (const int fd : {in, out, err == out ? -1 : err})
        if (fd >= 0)
            ::close(fd);
    input_ = pipeEnds[1];
}

Child::~Child()
{
    if (running()) {
        ::kill(pid_, SIGTERM);
        if (!waitUntil([this] { return !running(); }, Millis(3000), Millis(10))) {
            ::kill(pid_, SIGKILL);
            reaped_ = ::waitpid(pid_, &status_, 0) == pid_;
        }
    }
    if (input_ >= 0)
        ::close(input_);
}

bool Child::running()
{
    reaped_ = reaped_ || ::waitpid(pid_, &status_, WNOHANG) == pid_;
    return !reaped_;
}

std::optional<int> Child::waitForExit(Millis timeout)
{
    waitUntil([this] { return !running(); }, timeout, Millis(10));
    if (!reaped_ || !WIFEXITED(status_))
        return std::nullopt;
    return WEXITSTATUS(status_);
}

std::string Child::howItEnded() const
{
    if (!reaped_)
        return "still running";
    if (WIFSIGNALED(status_))
        return std::string("signal ") + strsignal(WTERMSIG(status_));
    return "exit status " + std::to_string(WEXITSTATUS(status_));
}

void Child::writeInput(std::string_view bytes)
{
    // Commands are short, so a pipe takes each whole in one write.
    if (::write(input_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()))
        throw systemFailure("cannot write to the input of a child");
}

// Screen --------------------------------------------------------------------

Screen& Screen::get()
{
    static Screen screen;
    return screen;
}

Screen::Screen()
{
    // A child that died must not take the test with it on the next write.
    std::signal(SIGPIPE, SIG_IGN);
    display_ = XOpenDisplay(nullptr);
    if (display_ == nullptr)
        throw std::runtime_error("cannot open the X display (scripts/with-display.sh gives one when DISPLAY is unset)");
    // The programs started later must not inherit this connection.
    ::fcntl(ConnectionNumber(display_), F_SETFD, FD_CLOEXEC);
    xtools::ignoreXErrors();
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(display_, &event, &error, &major, &minor))
        throw std::runtime_error("the X server has no XTEST extension");
    const int screen = DefaultScreen(display_);
    centre_ = {DisplayWidth(display_, screen) / 2, DisplayHeight(display_, screen) / 2};

    // The program moves the pointer with XTest relative motion. Measured on
    // Xvfb 21.1: the server's pointer acceleration (2/1 above 4 pixels by
    // default) does not apply to it, so nothing changes there. A server that
    // does apply it gets acceleration 1/1 with threshold 0 for the test run, so
    // that the pointer moves by exactly what the program asked for.
    if (probeRelativeMotion() == Point{40, 30})
        return;
    XGetPointerControl(display_, &accelNumerator_, &accelDenominator_, &threshold_);
    restoreAcceleration_ = true;
    XChangePointerControl(display_, True, True, 1, 1, 0);
    XSync(display_, False);
    const Point moved = probeRelativeMotion();
    if (moved != Point{40, 30})
        throw std::runtime_error("XTest relative motion of (40, 30) moved the pointer by (" + std::to_string(moved.x)
                                 + ", " + std::to_string(moved.y) + ") even without pointer acceleration");
}

Screen::~Screen()
{
    if (display_ != nullptr) {
        if (restoreAcceleration_)
            XChangePointerControl(display_, True, True, accelNumerator_, accelDenominator_, threshold_);
        XCloseDisplay(display_);
    }
}

// How far a relative motion of (40, 30) from the centre moves the pointer.
Point Screen::probeRelativeMotion()
{
    moveTo(centre_);
    XTestFakeRelativeMotionEvent(display_, 40, 30, CurrentTime);
    XSync(display_, False);
    Point now = pointer();
    waitUntil([&] { return (now = pointer()) != centre_; }, Millis(500), Millis(5));
    return {now.x - centre_.x, now.y - centre_.y};
}

Point Screen::pointer()
{
    Window root = None, child = None;
    int x = 0, y = 0, wx = 0, wy = 0;
    unsigned int mask = 0;
    XQueryPointer(display_, DefaultRootWindow(display_), &root, &child, &x, &y, &wx, &wy, &mask);
    return {x, y};
}

void Screen::moveTo(Point to)
{
    XTestFakeMotionEvent(display_, DefaultScreen(display_), to.x, to.y, CurrentTime);
    XSync(display_, False);
}

void Screen::click(Point at)
{
    moveTo(at);
    XTestFakeButtonEvent(display_, 1, True, CurrentTime);
    XTestFakeButtonEvent(display_, 1, False, CurrentTime);
    XSync(display_, False);
}

// Simulator -----------------------------------------------------------------

Simulator::Simulator(const fs::path& folder, const fs::path& link, const std::vector<std::string>& extra)
    : record_(folder / "sim-record.bin"), timestamps_(folder / "sim-timestamps.txt"), log_(folder / "sim.log"),
      answers_(folder / "sim-status.txt")
{
    std::vector<std::string> argv = {CORVANE_E2E_SIMULATOR, "--link",       link.string(), "--record",
                                     record_.string(),      "--timestamps", timestamps_.string()};
    argv.insert(argv.end(), extra.begin(), extra.end());
    // Answers of an earlier simulator in the same folder must not be taken for this one's.
    fs::remove(answers_);
    child_.emplace(argv, folder, answers_, log_, true);
    waitUntil([&] { return fs::exists(link) || !child_->running(); }, Millis(5000));
    if (!fs::exists(link) || !child_->running())
        throw std::runtime_error("the simulator did not provide " + link.string() + " (" + child_->howItEnded()
                                 + "); its log:\n" + fileTail(log_));
}

Simulator::State Simulator::state()
{
    command("status");
    std::string text;
    std::size_t end = std::string::npos;
    if (!waitUntil([&] { return (end = (text = readFile(answers_)).find('\n', answersRead_)) != text.npos; },
                   Millis(3000), Millis(5)))
        throw std::runtime_error("the simulator gave no status (" + child_->howItEnded() + "); its log:\n"
                                 + fileTail(log_));
    State status;
    status.line = text.substr(answersRead_, end - answersRead_);
    answersRead_ = end + 1;
    std::istringstream fields(status.line);
    for (std::string field; fields >> field;) {
        const auto eq = field.find('=');
        if (eq == std::string::npos)
            continue;
        const std::string key = field.substr(0, eq), value = field.substr(eq + 1);
        if (key == "mode")
            status.mode = value;
        else if (key == "streaming")
            status.streaming = value == "yes";
        else if (key == "device")
            status.present = value != "gone";
    }
    return status;
}

bool Simulator::waitFor(const std::function<bool(const State&)>& done, Millis timeout)
{
    return waitUntil([&] { return done(state()); }, timeout, Millis(50));
}

// Corvane -------------------------------------------------------------------

Corvane::Corvane(const fs::path& folder)
{
    _XDisplay* display = Screen::get().display();
    const fs::path copy = folder / "corvane";
    if (!fs::exists(copy)) {
        fs::copy_file(CORVANE_E2E_PROGRAM, copy);
        fs::permissions(copy, fs::perms::owner_all, fs::perm_options::add);
    }
    const fs::path log = folder / "corvane.log";
    child_.emplace(std::vector<std::string>{copy.string()}, folder, log);
    // The shown top-level window with the main title that this process owns.
    const auto found = [&] {
        for (const Window w : xtools::findShownTopLevels(display, kWindowTitle))
            if (xtools::windowPid(display, w) == static_cast<long>(child_->pid()))
                return window_ = w;
        return window_;
    };
    if (!waitUntil([&] { return found() != 0 || !child_->running(); }, Millis(30000), Millis(50)) || window_ == 0)
        throw std::runtime_error("Corvane showed no main window (" + child_->howItEnded() + "); its output:\n"
                                 + fileTail(log));
}

void Corvane::clickStart()
{
    Display* display = Screen::get().display();
    int left = 0, top = 0;
    Window child = None;
    XTranslateCoordinates(display, window_, DefaultRootWindow(display), 0, 0, &left, &top, &child);
    XWindowAttributes attributes{};
    XGetWindowAttributes(display, window_, &attributes);
    const double scale = attributes.width / kWindowWidthTwips;
    Screen::get().click({left + static_cast<int>((kStartLeft + kStartWidth / 2) * scale),
                         top + static_cast<int>((kStartTop + kStartHeight / 2) * scale)});
}

std::optional<int> Corvane::close()
{
    xtools::sendDeleteWindow(Screen::get().display(), window_);
    XSync(Screen::get().display(), False);
    return child_->waitForExit(Millis(10000));
}

// TestFolder ----------------------------------------------------------------

TestFolder::TestFolder() : path_(makeTemporaryFolder("corvane-e2e")) {}

TestFolder::~TestFolder()
{
    std::error_code ignored;
    if (!keep_)
        fs::remove_all(path_, ignored);
}

void TestFolder::blockPorts(std::initializer_list<int> ports)
{
    for (const int n : ports)
        fs::create_symlink(path_ / ("no-device-" + std::to_string(n)), path_ / ("com" + std::to_string(n)));
}

} // namespace corvane::e2e
