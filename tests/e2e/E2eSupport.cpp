#include "tests/e2e/E2eSupport.h"

#include "bench/x_windows.h"

#include <X11/extensions/XTest.h>

#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
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

std::runtime_error failure(const std::string& what)
{
    return std::runtime_error(what);
}

std::runtime_error systemFailure(const std::string& what)
{
    return std::runtime_error(what + ": " + std::strerror(errno));
}

void writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            throw systemFailure("write failed");
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
}

fs::path makeTemporaryFolder(const char* prefix)
{
    std::string pattern = (fs::temp_directory_path() / (std::string(prefix) + "-XXXXXX")).string();
    if (::mkdtemp(pattern.data()) == nullptr)
        throw systemFailure("cannot create a temporary folder");
    return pattern;
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
        throw failure("cannot write " + path.string());
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

fs::path programPath()
{
    return CORVANE_E2E_PROGRAM;
}

fs::path simulatorPath()
{
    return CORVANE_E2E_SIMULATOR;
}

// Child ---------------------------------------------------------------------

namespace {

int openOutput(const fs::path& path)
{
    if (path.empty())
        return ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
}

} // namespace

Child::Child(const Options& options)
{
    if (options.argv.empty())
        throw failure("no program to start");
    // Everything the new process needs is prepared before fork().
    std::vector<std::string> args = options.argv;
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    const std::string folder = options.folder.string();

    int input[2] = {-1, -1};
    if (options.input && ::pipe2(input, O_CLOEXEC) != 0)
        throw systemFailure("pipe failed");
    const int out = openOutput(options.output);
    const int err = options.errors.empty() ? -1 : openOutput(options.errors);
    const int nullInput = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (out < 0 || (!options.errors.empty() && err < 0) || nullInput < 0)
        throw systemFailure("cannot open the output of " + options.argv[0]);

    const pid_t parent = ::getpid();
    pid_ = ::fork();
    if (pid_ < 0)
        throw systemFailure("fork failed");
    if (pid_ == 0) {
        // Ends with the test process, even when that is killed.
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)
            ::_exit(125);
        ::dup2(options.input ? input[0] : nullInput, STDIN_FILENO);
        ::dup2(out, STDOUT_FILENO);
        ::dup2(err >= 0 ? err : out, STDERR_FILENO);
        if (!folder.empty() && ::chdir(folder.c_str()) != 0)
            ::_exit(126);
        ::signal(SIGPIPE, SIG_DFL);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(out);
    if (err >= 0)
        ::close(err);
    ::close(nullInput);
    if (options.input) {
        ::close(input[0]);
        input_ = input[1];
    }
}

Child::~Child()
{
    stop();
    if (input_ >= 0)
        ::close(input_);
}

bool Child::reap(bool block)
{
    if (reaped_)
        return true;
    for (;;) {
        const pid_t r = ::waitpid(pid_, &status_, block ? 0 : WNOHANG);
        if (r == pid_) {
            reaped_ = true;
            return true;
        }
        if (r < 0 && errno == EINTR)
            continue;
        return false;
    }
}

bool Child::running()
{
    return !reap(false);
}

std::optional<int> Child::waitForExit(Millis timeout)
{
    waitUntil([this] { return reap(false); }, timeout, Millis(10));
    if (!reaped_ || !WIFEXITED(status_))
        return std::nullopt;
    return WEXITSTATUS(status_);
}

std::string Child::howItEnded() const
{
    if (!reaped_)
        return "still running";
    if (WIFEXITED(status_))
        return "exit status " + std::to_string(WEXITSTATUS(status_));
    if (WIFSIGNALED(status_))
        return std::string("signal ") + strsignal(WTERMSIG(status_));
    return "wait status " + std::to_string(status_);
}

void Child::writeInput(std::string_view bytes)
{
    if (input_ < 0)
        throw failure("the child has no input pipe");
    writeAll(input_, bytes);
}

void Child::stop()
{
    if (pid_ <= 0 || reap(false))
        return;
    ::kill(pid_, SIGTERM);
    if (!waitUntil([this] { return reap(false); }, Millis(3000), Millis(10))) {
        ::kill(pid_, SIGKILL);
        reap(true);
    }
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
    // The program under test needs the X platform plugin, whatever the test
    // environment asks of Qt programs.
    ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    if (runtime == nullptr || *runtime == '\0') {
        runtimeFolder_ = makeTemporaryFolder("corvane-e2e-runtime");
        ::chmod(runtimeFolder_.c_str(), 0700);
        ::setenv("XDG_RUNTIME_DIR", runtimeFolder_.c_str(), 1);
    }

    const char* name = std::getenv("DISPLAY");
    if (name == nullptr || *name == '\0') {
        // Xvfb picks a free display and writes its number to descriptor 3.
        int number[2] = {-1, -1};
        if (::pipe(number) != 0)
            throw systemFailure("pipe failed");
        const std::string fd = std::to_string(number[1]);
        ::fcntl(number[0], F_SETFD, FD_CLOEXEC);
        Child::Options xvfb;
        xvfb.argv = {"Xvfb", "-displayfd", fd, "-screen", "0", "1024x768x24", "-noreset", "-nolisten", "tcp"};
        xvfb_.emplace(xvfb);
        ::close(number[1]);
        std::string text;
        const auto deadline = Clock::now() + std::chrono::seconds(15);
        while (text.find('\n') == std::string::npos && Clock::now() < deadline) {
            pollfd p{number[0], POLLIN, 0};
            if (::poll(&p, 1, 100) > 0) {
                char buffer[32];
                const ssize_t n = ::read(number[0], buffer, sizeof buffer);
                if (n <= 0)
                    break;
                text.append(buffer, static_cast<std::size_t>(n));
            }
        }
        ::close(number[0]);
        if (text.find('\n') == std::string::npos)
            throw failure("Xvfb did not start (is it installed?): " + xvfb_->howItEnded());
        text.erase(text.find('\n'));
        ::setenv("DISPLAY", (":" + text).c_str(), 1);
    }

    display_ = XOpenDisplay(nullptr);
    if (display_ == nullptr)
        throw failure(std::string("cannot open X display \"") + std::getenv("DISPLAY") + "\"");
    // The programs started later must not inherit this connection.
    ::fcntl(ConnectionNumber(display_), F_SETFD, FD_CLOEXEC);
    xtools::ignoreXErrors();
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XTestQueryExtension(display_, &event, &error, &major, &minor))
        throw failure("the X server has no XTEST extension");
    size_ = {DisplayWidth(display_, DefaultScreen(display_)), DisplayHeight(display_, DefaultScreen(display_))};
    checkRelativeMotion();
}

