// corvane-x-close: closes shown top-level windows by title, the way a window
// manager's close button does (WM_DELETE_WINDOW), so that scripts can end
// Corvane normally on a display without a window manager.
//
//   corvane-x-close [--wait SECONDS] TITLE
//
// --wait gives the window up to SECONDS to appear before giving up.
// Exit status: 0 when at least one window was asked to close, 1 when no
// window has that title, 2 on bad arguments or no X display.
#include "bench/x_windows.h"

#include <charconv>
#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>
#include <thread>

namespace {

int usage()
{
    std::fprintf(stderr, "usage: corvane-x-close [--wait SECONDS] TITLE\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    int waitSeconds = 0;
    std::string title;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--wait" && i + 1 < argc) {
            const std::string_view value = argv[++i];
            const auto [end, error] = std::from_chars(value.data(), value.data() + value.size(), waitSeconds);
            if (error != std::errc{} || end != value.data() + value.size() || waitSeconds < 0 || waitSeconds > 3600) {
                std::fprintf(stderr, "corvane-x-close: --wait needs a number of seconds from 0 to 3600\n");
                return 2;
            }
        } else if (title.empty() && !arg.empty() && arg.front() != '-') {
            title = arg;
        } else {
            return usage();
        }
    }
    if (title.empty())
        return usage();

    Display* display = corvane::xtools::openDisplay("corvane-x-close");
    if (display == nullptr)
        return 2;

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(waitSeconds);
    auto windows = corvane::xtools::findShownTopLevels(display, title);
    while (windows.empty() && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        windows = corvane::xtools::findShownTopLevels(display, title);
    }
    if (windows.empty()) {
        std::fprintf(stderr, "corvane-x-close: no shown window titled \"%s\"\n", title.c_str());
        XCloseDisplay(display);
        return 1;
    }
    for (Window window : windows)
        corvane::xtools::sendDeleteWindow(display, window);
    XSync(display, False);
    XCloseDisplay(display);
    return 0;
}
