#include "platform/SerialDevice.h"

#include "platform/Files.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace corvane::platform {

namespace {

// The texts of this file, translated in the context "corvane::platform::LinuxSerialLine".
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(corvane::platform::LinuxSerialLine)
};

Q_LOGGING_CATEGORY(lcSerial, "corvane.serial", QtWarningMsg)

struct Speed {
    qint32 baud;
    speed_t code;
};
constexpr Speed kSpeeds[] = {{300, B300},     {600, B600},       {1200, B1200},    {2400, B2400},
                             {4800, B4800},   {9600, B9600},     {19200, B19200},  {38400, B38400},
                             {57600, B57600}, {115200, B115200}, {230400, B230400}};

QString systemError(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// "process 1234 (minicom)", or "process 1234" when its name cannot be read.
QString describeProcess(qint64 pid)
{
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    const QString name = comm.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(comm.readAll().trimmed()) : QString();
    return name.isEmpty() ? Texts::tr("process %1").arg(pid) : Texts::tr("process %1 (%2)").arg(pid).arg(name);
}

bool processLives(qint64 pid)
{
    return pid > 0 && pid != ::getpid() && (::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

// Who holds the kernel lock on the device at `path`; 0 when nobody or unknown.
qint64 flockHolderOf(const QByteArray& path)
{
    struct stat info {};
    QFile locks(QStringLiteral("/proc/locks"));
    if (::stat(path.constData(), &info) != 0 || !locks.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray id = QByteArray::number(major(info.st_dev), 16).rightJustified(2, '0') + ':'
                        + QByteArray::number(minor(info.st_dev), 16).rightJustified(2, '0') + ':'
                        + QByteArray::number(static_cast<qulonglong>(info.st_ino));
    return flockHolder(locks.readAll(), id);
}

// The first bytes of the lock file at `path`, read without waiting and only
// from a regular file: the lock folder is everybody's, and a FIFO there would
// hold the program for ever, a link lead anywhere. None, with why, when there
// is nothing to read; empty `why` when there is no lock file.
std::optional<QByteArray> readLockFile(const QByteArray& path, QString* why)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        if (errno != ENOENT)
            *why = errno == ELOOP ? Texts::tr("it is a symbolic link") : systemError(errno);
        return std::nullopt;
    }
    char bytes[128];
    ssize_t n = -1;
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        *why = systemError(errno);
    else if (!S_ISREG(info.st_mode))
        *why = Texts::tr("it is %1").arg(kindOf(info.st_mode));
    else if ((n = ::read(fd, bytes, sizeof bytes)) < 0)
        *why = systemError(errno);
    ::close(fd);
    return n < 0 ? std::nullopt : std::optional(QByteArray(bytes, n));
}

enum class Sight { Holds, DoesNot, Unseen };

// Whether process `pid` has the terminal `device` open, as its open files
// show; Unseen when they cannot be read (another user's process). Only
// files under /dev are looked at: the device is there, and looking at a
// file elsewhere (a file system that a user serves) could wait for ever.
Sight seenHolding(qint64 pid, const struct stat& device)
{
    DIR* files = ::opendir(QByteArray("/proc/" + QByteArray::number(pid) + "/fd").constData());
    if (files == nullptr)
        return Sight::Unseen;
    Sight sight = Sight::DoesNot;
    while (const dirent* file = ::readdir(files)) {
        char folder[5];
        struct stat info {};
        if (::readlinkat(::dirfd(files), file->d_name, folder, sizeof folder) == sizeof folder
            && std::memcmp(folder, "/dev/", sizeof folder) == 0
            && ::fstatat(::dirfd(files), file->d_name, &info, 0) == 0 && S_ISCHR(info.st_mode)
            && info.st_rdev == device.st_rdev) {
            sight = Sight::Holds;
            break;
        }
    }
    ::closedir(files);
    return sight;
}

QString inUse(qint64 holder)
{
    return (holder > 0 ? describeProcess(holder) : Texts::tr("another program"))
         + Texts::tr(" uses it; end that program, or choose another port");
}

// The side of a pseudo-terminal that programs open as a port: /dev/pts/N,
// whose devices have the majors 136 to 143.
bool isPseudoTerminal(const QByteArray& path)
{
    struct stat info {};
    return ::stat(path.constData(), &info) == 0 && S_ISCHR(info.st_mode) && major(info.st_rdev) >= 136
        && major(info.st_rdev) <= 143;
}

// Why a terminal refused to open as busy: it is in exclusive mode. A serial
// device leaves that mode with its last user, so somebody uses it. A
// pseudo-terminal stays in it while the program at its other end holds that
// end open, even after the program that set the mode has ended.
QString inExclusiveMode(const QByteArray& path)
{
    const qint64 holder = flockHolderOf(path);
    if (holder > 0 || !isPseudoTerminal(path))
        return inUse(holder);
    return Texts::tr("it is in exclusive mode, left so by a program that has ended (or used by one that "
                     "takes no lock); start the program that provides this pseudo-terminal again, or "
                     "choose another port");
}

// The raw line of `settings`; empty text, or why not.
QString configure(int fd, const LineSettings& settings, termios* before, const QString& device)
{
    if (::tcgetattr(fd, before) != 0)
        return errno == ENOTTY ? Texts::tr("%1 is not a serial port").arg(device) : systemError(errno);
    const auto speed = std::find_if(std::begin(kSpeeds), std::end(kSpeeds),
                                    [&](const Speed& s) { return s.baud == settings.baud; });
    if (speed == std::end(kSpeeds))
        return Texts::tr("the speed %1 is not supported").arg(settings.baud);
    termios line = *before;
    ::cfmakeraw(&line);
    line.c_iflag &= ~(IXON | IXOFF | IXANY);
    line.c_cflag &= ~(CSIZE | CSTOPB | PARENB | PARODD | CMSPAR | CRTSCTS);
    line.c_cflag |= CLOCAL | CREAD;
    static constexpr tcflag_t kSizes[] = {CS5, CS6, CS7, CS8};
    line.c_cflag |= kSizes[std::clamp(settings.dataBits, 5, 8) - 5];
    if (settings.twoStopBits)
        line.c_cflag |= CSTOPB;
    switch (settings.parity) {
    case 'e':
        line.c_cflag |= PARENB;
        break;
    case 'o':
        line.c_cflag |= PARENB | PARODD;
        break;
    case 'm':
        line.c_cflag |= PARENB | CMSPAR | PARODD;
        break;
    case 's':
        line.c_cflag |= PARENB | CMSPAR;
        break;
    default:
        break;
    }
    // Reads return what is there, or EAGAIN when nothing is; 0 only on a hang-up.
    line.c_cc[VMIN] = 1;
    line.c_cc[VTIME] = 0;
    ::cfsetispeed(&line, speed->code);
    ::cfsetospeed(&line, speed->code);
    if (::tcsetattr(fd, TCSANOW, &line) != 0)
        return systemError(errno);
    return {};
}

} // namespace

QString SerialLine::lockFileRefusal(const QString& lockFile, const QByteArray& path)
{
    struct stat device {};
    QString passed;
    const std::optional<QByteArray> content = readLockFile(QFile::encodeName(lockFile), &passed);
    const qint64 owner = content ? lockFileProcess(*content) : 0;
    if (content && owner == 0)
        passed = QStringLiteral("it names no process");
    if (owner > 0 && !processLives(owner)) {
        // Its process has gone. Another user's lock in a sticky directory
        // cannot be removed, and need not be: it is passed by.
        QFile::remove(lockFile);
    } else if (owner > 0 && ::stat(path.constData(), &device) == 0) {
        // Corvane holds the device itself, so a lock file keeps the user out
        // only while its process is seen to hold the device too: anybody can
        // write one naming a process that never ends. The open files of
        // another user's process cannot be read: then only its kernel lock on
        // the device is seen, and without one the device's own exclusivity
        // decides.
        const Sight sight = seenHolding(owner, device);
        if (sight == Sight::Holds || (sight == Sight::Unseen && flockHolderOf(path) == owner))
            return describeProcess(owner)
                 + (sight == Sight::Holds ? Texts::tr(" has it open") : Texts::tr(" holds its kernel lock"))
                 + Texts::tr(" and the lock file %1 names it; end that program, or choose another port").arg(lockFile);
        passed = describeProcess(owner)
               + (sight == Sight::DoesNot ? Texts::tr(" does not have the device open")
                                          : Texts::tr(" holds no kernel lock on the device, and its open "
                                                      "files cannot be read"));
    }
    QString& told = told_[lockFile];
    if (told != passed && !passed.isEmpty())
        qCWarning(lcSerial).noquote() << QStringLiteral("the lock file %1 is passed by: %2").arg(lockFile, passed);
    told = passed;
    return {};
}

QString SerialLine::open(const QString& device, const LineSettings& settings)
{
    close(false);
    const QByteArray path = QFile::encodeName(device);
    const QString canonical = QFileInfo(device).canonicalFilePath();
    const QString lockFile = lockDirectory_ + QLatin1Char('/') + lockFileName(canonical.isEmpty() ? device : canonical);
    if (QString refusal = lockFileRefusal(lockFile, path); !refusal.isEmpty())
        return refusal;

    const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        if (error == EBUSY)
            return inExclusiveMode(path);
        if (error == EACCES) {
            const QString advice = permissionAdvice(device);
            return advice.isEmpty() ? Texts::tr("permission denied") : Texts::tr("permission denied; ") + advice;
        }
        return systemError(error);
    }
    QString why;
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        why = errno == EWOULDBLOCK ? inUse(flockHolderOf(path)) : systemError(errno);
    else
        why = configure(fd, settings, &before_, device);
    if (!why.isEmpty()) {
        ::close(fd);
        return why;
    }
    (void)::ioctl(fd, TIOCEXCL);
    // Some trackers take their power from the modem lines. A device that has
    // none (a pseudo-terminal, some adapters) refuses; that is not an error.
    int lines = TIOCM_DTR | TIOCM_RTS;
    (void)::ioctl(fd, TIOCMBIS, &lines);
    fd_ = fd;
    return {};
}

