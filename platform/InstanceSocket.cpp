#include "platform/InstanceSocket.h"

#include "platform/X11Requests.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QFile>
#include <QLoggingCategory>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <fcntl.h>
#include <list>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace corvane::platform {

namespace {

Q_LOGGING_CATEGORY(lcSocket, "corvane.instance")

const QByteArray kShow = "show\n";
const QByteArray kShown = "shown\n";
const QByteArray kNotShown = "not shown\n";
// A reply longer than this is no answer of Corvane's.
constexpr qsizetype kLongestReply = 16;

// $XDG_RUNTIME_DIR when it is a folder of this user's, reached without a
// link at its end, that no one else may write; empty otherwise.
QByteArray privateRuntimeFolder()
{
    QByteArray folder = qgetenv("XDG_RUNTIME_DIR");
    while (folder.size() > 1 && folder.endsWith('/'))
        folder.chop(1);
    if (!folder.startsWith('/'))
        return {};
    const int fd = ::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return {};
    struct stat info {};
    const bool mine = ::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode) && info.st_uid == ::geteuid()
                   && (info.st_mode & (S_IWGRP | S_IWOTH)) == 0;
    ::close(fd);
    return mine ? folder : QByteArray();
}

// The address as the kernel takes it, and its length (0 when it does not
// fit): an abstract name counts its bytes exactly, with no end mark.
socklen_t addressOf(const QByteArray& name, sockaddr_un& address)
{
    address = {};
    address.sun_family = AF_UNIX;
    if (name.isEmpty() || name.size() >= static_cast<qsizetype>(sizeof address.sun_path))
        return 0;
    std::memcpy(address.sun_path, name.constData(), static_cast<std::size_t>(name.size()));
    const bool abstract = name.front() == '\0';
    return static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + name.size() + (abstract ? 0 : 1));
}

bool peerIsThisUser(int fd)
{
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::geteuid();
}

// Waits for `events` on `fd` until the deadline; whether they came.
bool waitFor(int fd, short events, const QDeadlineTimer& deadline)
{
    for (;;) {
        pollfd ready{fd, events, 0};
        const int n = ::poll(&ready, 1, static_cast<int>(deadline.remainingTime()));
        if (n > 0)
            return true;
        if (n == 0 || errno != EINTR)
            return false;
    }
}

// Connects the non-blocking socket before the deadline. A listener whose
// queue is full refuses at once (EAGAIN): it is tried again a little later.
bool connectBefore(int fd, const sockaddr_un& address, socklen_t length, const QDeadlineTimer& deadline)
{
    for (;;) {
        if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0)
            return true;
        if (errno == EINPROGRESS) {
            int error = 0;
            socklen_t size = sizeof error;
            return waitFor(fd, POLLOUT, deadline) && ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0
                && error == 0;
        }
        if (errno != EAGAIN && errno != EINTR)
            return false;
        if (deadline.hasExpired())
            return false;
        ::usleep(static_cast<useconds_t>(qMin<qint64>(50, deadline.remainingTime()) * 1000));
    }
}

bool sendBefore(int fd, QByteArray bytes, const QDeadlineTimer& deadline)
{
    while (!bytes.isEmpty()) {
        const ssize_t n = ::send(fd, bytes.constData(), static_cast<std::size_t>(bytes.size()),
                                 MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n > 0)
            bytes.remove(0, n);
        else if ((errno != EAGAIN && errno != EINTR) || !waitFor(fd, POLLOUT, deadline))
            return false;
    }
    return true;
}

// One line read before the deadline; what came, when it did not all come.
QByteArray lineBefore(int fd, const QDeadlineTimer& deadline)
{
    QByteArray line;
    while (!line.endsWith('\n') && line.size() <= kLongestReply && waitFor(fd, POLLIN, deadline)) {
        char buffer[kLongestReply];
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, MSG_DONTWAIT);
        if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR))
            break;
        if (n > 0)
            line.append(buffer, n);
    }
    return line;
}

} // namespace

QByteArray instanceAddress(dev_t device, ino_t inode)
{
    const QByteArray identity = QByteArray::number(quint64{device}) + ':' + QByteArray::number(quint64{inode});
    const QByteArray name = "corvane-"
                          + QCryptographicHash::hash(identity, QCryptographicHash::Sha256).toHex().left(32);
    const QByteArray runtime = privateRuntimeFolder();
    sockaddr_un address;
    if (!runtime.isEmpty() && addressOf(runtime + '/' + name, address) != 0)
        return runtime + '/' + name;
    return QByteArray(1, '\0') + "corvane-" + QByteArray::number(::geteuid()) + '-' + name.mid(8);
}

QByteArray instanceAddress(const QString& folder)
{
    struct stat info {};
    if (::stat(QFile::encodeName(folder).constData(), &info) != 0 || !S_ISDIR(info.st_mode))
        return {};
    return instanceAddress(info.st_dev, info.st_ino);
}

class ShowRequests::Listener {
public:
    explicit Listener(QByteArray address);
    ~Listener();
    void whenAsked(std::function<QWidget*()> window) { window_ = std::move(window); }

private:
    // A later start that connected, and what it has sent so far.
    struct Asker {
        int fd = -1;
        QByteArray line;
        QDeadlineTimer deadline;
        QSocketNotifier* readable = nullptr;
    };
    bool onPath() const { return !address_.startsWith('\0'); }
    void accept();
    void read(Asker& asker);
    void drop(Asker& asker);
    void dropSilent();

    QByteArray address_;
    int fd_ = -1;
    // The socket's file, which only this listener removes.
    dev_t fileDevice_ = 0;
    ino_t fileInode_ = 0;
    std::unique_ptr<QSocketNotifier> incoming_;
    QTimer sweep_;
    std::list<Asker> askers_;
    std::function<QWidget*()> window_;
};

