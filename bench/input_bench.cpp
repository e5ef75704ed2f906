// corvane-bench-input: what one pointer move, one six-key sequence and one
// key-state snapshot cost through each input backend this machine offers, and
// one frame of the joystick's axes through uinput, side by side in one run:
// uinput and evdev when /dev/uinput opens, X11 when $DISPLAY reaches an X
// server (scripts/bench.sh runs it in the test VM with an Xvfb there, so that
// both are measured together).
//
//   corvane-bench-input [--rounds N]
//   corvane-bench-input --motion DX,MS,COUNT[,PAUSE]
//
// With --motion it measures nothing: it makes Corvane's virtual pointer,
// waits PAUSE milliseconds (default 1000, for a reader to open it), then
// moves it COUNT times by DX to the right, one frame every MS milliseconds,
// as the tracking cycle does for a steady turn, and waits a second more
// (scripts/pointer-acceleration.sh).
//
// Each figure is timed N times (default 2000) with CLOCK_MONOTONIC, on the
// caller's side: until the call returns, which for uinput is when the kernel
// has taken the events, and for X11 when they are flushed to the server.
//   move        moveRelative(5, -3): one frame;
//   joystick frame  UinputJoystick::move changing turn and pitch: one frame
//               of two ABS events (uinput only);
//   sequence    Ctrl+Alt+S, six key events (down 162, down 164, down 83, up
//               83, up 164, up 162);
//   snapshot    one key-state snapshot and isDown for the 247 codes 3..255
//               other than 16..18; for evdev with three keyboards open
//               (the machine's own, and as many made for it as needed).
// The exit status is 1 when no backend could be measured.
#include "bench/timing.h"
#include "platform/EvdevKeyState.h"
#include "platform/UinputOutput.h"
#include "platform/X11KeyOutput.h"
#include "platform/X11KeyState.h"
#include "platform/X11Keyboard.h"
#include "platform/X11Pointer.h"

#include <QApplication>

#include <libevdev/libevdev-uinput.h>
#include <libevdev/libevdev.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <thread>
#include <vector>

using namespace corvane::platform;
using corvane::bench::measure;
using corvane::bench::Summary;

