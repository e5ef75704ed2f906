#include "platform/SerialDevice.h"

#include <QSocketNotifier>
#include <QThread>

#include <libudev.h>

#include <QCoreApplication>
#include <cerrno>
#include <grp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace corvane::platform {

namespace {

// The texts of this file, translated in the context "corvane::platform::LinuxSerialDevice".
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(corvane::platform::LinuxSerialDevice)
};

} // namespace

void drainOutput(qintptr handle)
{
    if (handle < 0)
        return;
    const int fd = static_cast<int>(handle);
    // tcdrain has no time limit: a device whose output is stuck would hold the
    // program forever. So wait for the driver's queue first, bounded, and leave
    // tcdrain only the last bytes in the hardware.
    int queued = 0;
    for (int waited = 0; waited < 1000 && ::ioctl(fd, TIOCOUTQ, &queued) == 0 && queued > 0; waited += 5)
        QThread::msleep(5);
    if (queued == 0)
        (void)::tcdrain(fd);
}

QString permissionAdvice(const QString& device)
{
    const QByteArray path = device.toLocal8Bit();
    if (::access(path.constData(), R_OK | W_OK) == 0 || errno != EACCES)
        return {};
    struct stat info {};
    const group* owner = ::stat(path.constData(), &info) == 0 ? ::getgrgid(info.st_gid) : nullptr;
    if (owner == nullptr || info.st_gid == 0)
        return Texts::tr("ask the system's administrator for access to %1").arg(device);
    return Texts::tr("join the %1 group (sudo adduser $USER %1) and log in again")
        .arg(QString::fromLocal8Bit(owner->gr_name));
}

struct SerialDeviceWatch::Udev {
    udev* context = nullptr;
    udev_monitor* monitor = nullptr;
    std::unique_ptr<QSocketNotifier> notifier;

    ~Udev()
    {
        notifier.reset();
        if (monitor)
            udev_monitor_unref(monitor);
        if (context)
            udev_unref(context);
    }
};

SerialDeviceWatch::SerialDeviceWatch(std::function<void()> changed)
{
    // udev's control socket exists while its service runs; without it the
    // monitor below would be silent.
    if (::access("/run/udev/control", F_OK) != 0)
        return;
    auto watch = std::make_unique<Udev>();
    watch->context = udev_new();
    if (watch->context)
        watch->monitor = udev_monitor_new_from_netlink(watch->context, "udev");
    if (!watch->monitor || udev_monitor_filter_add_match_subsystem_devtype(watch->monitor, "tty", nullptr) < 0
        || udev_monitor_enable_receiving(watch->monitor) < 0 || udev_monitor_get_fd(watch->monitor) < 0)
        return;
    watch->notifier = std::make_unique<QSocketNotifier>(udev_monitor_get_fd(watch->monitor), QSocketNotifier::Read);
    QObject::connect(watch->notifier.get(), &QSocketNotifier::activated, watch->notifier.get(),
                     [monitor = watch->monitor, changed = std::move(changed)] {
                         // Take every announcement waiting: one listing answers them all.
                         while (udev_device* device = udev_monitor_receive_device(monitor))
                             udev_device_unref(device);
                         changed();
                     });
    udev_ = std::move(watch);
}

SerialDeviceWatch::~SerialDeviceWatch() = default;

qint64 deviceFolderStamp()
{
    struct stat dev {};
    if (::stat("/dev", &dev) != 0)
        return 0;
    return qint64(dev.st_mtim.tv_sec) * 1000000000 + dev.st_mtim.tv_nsec;
}

bool hungUp(qintptr handle)
{
    if (handle < 0)
        return false;
    pollfd line{static_cast<int>(handle), POLLIN, 0};
    return ::poll(&line, 1, 0) > 0 && (line.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

} // namespace corvane::platform
