// The serial device on a pseudo-terminal: lock files of other programs are
// honoured while their process lives and passed by once it has gone, two
// ports never drive one device, exclusive mode ends with the port, and a
// device that hangs up closes the port.
#include "platform/LinuxSerialPort.h"
#include "platform/SerialDevice.h"

#include "core/Fault.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <functional>
#include <optional>

#include <fcntl.h>
#include <linux/capability.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace corvane::platform;

namespace {

// A terminal whose other side the test holds, as a tracker's adapter would be.
struct Terminal {
    int master = -1, slave = -1;
    QString path;
    Terminal()
    {
        char name[256] = {};
        if (::openpty(&master, &slave, name, nullptr, nullptr) == 0)
            path = QString::fromLocal8Bit(name);
    }
    ~Terminal() { hangUp(); }
    void hangUp()
    {
        for (int* fd : {&master, &slave})
            if (*fd >= 0)
                ::close(std::exchange(*fd, -1));
    }
};

// A process id that was in use a moment ago and is no longer.
qint64 endedProcess()
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

// Root opens a terminal in exclusive mode all the same: while this lives, the
// test goes without that privilege, as a user's program does.
class AsAUser {
public:
    AsAUser()
    {
        if (::syscall(SYS_capget, &header_, saved_) != 0)
            return;
        __user_cap_data_struct lowered[2] = {saved_[0], saved_[1]};
        lowered[CAP_SYS_ADMIN / 32].effective &= ~(1u << (CAP_SYS_ADMIN % 32));
        ::syscall(SYS_capset, &header_, lowered);
    }
    ~AsAUser() { ::syscall(SYS_capset, &header_, saved_); }

private:
    __user_cap_header_struct header_{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct saved_[2] = {};
};

// Whether another program could open the device at `path` now.
bool opensForOthers(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd >= 0)
        ::close(fd);
    return fd >= 0;
}

} // namespace

TEST(SerialLine, AnotherProgramsLockFileStandsInTheWayOnlyWhileItsProcessLives)
{
    const QByteArray parent = QByteArray::number(::getppid());
    // clang-format off
    const struct { const char* label; QByteArray lock; bool opens; bool lockStays; } rows[] = {
        {"no lock file", {}, true, false},
        {"the usual form, its process ended", QByteArray::number(endedProcess()).rightJustified(10) + "\n", true, false},
        {"a lock that names no process", "who knows\n", true, true},
        {"its process still runs", parent + "\ncorvane\nhost\n", false, true},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        Terminal device;
        QTemporaryDir locks;
        const QString lockFile = locks.path() + "/" + lockFileName(device.path);
        if (!row.lock.isEmpty()) {
            QFile file(lockFile);
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(row.lock);
        }
        SerialLine line(locks.path());
        const QString refusal = line.open(device.path, {});
        EXPECT_EQ(line.isOpen(), row.opens) << refusal.toStdString();
        if (!row.opens) {
            EXPECT_TRUE(refusal.startsWith(QStringLiteral("process %1 ").arg(parent))) << refusal.toStdString();
            EXPECT_TRUE(refusal.endsWith(" uses it and holds the lock file " + lockFile
                                         + "; end that program, or choose another port"))
                << refusal.toStdString();
        }
        EXPECT_EQ(QFile::exists(lockFile), !row.lock.isEmpty() && row.lockStays);
    }
}

TEST(SerialLine, TwoPortsNeverDriveOneDeviceAndTheSecondNamesTheFirstsProcess)
{
    Terminal device;
    QTemporaryDir locks;
    SerialLine first(locks.path()), second(locks.path());
    ASSERT_EQ(first.open(device.path, {}), QString());
    QFile comm(QStringLiteral("/proc/self/comm"));
    ASSERT_TRUE(comm.open(QIODevice::ReadOnly));
    EXPECT_EQ(second.open(device.path, {}), QStringLiteral("process %1 (%2) uses it; end that program, or choose "
                                                           "another port")
                                                .arg(::getpid())
                                                .arg(QString::fromLocal8Bit(comm.readAll().trimmed())));
    first.close(true);
    EXPECT_EQ(second.open(device.path, {}), QString());
    EXPECT_EQ(second.open(QStringLiteral("/dev/null"), {}), QStringLiteral("/dev/null is not a serial port"));
}

// The terminal, which its other side keeps (a simulator, a bridge), is open to
// the next program again however the port ends. One left in exclusive mode
// by a program that has ended is named so.
TEST(SerialLine, ExclusiveModeEndsWithThePort)
{
    const AsAUser user;
    Terminal device;
    QTemporaryDir locks;
    using End = std::function<void(std::optional<SerialLine>&)>;
    // clang-format off
    const std::pair<const char*, End> ends[] = {
        {"closed",    [](std::optional<SerialLine>& line) { line->close(true); }},
        {"destroyed", [](std::optional<SerialLine>& line) { line.reset(); }},
        {"refused new settings", [&](std::optional<SerialLine>& line) {
            EXPECT_EQ(line->open(device.path, {12345}), "the speed 12345 is not supported"); }}};
    // clang-format on
    for (const auto& [label, end] : ends) {
        SCOPED_TRACE(label);
        std::optional<SerialLine> line(std::in_place, locks.path());
        ASSERT_EQ(line->open(device.path, {}), QString());
        EXPECT_FALSE(opensForOthers(device.path));
        end(line);
        EXPECT_TRUE(opensForOthers(device.path));
    }

    ASSERT_EQ(::ioctl(device.slave, TIOCEXCL), 0);
    SerialLine line(locks.path());
    EXPECT_EQ(line.open(device.path, {}),
              "it is in exclusive mode, left so by a program that has ended (or used by one that takes no lock); "
              "start the program that provides this pseudo-terminal again, or choose another port");
}

