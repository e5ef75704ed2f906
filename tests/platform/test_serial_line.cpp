// The serial device on a pseudo-terminal: lock files of other programs are
// honoured while their process holds the device and passed by otherwise, two
// ports never drive one device, exclusive mode ends with the port, and a
// device that hangs up closes the port.
#include "platform/LinuxSerialPort.h"
#include "platform/SerialDevice.h"

#include "core/Fault.h"
#include "tests/support/Neighbour.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <functional>
#include <future>
#include <optional>

#include <fcntl.h>
#include <linux/capability.h>
#include <pty.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace corvane::platform;
using namespace std::chrono_literals;

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
    void hangUp() { ::close(std::exchange(master, -1)), ::close(std::exchange(slave, -1)); }
};

// A terminal and a lock folder of its own.
struct Bench {
    Terminal device;
    QTemporaryDir locks;
    const QString lockFile = locks.path() + "/" + lockFileName(device.path);
};
struct SerialLineTest : ::testing::Test, Bench {};

// A child that waits to be killed; or, when it `ends`, the id of one that was
// in use a moment ago and is no longer.
pid_t child(bool ends)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (!ends)
            ::pause();
        ::_exit(0);
    }
    if (ends)
        ::waitpid(pid, nullptr, 0);
    return pid;
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

// "process 1234 (name)" for this test's process or a child of it, which has its name.
QString ofThisTest(qint64 pid)
{
    QFile comm(QStringLiteral("/proc/self/comm"));
    return comm.open(QIODevice::ReadOnly)
             ? QStringLiteral("process %1 (%2)").arg(pid).arg(QString::fromLocal8Bit(comm.readAll().trimmed()))
             : QString();
}

// Puts a lock file there, naming what `content` names, with HOLDER for the holder's process id.
using Plant = std::function<bool(const QString& lockFile, qint64 holder)>;
Plant naming(QByteArray content)
{
    return [content](const QString& lockFile, qint64 holder) {
        QFile file(lockFile);
        return file.open(QIODevice::WriteOnly)
            && file.write(QByteArray(content).replace("HOLDER", QByteArray::number(holder))) >= 0;
    };
}

// Whether another program could open the device at `path` now.
bool opensForOthers(const QString& path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    return fd >= 0 && ::close(fd) == 0;
}

} // namespace

// What a lock file in the lock folder, which every user may write, does to the
// port: it stands in the way only while its process has the device open; its
// process gone, it is removed. Anything else there is passed by, without
// waiting on it, and the log says so once.
TEST(SerialLine, AnotherProgramsLockFileStandsInTheWayOnlyWhileItsProcessHoldsTheDevice)
{
    static QStringList warnings; // what the serial port logged
    const QtMessageHandler previous = qInstallMessageHandler(
        [](QtMsgType, const QMessageLogContext& at, const QString& text) {
            if (at.category == std::string_view("corvane.serial"))
                warnings.append(text);
        });
    // clang-format off
    const struct { const char* label; Plant plant; bool opens; bool lockStays; QString logged; } rows[] = {
        {"no lock file", {}, true, false, {}},
        {"its process ended", naming(QByteArray::number(child(true)).rightJustified(10) + "\n"), true, false, {}},
        {"an empty lock, which names no process", naming(""), true, true, "it names no process"},
        {"a process that never ends", naming("1\n"), true, true, ": process 1 ("},
        {"a living process without the device", naming(QByteArray::number(::getppid())), true, true,
         " does not have the device open"},
        {"its process has the device open", naming("HOLDER\ncorvane\n"), false, true, {}},
        {"a FIFO", [](const QString& f, qint64) { return ::mkfifo(QFile::encodeName(f), 0666) == 0; }, true, true,
         "it is a named pipe (FIFO)"},
        {"a link to a holder's lock", [&](const QString& f, qint64 holder) {
            return naming("HOLDER\n")(f + ".real", holder) && QFile::link(f + ".real", f); }, true, true,
         "it is a symbolic link"},
        {"a folder", [](const QString& f, qint64) { return QDir().mkdir(f); }, true, true, "it is a directory"},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        const Bench b;
        const QString& lockFile = b.lockFile;
        const pid_t holder = child(false); // has the device open, as the test does
        ASSERT_TRUE(!row.plant || row.plant(lockFile, holder));
        // A line that waits on the lock file is freed after a while, and fails.
        bool waited = false;
        std::promise<void> done;
        std::thread watch([&, finished = done.get_future()] {
            while (finished.wait_for(std::chrono::seconds(5)) == std::future_status::timeout) {
                waited = true;
                ::close(::open(QFile::encodeName(lockFile).constData(), O_WRONLY | O_NONBLOCK));
            }
        });
        warnings.clear();
        SerialLine line(b.locks.path());
        QString refusal = line.open(b.device.path, {});
        const QStringList toldFirst = warnings;
        EXPECT_EQ(line.open(b.device.path, {}), refusal) << "the second time";
        EXPECT_EQ(warnings, toldFirst) << "the second time";
        done.set_value();
        watch.join();
        ::kill(holder, SIGKILL);
        ::waitpid(holder, nullptr, 0);
        EXPECT_FALSE(waited);
        EXPECT_EQ(line.isOpen(), row.opens) << refusal.toStdString();
        EXPECT_EQ(refusal, row.opens ? QString()
                                     : ofThisTest(holder) + " has it open and the lock file " + lockFile
                                           + " names it; end that program, or choose another port");
        EXPECT_EQ(QFileInfo::exists(lockFile), row.plant && row.lockStays);
        const QString told = QStringLiteral("the lock file %1 is passed by: ").arg(lockFile);
        EXPECT_EQ(warnings.size(), row.logged.isEmpty() ? 0 : 1) << warnings.join('/').toStdString();
        EXPECT_TRUE(row.logged.isEmpty() || (warnings.value(0).startsWith(told) && warnings[0].contains(row.logged)))
            << warnings.join('/').toStdString();
    }
    qInstallMessageHandler(previous);
}

