#pragma once
// The serial port that the tracker link drives: a port number and line settings
// chosen before opening, text out, everything received in.
#include "core/Fault.h"

#include <QByteArray>
#include <QString>

namespace corvane::platform {

// What a port number stands for on this machine, for people to read.
struct PortDescription {
    QString device;      // such as "/dev/ttyUSB0"; empty when there is none
    QString description; // the adapter's own description, where the system gives one
    QString why;         // why there is no device, then
};

class SerialPort {
public:
    virtual ~SerialPort() = default;

    // Port 1..n ("COM n"); takes effect at the next open.
    virtual void setPortNumber(int number) = 0;
    virtual int portNumber() const = 0;
    // Line settings such as "19200,n,8,1"; takes effect at the next open.
    // A text that is not of that form throws the invalid-value Fault.
    virtual void setSettings(const QString& settings) = 0;
    virtual QString settings() const = 0;

    virtual PortDescription describe(int number) const = 0;

    // Opens with the current port number and settings; throws a Fault and stays
    // closed when that fails. Its text says why, and what the user can do
    // about it when there is something (access rights).
    virtual void open() = 0;
    // As open(), but says why it failed rather than throwing: empty text when
    // it opened. The search tries many ports that cannot be opened.
    virtual QString tryOpen()
    {
        try {
            open();
            return {};
        } catch (const Fault& fault) {
            return faultReason(fault);
        }
    }
    virtual void close() = 0;
    // False once the device has gone (a read or write error closes the port),
    // or once COM n stands for another device and the port was left for it.
    virtual bool isOpen() = 0;
    // Why the port closed by itself, as the cases above; empty after open()
    // and close().
    virtual QString whyClosed() const = 0;

    // Sends the bytes at once. Throws a Fault when the port is closed. A failed
    // write means the device has gone: the port closes and reports closed.
    virtual void output(const QByteArray& bytes) = 0;
    // Returns and removes everything received so far; empty when nothing came.
    // Throws a Fault when the port is closed. A failed read closes the port, as
    // a failed write does.
    virtual QByteArray input() = 0;
};

} // namespace corvane::platform