TEST(SerialLine, LockFilesAreNamedAndReadAsOtherProgramsWriteThem)
{
    EXPECT_EQ(lockFileName("/dev/ttyUSB0"), "LCK..ttyUSB0");
    const qint32 binary = 4321; // the oldest form
    EXPECT_EQ(lockFileProcess(QByteArray(reinterpret_cast<const char*>(&binary), 4)), 4321);
    EXPECT_EQ(lockFileProcess("-4321\n"), 0);
}

TEST(SerialLine, APortCarriesBytesBothWaysAndClosesWhenItsDeviceHangsUp)
{
    Terminal device;
    QTemporaryDir locks;
    LinuxSerialPort port(locks.path(), {device.path}, locks.path());
    port.setSettings(QStringLiteral("4800,n,8,1"));
    port.open();
    termios line{};
    ASSERT_EQ(::tcgetattr(device.slave, &line), 0);
    EXPECT_EQ(::cfgetospeed(&line), speed_t(B4800));

    port.output("!M2,C,B,2,4\r");
    char sent[32] = {};
    EXPECT_EQ(QByteArray(sent, int(::read(device.master, sent, sizeof sent))), "!M2,C,B,2,4\r");
    ASSERT_EQ(::write(device.master, "O", 1), 1);
    EXPECT_EQ(port.input(), "O");
    // A device that takes nothing more loses what does not fit; the program goes on.
    port.output(QByteArray(1 << 20, 'x'));
    EXPECT_TRUE(port.isOpen());

    // What notices the hang-up: a write, a read, or, with neither, the port itself.
    using Notice = std::function<void(LinuxSerialPort&)>;
    for (const Notice& notice :
         {Notice([](LinuxSerialPort& p) { p.output("!"); }), Notice([](LinuxSerialPort& p) { p.input(); }),
          Notice([](LinuxSerialPort&) { std::this_thread::sleep_for(std::chrono::milliseconds(300)); })}) {
        Terminal gone;
        LinuxSerialPort hungUp(locks.path(), {gone.path}, locks.path());
        hungUp.open();
        gone.hangUp();
        notice(hungUp);
        EXPECT_FALSE(hungUp.isOpen());
        EXPECT_EQ(hungUp.whyClosed(), "the device has gone");
    }
}

// Line settings as the speed list and profiles give them, spaces and either
// case allowed; any part that is not one a port has refuses the whole, and
// the port keeps the settings it had.
TEST(SerialLine, LineSettingsAreReadWholeOrRefused)
{
    // clang-format off
    const struct { const char* text; LineSettings line; } taken[] = {
        {"19200,n,8,1",        {19200, 'n', 8, false}},
        {" 9600 , E , 7 , 2 ", {9600,  'e', 7, true}},
        {"2400,o,5,1.5",       {2400,  'o', 5, true}},
        {"1200,M,6,1",         {1200,  'm', 6, false}},
        {"4800,s,8,1",         {4800,  's', 8, false}},
    };
    // clang-format on
    for (const auto& c : taken)
        EXPECT_EQ(lineSettingsOf(QString::fromLatin1(c.text)), c.line) << c.text;
    QTemporaryDir locks;
    LinuxSerialPort port(locks.path(), {}, locks.path());
    port.setSettings(QStringLiteral("9600,n,8,1"));
    for (const char* text : {"9600,n,8", "9600,n,8,1,1", "9600,x,8,1", "9600,ne,8,1", "0,n,8,1", "fast,n,8,1",
                             "9600,n,4,1", "9600,n,9,1", "9600,n,8,3", "9600,n,8,"}) {
        EXPECT_FALSE(lineSettingsOf(QString::fromLatin1(text))) << text;
        EXPECT_THROW(port.setSettings(QString::fromLatin1(text)), corvane::Fault) << text;
        EXPECT_EQ(port.settings(), "9600,n,8,1") << text;
    }
}

TEST(SerialLine, TheFoldersEntriesAreReadAgainWhenTheyChangeHoweverSoon)
{
    // The folder was just read, so its changes fall within the same tick of
    // the file system's clock: each must still be seen at once.
    QTemporaryDir folder;
    const auto entry = [&](int n) { return folder.filePath(QStringLiteral("com%1").arg(n)); };
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/null"), entry(1)));
    LinuxSerialPort port(folder.path(), {}, folder.path());
    EXPECT_EQ(port.describe(1).device, "/dev/null");
    EXPECT_TRUE(port.describe(2).device.isEmpty());
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), entry(2)));
    EXPECT_EQ(port.describe(2).device, "/dev/zero");
    ASSERT_TRUE(QFile::remove(entry(1)) && QFile::link(QStringLiteral("/dev/zero"), entry(1)));
    EXPECT_EQ(port.describe(1).device, "/dev/zero");
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/no-such-device"), entry(3)));
    EXPECT_TRUE(port.describe(3).device.isEmpty());

    // Another folder put in its place is read within a second.
    const QString before = folder.path() + QStringLiteral("-before");
    ASSERT_TRUE(QDir().rename(folder.path(), before));
    ASSERT_TRUE(QDir().mkdir(folder.path()) && QFile::link(QStringLiteral("/dev/null"), entry(3)));
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    EXPECT_EQ(port.describe(3).device, "/dev/null");
    EXPECT_TRUE(port.describe(1).device.isEmpty());
    QDir(before).removeRecursively();
}