// Another user's open files cannot be read: for that user a lock file counts
// only when its process holds the device's kernel lock. Without it the lock
// is passed by, and the device's own exclusivity decides.
TEST_F(SerialLineTest, ForAnotherUserALockFileCountsOnlyWithItsProcesssKernelLock)
{
    SKIP_WITHOUT_NEIGHBOUR();
    ASSERT_EQ(::fchown(device.slave, corvane::test::kNeighbourId, 0), 0);
    ASSERT_EQ(::chmod(QFile::encodeName(locks.path()).constData(), 01777), 0);
    const QString refusal = ofThisTest(::getpid()) + " holds its kernel lock and the lock file " + lockFile
                          + " names it; end that program, or choose another port";
    // clang-format off
    const struct { const char* label; qint64 owner; bool kernelLock; int outcome; } rows[] = {
        {"a process that never ends", 1, false, 0},
        {"this test's, which has the device open", ::getpid(), false, 0},
        {"this test's, with the kernel lock", ::getpid(), true, 1},
    };
    // clang-format on
    for (const auto& row : rows) {
        SCOPED_TRACE(row.label);
        ASSERT_TRUE(naming(QByteArray::number(row.owner) + "\n")(lockFile, 0));
        ASSERT_EQ(::flock(device.slave, row.kernelLock ? LOCK_EX : LOCK_UN), 0);
        corvane::test::Neighbour user([&](corvane::test::Neighbour&) {
            SerialLine line(locks.path());
            const QString why = line.open(device.path, {});
            return why.isEmpty() ? 0 : why == refusal ? 1 : 2;
        });
        EXPECT_EQ(user.wait(), row.outcome);
    }
}

TEST_F(SerialLineTest, TwoPortsNeverDriveOneDeviceAndTheSecondNamesTheFirstsProcess)
{
    SerialLine first(locks.path()), second(locks.path());
    ASSERT_EQ(first.open(device.path, {}), QString());
    EXPECT_EQ(second.open(device.path, {}),
              ofThisTest(::getpid()) + " uses it; end that program, or choose another port");
    first.close(true);
    EXPECT_EQ(second.open(device.path, {}), QString());
    EXPECT_EQ(second.open(QStringLiteral("/dev/null"), {}), QStringLiteral("/dev/null is not a serial port"));
}

// The terminal, which its other side keeps (a simulator, a bridge), is open to
// the next program again however the port ends. One left in exclusive mode
// by a program that has ended is named so.
TEST_F(SerialLineTest, ExclusiveModeEndsWithThePort)
{
    const AsAUser user;
    for (const char* end : {"closed", "destroyed", "refused new settings"}) {
        SCOPED_TRACE(end);
        std::optional<SerialLine> line(std::in_place, locks.path());
        ASSERT_EQ(line->open(device.path, {}), QString());
        EXPECT_FALSE(opensForOthers(device.path));
        if (end[0] == 'c')
            line->close(true);
        else if (end[0] == 'd')
            line.reset();
        else
            EXPECT_EQ(line->open(device.path, {12345}), "the speed 12345 is not supported");
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

TEST_F(SerialLineTest, APortCarriesBytesBothWaysAndClosesWhenItsDeviceHangsUp)
{
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
    for (const int notice : {0, 1, 2}) {
        Terminal gone;
        LinuxSerialPort hungUp(locks.path(), {gone.path}, locks.path());
        hungUp.open();
        gone.hangUp();
        notice == 0 ? hungUp.output("!") : notice == 1 ? (void)hungUp.input() : std::this_thread::sleep_for(300ms);
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
        {"19200,n,8,1", {19200, 'n', 8, false}}, {" 9600 , E , 7 , 2 ", {9600, 'e', 7, true}},
        {"2400,o,5,1.5", {2400, 'o', 5, true}},  {"1200,M,6,1", {1200, 'm', 6, false}},
        {"4800,s,8,1",  {4800, 's', 8, false}},
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
    std::this_thread::sleep_for(1100ms);
    EXPECT_EQ(port.describe(3).device, "/dev/null");
    EXPECT_TRUE(port.describe(1).device.isEmpty());
    QDir(before).removeRecursively();
}
