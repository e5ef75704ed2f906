#include "platform/EvdevKeyState.h"

#include "platform/InputChoice.h"

#include <QCoreApplication>
#include <QDir>
#include <QSocketNotifier>

#include <libevdev/libevdev.h>

#include <fcntl.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace corvane::platform {

namespace {

// The texts of this file, translated in the context "corvane::platform::EvdevKeyState".
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(corvane::platform::EvdevKeyState)
};

bool isEventDevice(const QString& name) { return name.startsWith(QLatin1String("event")); }

// A keyboard has letter keys and a space bar; a mouse's or a power button's
// keys do not make one.
bool isKeyboard(const libevdev* device)
{
    return libevdev_has_event_code(device, EV_KEY, KEY_A) && libevdev_has_event_code(device, EV_KEY, KEY_Z)
        && libevdev_has_event_code(device, EV_KEY, KEY_SPACE);
}

struct Opened {
    int fd = -1;
    libevdev* device = nullptr;
    int error = 0; // errno of the open, when it failed
};

// The device when it is a keyboard; a failed open's errno otherwise, 0 for a
// device that is no keyboard.
Opened openKeyboard(const QString& path)
{
    Opened o;
    o.fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (o.fd < 0) {
        o.error = errno;
        return o;
    }
    if (libevdev_new_from_fd(o.fd, &o.device) < 0 || !isKeyboard(o.device)) {
        libevdev_free(o.device);
        ::close(o.fd);
        return {};
    }
    return o;
}

QString refusalText(int count, int error, const QString& folder)
{
    return Texts::tr("no keyboard event device in %1 can be read (%2 refused: %3; reading them needs "
                     "membership of the input group)")
        .arg(folder)
        .arg(count)
        .arg(QString::fromLocal8Bit(std::strerror(error)));
}

} // namespace

int countReadableKeyboards(const QString& folder, QString* whyNot)
{
    int readable = 0, refused = 0, error = 0;
    for (const QString& name : QDir(folder).entryList(QDir::System | QDir::Files, QDir::Name)) {
        if (!isEventDevice(name))
            continue;
        const Opened o = openKeyboard(folder + QLatin1Char('/') + name);
        if (o.device) {
            ++readable;
            libevdev_free(o.device);
            ::close(o.fd);
        } else if (o.error) {
            ++refused;
            error = o.error;
        }
    }
    if (readable == 0)
        *whyNot = refused ? refusalText(refused, error, folder)
                          : Texts::tr("no keyboard event device was found in %1").arg(folder);
    return readable;
}

EvdevKeyState::EvdevKeyState(const QString& folder) : folder_(folder)
{
    watch_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (watch_ >= 0 && QCoreApplication::instance()
        && inotify_add_watch(watch_, QFile::encodeName(folder).constData(), IN_CREATE | IN_ATTRIB | IN_DELETE) >= 0) {
        notifier_ = new QSocketNotifier(watch_, QSocketNotifier::Read);
        QObject::connect(notifier_, &QSocketNotifier::activated, notifier_, [this] { followChanges(); });
    }
    for (const QString& name : QDir(folder).entryList(QDir::System | QDir::Files, QDir::Name)) {
        if (isEventDevice(name))
            open(name);
    }
}

EvdevKeyState::~EvdevKeyState()
{
    delete notifier_;
    if (watch_ >= 0)
        ::close(watch_);
    while (!keyboards_.empty())
        close(keyboards_.size() - 1);
}

QString EvdevKeyState::whyNone() const
{
    if (!keyboards_.empty())
        return {};
    return refused_ ? refusal_ : Texts::tr("no keyboard event device was found in %1").arg(folder_);
}

void EvdevKeyState::open(const QString& name)
{
    const QString path = folder_ + QLatin1Char('/') + name;
    for (const Keyboard& k : keyboards_) {
        if (k.path == path)
            return;
    }
    const Opened o = openKeyboard(path);
    if (o.error) {
        if (refused_++ == 0)
            refusal_ = refusalText(1, o.error, folder_);
        return;
    }
    if (!o.device)
        return;
    Keyboard keyboard;
    keyboard.path = path;
    keyboard.fd = o.fd;
    keyboard.device = o.device;
    keyboards_.push_back(keyboard);
    qCDebug(lcInput, "reading the keyboard %s (%s)", qPrintable(path), libevdev_get_name(o.device));
}

void EvdevKeyState::close(std::size_t index)
{
    Keyboard& k = keyboards_[index];
    qCDebug(lcInput, "the keyboard %s is no longer read", qPrintable(k.path));
    libevdev_free(k.device);
    ::close(k.fd);
    keyboards_.erase(keyboards_.begin() + static_cast<std::ptrdiff_t>(index));
}

void EvdevKeyState::closeNamed(const QString& name)
{
    const QString path = folder_ + QLatin1Char('/') + name;
    for (std::size_t i = 0; i < keyboards_.size(); ++i) {
        if (keyboards_[i].path == path) {
            close(i);
            return;
        }
    }
}

void EvdevKeyState::followChanges()
{
    alignas(inotify_event) char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(watch_, buffer, sizeof buffer);
        if (n <= 0)
            return;
        for (ssize_t at = 0; at < n;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            const QString name = event->len ? QFile::decodeName(event->name) : QString();
            if (!isEventDevice(name))
                continue;
            if (event->mask & IN_DELETE)
                closeNamed(name);
            else
                open(name); // a new device, or one whose access rights udev has just set
        }
    }
}

bool EvdevKeyState::read(Keyboard& k)
{
    input_event event;
    unsigned flag = LIBEVDEV_READ_FLAG_NORMAL;
    for (;;) {
        const int rc = libevdev_next_event(k.device, flag, &event);
        if (rc == -EAGAIN) {
            if (flag == LIBEVDEV_READ_FLAG_NORMAL)
                return true;
            flag = LIBEVDEV_READ_FLAG_NORMAL; // the events lost in an overflow are made up for
            continue;
        }
        if (rc < 0)
            return false;
        if (rc == LIBEVDEV_READ_STATUS_SYNC)
            flag = LIBEVDEV_READ_FLAG_SYNC;
        if (event.type != EV_KEY || event.code >= KEY_CNT)
            continue;
        k.down.set(event.code, event.value != 0);
        if (event.value == 1)
            k.pressed.set(event.code);
    }
}

void EvdevKeyState::snapshot()
{
    KernelKeySet keys;
    for (std::size_t i = keyboards_.size(); i-- > 0;) {
        Keyboard& k = keyboards_[i];
        if (!read(k)) {
            // Unplugged (ENODEV) or broken: the others go on.
            close(i);
            continue;
        }
        keys |= k.down | k.pressed;
        k.pressed.reset();
    }
    snapshot_ = places_.virtualKeysFor(keys);
}

bool EvdevKeyState::isDown(int virtualKey) const
{
    return virtualKey >= 0 && virtualKey < 256 && snapshot_[static_cast<std::size_t>(virtualKey)];
}

} // namespace corvane::platform