void SerialLine::close(bool drain)
{
    if (fd_ < 0)
        return;
    if (drain)
        drainOutput(fd_);
    (void)::tcsetattr(fd_, TCSANOW, &before_);
    // Out of exclusive mode, or a pseudo-terminal would stay in it after the
    // program ends, and refuse the next start.
    (void)::ioctl(fd_, TIOCNXCL);
    ::close(fd_);
    fd_ = -1;
}

bool SerialLine::write(const QByteArray& bytes)
{
    QElapsedTimer waited;
    waited.start();
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n > 0) {
            done += n;
        } else if (n < 0 && errno == EAGAIN) {
            // A device that takes nothing for half a second loses the rest, as
            // a line with nobody at the other end would.
            const qint64 left = 500 - waited.elapsed();
            if (left <= 0)
                return true;
            pollfd room{fd_, POLLOUT, 0};
            (void)::poll(&room, 1, static_cast<int>(left));
        } else if (n == 0 || errno != EINTR) {
            return false;
        }
    }
    return true;
}

QByteArray SerialLine::read(bool* failed)
{
    QByteArray received;
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(fd_, buffer, sizeof buffer);
        if (n > 0) {
            received.append(buffer, n);
            // Less than asked for: the driver held no more (what comes later
            // is the next read's), so the read that would say so is spared.
            if (static_cast<std::size_t>(n) < sizeof buffer)
                return received;
        } else if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            return received;
        } else if (n == 0 || errno != EINTR) {
            // A hang-up (the device went away) or an error.
            *failed = true;
            return received;
        }
    }
}

QString lockFileName(const QString& device)
{
    QString name = device.startsWith(QLatin1String("/dev/")) ? device.mid(5) : device;
    return QStringLiteral("LCK..") + name.replace(QLatin1Char('/'), QLatin1Char('_'));
}

qint64 lockFileProcess(const QByteArray& content)
{
    bool decimal = false;
    const qint64 pid = content.split('\n').value(0).trimmed().toLongLong(&decimal);
    if (decimal)
        return pid > 0 ? pid : 0;
    qint32 binary = 0;
    if (content.size() == 4)
        std::memcpy(&binary, content.constData(), sizeof binary);
    return binary > 0 ? binary : 0;
}

qint64 flockHolder(const QByteArray& locks, const QByteArray& id)
{
    // "1: FLOCK  ADVISORY  WRITE 1234 08:02:5678 0 EOF"; those waiting for a
    // lock ("1: -> FLOCK ...") hold none.
    for (const QByteArray& line : locks.split('\n')) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() >= 6 && fields[1] == "FLOCK" && fields[5] == id)
            return std::max(fields[4].toLongLong(), qint64(0));
    }
    return 0;
}

} // namespace corvane::platform