ShowRequests::Listener::Listener(QByteArray address) : address_(std::move(address))
{
    sockaddr_un where;
    const socklen_t length = addressOf(address_, where);
    struct stat file {};
    // A socket left by a Corvane that is gone: only this user makes names in
    // the runtime folder, and the lock says that none runs on the folder now.
    if (onPath() && ::lstat(address_.constData(), &file) == 0 && S_ISSOCK(file.st_mode))
        ::unlink(address_.constData());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (length == 0 || fd < 0 || ::bind(fd, reinterpret_cast<const sockaddr*>(&where), length) != 0
        || ::listen(fd, kMostAskers) != 0) {
        const int error = errno;
        qCWarning(lcSocket).noquote() << "a later start on this settings folder cannot ask for the window:"
                                      << (error == EADDRINUSE ? QStringLiteral("another process took its socket")
                                                              : QString::fromLocal8Bit(std::strerror(error)));
        if (fd >= 0)
            ::close(fd);
        return;
    }
    fd_ = fd;
    if (onPath() && ::lstat(address_.constData(), &file) == 0) {
        ::chmod(address_.constData(), S_IRUSR | S_IWUSR);
        fileDevice_ = file.st_dev;
        fileInode_ = file.st_ino;
    }
    incoming_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    QObject::connect(incoming_.get(), &QSocketNotifier::activated, incoming_.get(), [this] { accept(); });
    sweep_.setInterval(kAskerSilenceMs / 4);
    QObject::connect(&sweep_, &QTimer::timeout, &sweep_, [this] { dropSilent(); });
}

ShowRequests::Listener::~Listener()
{
    while (!askers_.empty())
        drop(askers_.front());
    incoming_.reset();
    if (fd_ < 0)
        return;
    ::close(fd_);
    // Another Corvane, on a folder that took this one's place, may listen there now.
    struct stat file {};
    if (onPath() && ::lstat(address_.constData(), &file) == 0 && file.st_dev == fileDevice_
        && file.st_ino == fileInode_)
        ::unlink(address_.constData());
}

void ShowRequests::Listener::accept()
{
    for (;;) {
        const int fd = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (fd < 0 && errno == EINTR)
            continue;
        if (fd < 0) {
            // Out of descriptors: the waiting connections stay queued a while.
            if (errno != EAGAIN && errno != EWOULDBLOCK) {
                incoming_->setEnabled(false);
                QTimer::singleShot(kAskerSilenceMs, incoming_.get(), [this] { incoming_->setEnabled(true); });
            }
            return;
        }
        // Anyone can reach an abstract name: only this user's starts are heard.
        if (!peerIsThisUser(fd)) {
            ::close(fd);
            continue;
        }
        if (askers_.size() >= kMostAskers)
            drop(askers_.front());
        Asker& asker = askers_.emplace_back();
        asker.fd = fd;
        asker.deadline = QDeadlineTimer(kAskerSilenceMs);
        asker.readable = new QSocketNotifier(fd, QSocketNotifier::Read);
        QObject::connect(asker.readable, &QSocketNotifier::activated, asker.readable, [this, &asker] { read(asker); });
        if (!sweep_.isActive())
            sweep_.start();
        // The line may have come with the connection.
        read(asker);
    }
}

void ShowRequests::Listener::read(Asker& asker)
{
    char buffer[64];
    const ssize_t n = ::recv(asker.fd, buffer, sizeof buffer, MSG_DONTWAIT);
    if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
        return;
    if (n > 0)
        asker.line.append(buffer, n);
    const qsizetype end = asker.line.indexOf('\n');
    if (end < 0 && n > 0 && asker.line.size() <= kShow.size())
        return; // the rest of the line is still to come
    // A line that is not a request of ours, or a side that left, gets no answer.
    if (end >= 0 && asker.line.left(end + 1) == kShow) {
        QWidget* window = window_ ? window_() : nullptr;
        if (window)
            bringToFront(*window);
        const QByteArray& reply = window ? kShown : kNotShown;
        (void)::send(asker.fd, reply.constData(), static_cast<std::size_t>(reply.size()), MSG_NOSIGNAL | MSG_DONTWAIT);
    }
    drop(asker);
}

void ShowRequests::Listener::drop(Asker& asker)
{
    // Its notifier may be inside its own signal here: it is let go of later.
    asker.readable->setEnabled(false);
    asker.readable->deleteLater();
    ::close(asker.fd);
    askers_.remove_if([&](const Asker& a) { return &a == &asker; });
}

void ShowRequests::Listener::dropSilent()
{
    // They came in order, so the first ones are the first to expire.
    while (!askers_.empty() && askers_.front().deadline.hasExpired())
        drop(askers_.front());
    if (askers_.empty())
        sweep_.stop();
}

ShowRequests::ShowRequests(QByteArray address) : listener_(std::make_unique<Listener>(std::move(address))) {}

ShowRequests::~ShowRequests() = default;

void ShowRequests::whenAsked(std::function<QWidget*()> window)
{
    if (listener_)
        listener_->whenAsked(std::move(window));
}

void ShowRequests::close() { listener_.reset(); }

bool askHolderToShow(const QString& folder, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    sockaddr_un address;
    const socklen_t length = addressOf(instanceAddress(folder), address);
    if (length == 0)
        return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return false;
    // Another user may have taken the name: a listener of theirs is not believed, nor told anything.
    const bool shown = connectBefore(fd, address, length, deadline) && peerIsThisUser(fd)
                    && sendBefore(fd, kShow, deadline) && lineBefore(fd, deadline) == kShown;
    ::close(fd);
    return shown;
}

} // namespace corvane::platform
