#pragma once
// The kernel's side of the input devices, for the tests that run on a real
// kernel: a device's events read back through its /dev/input node as text
// ("REL_X 5, REL_Y -3, SYN"), and a keyboard of the test's own that stands
// for the user's.
#include <QString>
#include <QStringList>

#include <chrono>
#include <functional>
#include <initializer_list>

struct libevdev;
struct libevdev_uinput;

namespace corvane::kernel {

using Millis = std::chrono::milliseconds;

// The event node of the input device named `name`; empty when there is none.
QString nodeNamed(const QString& name);

// Reads one input device from the moment it is opened.
class DeviceReader {
public:
    // Opens the device named `name`, waiting up to a second for it to appear.
    explicit DeviceReader(const QString& name);
    ~DeviceReader();
    DeviceReader(const DeviceReader&) = delete;
    DeviceReader& operator=(const DeviceReader&) = delete;
    bool isOpen() const { return device_ != nullptr; }

    // The events read until `count` frames have ended or `within` has passed,
    // each as "KEY_DOT 1", a frame's end as "SYN".
    QStringList frames(int count, Millis within = Millis(2000));
    // Reads until the device goes away or `within` passes; true when it went.
    bool untilGone(Millis within, QStringList* events);

private:
    // Whatever is pending, appended to `events`; false when the device went.
    bool readPending(QStringList& events, int* frames);
    int fd_ = -1;
    libevdev* device_ = nullptr;
};

// A keyboard made by the test, as if the user had plugged one in.
class UserKeyboard {
public:
    UserKeyboard();
    ~UserKeyboard();
    UserKeyboard(const UserKeyboard&) = delete;
    UserKeyboard& operator=(const UserKeyboard&) = delete;
    void press(int key);
    void release(int key);
    // Pressed and released in one go, with no pause between.
    void tap(int key);

private:
    void write(int key, int value);
    libevdev_uinput* device_ = nullptr;
};

// Runs Qt's event-processing points until `done` or `within` has passed.
bool processUntil(const std::function<bool()>& done, Millis within = Millis(2000));

} // namespace corvane::kernel