Screen::~Screen()
{
    if (display_ != nullptr) {
        if (restoreAcceleration_)
            XChangePointerControl(display_, True, True, accelNumerator_, accelDenominator_, threshold_);
        XCloseDisplay(display_);
    }
    xvfb_.reset();
    if (!runtimeFolder_.empty()) {
        std::error_code ignored;
        fs::remove_all(runtimeFolder_, ignored);
    }
}

// The program moves the pointer with XTest relative motion. Measured on Xvfb
// 21.1: the server's pointer acceleration (2/1 above 4 pixels by default)
// does not apply to it, so nothing changes there. A server that does apply it
// gets acceleration 1/1 with threshold 0 for the test run, so that the
// pointer moves by exactly what the program asked for.
void Screen::checkRelativeMotion()
{
    const auto probe = [this] {
        const Point start = centre();
        moveTo(start);
        XTestFakeRelativeMotionEvent(display_, 40, 30, CurrentTime);
        XSync(display_, False);
        Point now = pointer();
        waitUntil([&] { return (now = pointer()) != start; }, Millis(500), Millis(5));
        return Point{now.x - start.x, now.y - start.y};
    };
    if (probe() == Point{40, 30})
        return;
    XGetPointerControl(display_, &accelNumerator_, &accelDenominator_, &threshold_);
    restoreAcceleration_ = true;
    XChangePointerControl(display_, True, True, 1, 1, 0);
    XSync(display_, False);
    const Point moved = probe();
    if (moved != Point{40, 30})
        throw failure("XTest relative motion of (40, 30) moved the pointer by (" + std::to_string(moved.x) + ", "
                      + std::to_string(moved.y) + ") even without pointer acceleration");
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

std::optional<Screen::WindowId> Screen::findWindow(const std::string& title, pid_t pid)
{
    for (Window w : xtools::findShownTopLevels(display_, title)) {
        const auto owner = xtools::windowPid(display_, w);
        if (owner && *owner == static_cast<long>(pid))
            return w;
    }
    return std::nullopt;
}

void Screen::geometry(WindowId window, Point& origin, Point& extent)
{
    Window child = None;
    XTranslateCoordinates(display_, window, DefaultRootWindow(display_), 0, 0, &origin.x, &origin.y, &child);
    XWindowAttributes attributes{};
    XGetWindowAttributes(display_, window, &attributes);
    extent = {attributes.width, attributes.height};
}

void Screen::closeWindow(WindowId window)
{
    xtools::sendDeleteWindow(display_, window);
    XSync(display_, False);
}

// Simulator -----------------------------------------------------------------

Simulator::Simulator(const fs::path& folder, const fs::path& link, const std::vector<std::string>& extra)
    : record_(folder / "sim-record.bin"), timestamps_(folder / "sim-timestamps.txt"), log_(folder / "sim.log"),
      answers_(folder / "sim-status.txt")
{
    std::vector<std::string> argv = {simulatorPath().string(), "--link", link.string(), "--record", record_.string(),
                                     "--timestamps", timestamps_.string()};
    argv.insert(argv.end(), extra.begin(), extra.end());
    // Answers of an earlier simulator in the same folder must not be taken for this one's.
    std::error_code ignored;
    fs::remove(answers_, ignored);
    Child::Options options;
    options.argv = argv;
    options.folder = folder;
    options.output = answers_;
    options.errors = log_;
    options.input = true;
    child_.emplace(options);
    const bool linked = waitUntil([&] { return fs::exists(link) || !child_->running(); }, Millis(5000));
    if (!linked || !child_->running())
        throw failure("the simulator did not provide " + link.string() + " (" + child_->howItEnded()
                      + "); its log:\n" + fileTail(log_));
}

void Simulator::command(std::string_view line)
{
    child_->writeInput(std::string(line) + "\n");
}

Simulator::State Simulator::state()
{
    command("status");
    std::string text;
    const bool answered = waitUntil(
        [&] {
            text = readFile(answers_);
            return text.find('\n', answersRead_) != std::string::npos;
        },
        Millis(3000), Millis(5));
    if (!answered)
        throw failure("the simulator gave no status (" + child_->howItEnded() + "); its log:\n" + fileTail(log_));
    const std::size_t end = text.find('\n', answersRead_);
    State status;
    status.line = text.substr(answersRead_, end - answersRead_);
    answersRead_ = end + 1;
    std::istringstream fields(status.line);
    std::string field;
    while (fields >> field) {
        const auto eq = field.find('=');
        if (eq == std::string::npos)
            continue;
        const std::string key = field.substr(0, eq);
        const std::string value = field.substr(eq + 1);
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

Corvane::Corvane(const fs::path& folder) : log_(folder / "corvane.log")
{
    Screen& screen = Screen::get();
    const fs::path copy = folder / "corvane";
    if (!fs::exists(copy)) {
        fs::copy_file(programPath(), copy);
        fs::permissions(copy, fs::perms::owner_all, fs::perm_options::add);
    }
    Child::Options options;
    options.argv = {copy.string()};
    options.folder = folder;
    options.output = log_;
    child_.emplace(options);
    std::optional<Screen::WindowId> window;
    const bool shown = waitUntil(
        [&] { return (window = screen.findWindow(kWindowTitle, child_->pid())).has_value() || !child_->running(); },
        Millis(30000), Millis(50));
    if (!shown || !window)
        throw failure("Corvane showed no main window (" + child_->howItEnded() + "); its output:\n" + fileTail(log_));
    window_ = *window;
}

void Corvane::clickStart()
{
    Screen& screen = Screen::get();
    Point origin, extent;
    screen.geometry(window_, origin, extent);
    const double scale = extent.x / kWindowWidthTwips;
    screen.click({origin.x + static_cast<int>((kStartLeft + kStartWidth / 2) * scale),
                  origin.y + static_cast<int>((kStartTop + kStartHeight / 2) * scale)});
}

std::optional<int> Corvane::close()
{
    Screen::get().closeWindow(window_);
    return child_->waitForExit(Millis(10000));
}

// TestFolder ----------------------------------------------------------------

TestFolder::TestFolder() : path_(makeTemporaryFolder("corvane-e2e")) {}

TestFolder::~TestFolder()
{
    if (keep_)
        return;
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

void TestFolder::blockPorts(std::initializer_list<int> ports)
{
    for (const int n : ports)
        fs::create_symlink(path_ / ("no-device-" + std::to_string(n)), path_ / ("com" + std::to_string(n)));
}

} // namespace corvane::e2e
