#pragma once
// What the serial port needs from the system beyond QSerialPort.
#include <QString>
#include <QtGlobal>

#include <functional>
#include <memory>

namespace corvane::platform {

// Waits until what was written to a serial device has left the wire, so that
// closing it (which restores the line settings it had before) cannot cut the
// last bytes short. A device that stops sending is waited for one second at most.
void drainOutput(qintptr handle);

// What the user can do when opening `device` was refused for want of
// permission, such as "join the dialout group and log in again"; empty when
// the permissions are not the cause.
QString permissionAdvice(const QString& device);

// Tells when serial devices come or go, through udev, so that the ports are
// listed afresh only then. udev announces a device once its node and access
// rights are in place. Where no udev service runs (a container, a minimal
// system) nothing would ever be announced: watching() is then false, and the
// caller lists the ports at intervals instead.
class SerialDeviceWatch {
public:
    // `changed` runs at an event-processing point after tty devices were
    // added or removed (or announcements were lost).
    explicit SerialDeviceWatch(std::function<void()> changed);
    ~SerialDeviceWatch();
    SerialDeviceWatch(const SerialDeviceWatch&) = delete;
    SerialDeviceWatch& operator=(const SerialDeviceWatch&) = delete;

    bool watching() const { return udev_ != nullptr; }

private:
    struct Udev;
    std::unique_ptr<Udev> udev_;
};

// Whether the terminal open on `handle` has hung up: its device went away (a
// pulled adapter, a pseudo-terminal whose other side closed).
bool hungUp(qintptr handle);

} // namespace corvane::platform
