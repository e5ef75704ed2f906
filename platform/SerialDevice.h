#pragma once
// What the serial port needs from the system beyond QSerialPort.
#include <QString>
#include <QtGlobal>

namespace corvane::platform {

// Waits until what was written to a serial device has left the wire, so that
// closing it (which restores the line settings it had before) cannot cut the
// last bytes short. A device that stops sending is waited for one second at most.
void drainOutput(qintptr handle);

// What the user can do when opening `device` was refused for want of
// permission, such as "join the dialout group and log in again"; empty when
// the permissions are not the cause.
QString permissionAdvice(const QString& device);

} // namespace corvane::platform
