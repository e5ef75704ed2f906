#include "platform/SerialDevice.h"

#include <QThread>

#include <cerrno>
#include <grp.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace corvane::platform {

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
        return QStringLiteral("ask the system's administrator for access to %1").arg(device);
    return QStringLiteral("join the %1 group (sudo adduser $USER %1) and log in again").arg(QString::fromLocal8Bit(owner->gr_name));
}

} // namespace corvane::platform