namespace {

struct Row {
    const char* figure;
    Summary summary;
};

void sixKeys(KeyOutput& output)
{
    for (const int code : {162, 164, 83})
        output.keyDown(code);
    for (const int code : {83, 164, 162})
        output.keyUp(code);
}

int seen = 0;

void snapshotAndPoll(KeyState& state)
{
    state.snapshot();
    for (int code = 3; code <= 255; ++code) {
        if (code < 16 || code > 18)
            seen += state.isDown(code) ? 1 : 0;
    }
}

// A keyboard for the key state to read, as a plugged-in one would be.
libevdev_uinput* makeKeyboard(int number)
{
    libevdev* description = libevdev_new();
    const std::string name = "Bench keyboard " + std::to_string(number);
    libevdev_set_name(description, name.c_str());
    for (int key = KEY_ESC; key <= KEY_KPDOT; ++key)
        libevdev_enable_event_code(description, EV_KEY, static_cast<unsigned>(key), nullptr);
    libevdev_uinput* device = nullptr;
    libevdev_uinput_create_from_device(description, LIBEVDEV_UINPUT_OPEN_MANAGED, &device);
    libevdev_free(description);
    return device;
}

std::vector<Row> measureKernel(int rounds, QString* whyNot)
{
    // Three keyboards in all, the machine's own counted.
    QString none;
    std::vector<libevdev_uinput*> keyboards;
    for (int i = countReadableKeyboards(QStringLiteral("/dev/input"), &none) + 1; i <= 3; ++i) {
        if (libevdev_uinput* k = makeKeyboard(i))
            keyboards.push_back(k);
    }
    EvdevKeyState state;
    const int open = state.keyboardsOpen();
    UinputDevices devices = createUinputDevices(whyNot);
    if (!devices.pointer) {
        for (libevdev_uinput* k : keyboards)
            libevdev_uinput_destroy(k);
        return {};
    }
    UinputPointer pointer(devices.pointer);
    UinputKeyOutput keys(devices.keyboard, devices.pointer, nullptr);
    std::vector<Row> rows;
    rows.push_back({"uinput move", measure(
                                       rounds, [&] { pointer.moveRelative(5, -3); }, [] {})});
    // Turn and pitch go back and forth, so that every move changes them.
    UinputJoystick joystick;
    int sign = 1;
    const auto swing = [&] {
        sign = -sign;
        joystick.move({1200 * sign, -800 * sign, 0});
    };
    if (const QString refused = joystick.open(); refused.isEmpty())
        rows.push_back({"uinput joystick frame", measure(rounds, swing, [] {})});
    else
        std::fprintf(stderr, "uinput joystick frame not measured: %s\n", qPrintable(refused));
    rows.push_back({"uinput sequence", measure(
                                           rounds, [&] { sixKeys(keys); }, [] {})});
    static char label[64];
    std::snprintf(label, sizeof label, "evdev snapshot, %d keyboards", open);
    rows.push_back({label, measure(
                               rounds, [&] { snapshotAndPoll(state); }, [] {})});
    for (libevdev_uinput* k : keyboards)
        libevdev_uinput_destroy(k);
    return rows;
}

std::vector<Row> measureX11(int rounds, QString* whyNot)
{
    const auto keyboard = X11Keyboard::open(whyNot);
    X11Pointer pointer;
    if (!keyboard || !pointer.available()) {
        if (whyNot->isEmpty())
            *whyNot = pointer.unavailableReason();
        return {};
    }
    X11KeyState state(keyboard);
    X11KeyOutput keys(keyboard, *whyNot);
    std::vector<Row> rows;
    rows.push_back({"x11 move", measure(
                                    rounds, [&] { pointer.moveRelative(5, -3); }, [] {})});
    rows.push_back({"x11 sequence", measure(
                                        rounds, [&] { sixKeys(keys); }, [] {})});
    rows.push_back({"x11 snapshot", measure(
                                        rounds, [&] { snapshotAndPoll(state); }, [] {})});
    return rows;
}

int moveSteadily(const char* spec)
{
    int dx = 0, ms = 0, count = 0, pause = 1000;
    if (std::sscanf(spec, "%d,%d,%d,%d", &dx, &ms, &count, &pause) < 3 || ms <= 0 || count <= 0 || pause < 0) {
        std::fprintf(stderr, "corvane-bench-input: --motion takes DX,MS,COUNT[,PAUSE]\n");
        return 2;
    }
    QString whyNot;
    const UinputDevices devices = createUinputDevices(&whyNot);
    if (!devices.pointer) {
        std::fprintf(stderr, "corvane-bench-input: %s\n", qPrintable(whyNot));
        return 1;
    }
    UinputPointer pointer(devices.pointer);
    std::this_thread::sleep_for(std::chrono::milliseconds(pause));
    auto next = std::chrono::steady_clock::now();
    for (int i = 0; i < count; ++i) {
        pointer.moveRelative(dx, 0);
        next += std::chrono::milliseconds(ms);
        std::this_thread::sleep_until(next);
    }
    std::this_thread::sleep_for(std::chrono::seconds(1));
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    int rounds = 2000;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--motion") == 0 && i + 1 < argc)
            return moveSteadily(argv[i + 1]);
        if (std::strcmp(argv[i], "--rounds") == 0 && i + 1 < argc && std::atoi(argv[i + 1]) > 0) {
            rounds = std::atoi(argv[++i]);
        } else {
            std::fprintf(stderr, "usage: corvane-bench-input [--rounds N] | --motion DX,MS,COUNT[,PAUSE]\n");
            return 2;
        }
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", qEnvironmentVariableIsEmpty("DISPLAY") ? "offscreen" : "xcb");
    QApplication application(argc, argv);
    std::printf("Corvane input backend benchmark: %d rounds per figure, microseconds on the caller's side\n\n", rounds);
    std::printf("%-44s %9s %9s %9s\n", "figure", "median", "p99", "max");
    QString kernelWhyNot, xWhyNot;
    std::vector<Row> rows = measureKernel(rounds, &kernelWhyNot);
    for (const Row& row : measureX11(rounds, &xWhyNot))
        rows.push_back(row);
    for (const Row& row : rows)
        corvane::bench::printRow(row.figure, row.summary);
    if (!kernelWhyNot.isEmpty())
        std::printf("uinput and evdev not measured: %s\n", qPrintable(kernelWhyNot));
    if (!xWhyNot.isEmpty())
        std::printf("x11 not measured: %s\n", qPrintable(xWhyNot));
    return rows.empty() ? 1 : 0;
}
