#pragma once
// What the serial port needs from the system: the terminal device itself,
// its locks, and the news of devices coming and going.
#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringView>
#include <QtGlobal>

#include <termios.h>

#include <functional>
#include <memory>
#include <optional>

namespace corvane::platform {

// Line settings: speed, parity, data and stop bits.
struct LineSettings {
    qint32 baud = 9600;
    char parity = 'n';        // n, e, o, m (mark) or s (space)
    int dataBits = 8;         // 5 to 8
    bool twoStopBits = false; // also for "1.5", which the hardware makes of it with five data bits

    bool operator==(const LineSettings&) const = default;
};

// The settings of a text such as "19200,n,8,1" (spaces and either case
// allowed); none when any part is not one a port has.
std::optional<LineSettings> lineSettingsOf(QStringView text);

// A serial device opened for the port. Two programs never drive one device
// at once: it is held with a kernel lock (flock), which ends with the process
// however that ends, so it is never stale, and in exclusive mode, which keeps
// out programs that take no locks; closing takes it out of that mode, which a
// pseudo-terminal would otherwise keep after the program ends. A lock file
// that another program made in the lock directory ("LCK..ttyUSB0") is
// honoured while its process is seen to hold the device: to have it open, or,
// when that process's open files cannot be read (another user's), to hold its
// kernel lock. The lock directory is writable by every user, so what is there
// is read without waiting, and only from a regular file; anything else, and a
// lock whose process does not hold the device, is passed by (and logged). One
// whose process has gone is removed when it can be. Corvane makes none itself,
// so it can leave none behind.
class SerialLine {
public:
    explicit SerialLine(QString lockDirectory) : lockDirectory_(std::move(lockDirectory)) {}
    ~SerialLine() { close(false); }
    SerialLine(const SerialLine&) = delete;
    SerialLine& operator=(const SerialLine&) = delete;

    // Opens `device` raw with `settings`. Returns empty text, or why it
    // could not, with what the user can do about it when there is something.
    QString open(const QString& device, const LineSettings& settings);
    // With `drain`, waits (a second at most) for the output to leave first.
    // Restores the line settings the device had before.
    void close(bool drain);
    bool isOpen() const { return fd_ >= 0; }
    qintptr handle() const { return fd_; }
    // Sends all of `bytes`, waiting up to half a second for room; false when
    // the device failed.
    bool write(const QByteArray& bytes);
    // Everything received so far; `failed` is set when the device failed.
    QByteArray read(bool* failed);

private:
    // Why the lock file at `lockFile` keeps the user out of the device at
    // `path`; empty text when it does not.
    QString lockFileRefusal(const QString& lockFile, const QByteArray& path);

    QString lockDirectory_;
    QHash<QString, QString> told_; // what the log last said of each lock file passed by
    int fd_ = -1;
    termios before_{};
};

// The name of a device's lock file, as programs that lock serial devices
// name it: "LCK..ttyUSB0" for /dev/ttyUSB0, "LCK..pts_3" for /dev/pts/3.
QString lockFileName(const QString& device);

// The process a lock file names: its first line in decimal, however padded,
// or, for a file of four bytes, a number in the machine's order (the oldest
// form). 0 when it names none.
qint64 lockFileProcess(const QByteArray& content);

// The process holding a kernel lock (flock) on the file `id`, as
// /proc/locks writes it ("08:02:1234": device major and minor in
// hexadecimal, then the inode), found in the text of /proc/locks; 0 when
// there is none.
qint64 flockHolder(const QByteArray& locks, const QByteArray& id);

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
// caller watches /dev instead (deviceFolderStamp below).
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

// When a node was last added to /dev or removed from it (its modification
// time, in nanoseconds); 0 when it cannot be seen. Where udev announces
// nothing, a change of it is the sign to list the serial ports again.
qint64 deviceFolderStamp();

// Whether the terminal open on `handle` has hung up: its device went away (a
// pulled adapter, a pseudo-terminal whose other side closed).
bool hungUp(qintptr handle);

} // namespace corvane::platform
