#include "tests/kernel/KernelDevices.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QThread>

#include <libevdev/libevdev-uinput.h>
#include <libevdev/libevdev.h>

#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace corvane::kernel {

QString nodeNamed(const QString& name)
{
    const QDir folder(QStringLiteral("/dev/input"));
    for (const QString& entry : folder.entryList({QStringLiteral("event*")}, QDir::System)) {
        const QString path = folder.filePath(entry);
        QFile nameFile(QStringLiteral("/sys/class/input/%1/device/name").arg(entry));
        if (nameFile.open(QIODevice::ReadOnly) && QString::fromUtf8(nameFile.readAll()).trimmed() == name)
            return path;
    }
    return {};
}

bool processUntil(const std::function<bool()>& done, Millis within)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > within.count())
            return false;
        if (QCoreApplication::instance())
            QCoreApplication::processEvents();
        QThread::msleep(5);
    }
    return true;
}

DeviceReader::DeviceReader(const QString& name)
{
    QString node;
    processUntil([&] { return !(node = nodeNamed(name)).isEmpty(); }, Millis(1000));
    if (node.isEmpty())
        return;
    fd_ = ::open(QFile::encodeName(node).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ >= 0 && libevdev_new_from_fd(fd_, &device_) < 0)
        device_ = nullptr;
}

DeviceReader::~DeviceReader()
{
    libevdev_free(device_);
    if (fd_ >= 0)
        ::close(fd_);
}

bool DeviceReader::readPending(QStringList& events, int* frames)
{
    input_event event;
    for (;;) {
        const int rc = libevdev_next_event(device_, LIBEVDEV_READ_FLAG_NORMAL, &event);
        if (rc == -EAGAIN)
            return true;
        if (rc < 0)
            return false;
        if (event.type == EV_SYN && event.code == SYN_REPORT) {
            events << QStringLiteral("SYN");
            ++*frames;
        } else if (event.type != EV_MSC) {
            events << QStringLiteral("%1 %2")
                          .arg(QString::fromLatin1(libevdev_event_code_get_name(event.type, event.code)))
                          .arg(event.value);
        }
    }
}

QStringList DeviceReader::frames(int count, Millis within)
{
    QStringList events;
    int seen = 0;
    if (!device_)
        return {QStringLiteral("<no device>")};
    processUntil([&] { return !readPending(events, &seen) || seen >= count; }, within);
    return events;
}

bool DeviceReader::untilGone(Millis within, QStringList* events)
{
    int seen = 0;
    return device_ && processUntil([&] { return !readPending(*events, &seen); }, within);
}

UserKeyboard::UserKeyboard()
{
    libevdev* description = libevdev_new();
    libevdev_set_name(description, "Test user keyboard");
    libevdev_set_id_bustype(description, BUS_USB);
    libevdev_enable_event_type(description, EV_KEY);
    for (int key = KEY_ESC; key <= KEY_KPDOT; ++key)
        libevdev_enable_event_code(description, EV_KEY, key, nullptr);
    for (int key : {KEY_RIGHTCTRL, KEY_RIGHTALT, KEY_102ND})
        libevdev_enable_event_code(description, EV_KEY, key, nullptr);
    // A USB keyboard tells each key's scan code before the key.
    libevdev_enable_event_code(description, EV_MSC, MSC_SCAN, nullptr);
    const int rc = libevdev_uinput_create_from_device(description, LIBEVDEV_UINPUT_OPEN_MANAGED, &device_);
    libevdev_free(description);
    if (rc < 0)
        throw std::runtime_error("the test's keyboard cannot be made: " + std::to_string(-rc));
}

UserKeyboard::~UserKeyboard() { libevdev_uinput_destroy(device_); }

void UserKeyboard::write(int key, int value)
{
    libevdev_uinput_write_event(device_, EV_MSC, MSC_SCAN, 0x70000 + key);
    libevdev_uinput_write_event(device_, EV_KEY, static_cast<unsigned>(key), value);
    libevdev_uinput_write_event(device_, EV_SYN, SYN_REPORT, 0);
}

void UserKeyboard::press(int key) { write(key, 1); }
void UserKeyboard::release(int key) { write(key, 0); }
void UserKeyboard::tap(int key)
{
    press(key);
    release(key);
}

} // namespace corvane::kernel
