#include "platform/FolderClaim.h"

#include "platform/X11Requests.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QLoggingCategory>
#include <QSocketNotifier>

#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <list>

namespace corvane::platform {

namespace {

Q_LOGGING_CATEGORY(lcClaim, "corvane.instance")

const QString kLockName = QStringLiteral("Corvane.lock");
const QByteArray kShow = "show\n";
const QByteArray kShown = "shown\n";
const QByteArray kNotShown = "not shown\n";

// The local socket's path, in the temporary folder: the same for every path
// that leads to the settings folder.
QByteArray socketPath(const QString& folder)
{
    const QFileInfo info(folder);
    const QString canonical = info.canonicalFilePath();
    const QByteArray path = (canonical.isEmpty() ? info.absoluteFilePath() : canonical).toUtf8();
    const QString name = QStringLiteral("corvane-")
                       + QString::fromLatin1(
                             QCryptographicHash::hash(path, QCryptographicHash::Sha256).toHex().left(32));
    return QFile::encodeName(QDir(QDir::tempPath()).filePath(name));
}

// A Unix-domain address; false when the path does not fit in one.
bool addressOf(const QByteArray& path, sockaddr_un& address)
{
    address = {};
    address.sun_family = AF_UNIX;
    if (path.size() >= static_cast<qsizetype>(sizeof address.sun_path))
        return false;
    std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
    return true;
}

// Listens on the socket and answers each request to show the window. The
// sockets are plain Unix-domain ones, watched by the event loop.
class LockedFolder final : public FolderClaim {
public:
    LockedFolder(std::unique_ptr<QLockFile> lock, QByteArray path);
    ~LockedFolder() override { release(); }
    void whenAskedToShow(std::function<QWidget*()> window) override { window_ = std::move(window); }
    void release() override;

private:
    // A later start that connected, and what it has sent so far.
    struct Asker {
        int fd = -1;
        QByteArray line;
        QSocketNotifier* readable = nullptr;
    };
    void accept();
    void read(Asker& asker);
    void drop(Asker& asker);

    std::unique_ptr<QLockFile> lock_;
    QByteArray path_;
    int listener_ = -1;
    std::unique_ptr<QSocketNotifier> incoming_;
    std::list<Asker> askers_;
    std::function<QWidget*()> window_;
};

LockedFolder::LockedFolder(std::unique_ptr<QLockFile> lock, QByteArray path)
    : lock_(std::move(lock)), path_(std::move(path))
{
    sockaddr_un address;
    QString why;
    if (!addressOf(path_, address)) {
        why = QStringLiteral("the path %1 is too long for a socket").arg(QFile::decodeName(path_));
    } else {
        // A socket left by a Corvane that is gone: the lock says that none runs on the folder now.
        ::unlink(path_.constData());
        listener_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        // Only this user may ask.
        if (listener_ < 0 || ::bind(listener_, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0
            || ::chmod(path_.constData(), S_IRUSR | S_IWUSR) != 0 || ::listen(listener_, 4) != 0)
            why = QString::fromLocal8Bit(std::strerror(errno));
    }
    if (!why.isEmpty()) {
        qCWarning(lcClaim).noquote() << "a later start on this settings folder cannot ask for the window:" << why;
        if (listener_ >= 0)
            ::close(listener_);
        listener_ = -1;
        return;
    }
    incoming_ = std::make_unique<QSocketNotifier>(listener_, QSocketNotifier::Read);
    QObject::connect(incoming_.get(), &QSocketNotifier::activated, incoming_.get(), [this] { accept(); });
}

void LockedFolder::accept()
{
    for (int fd; (fd = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK)) >= 0;) {
        Asker& asker = askers_.emplace_back();
        asker.fd = fd;
        asker.readable = new QSocketNotifier(fd, QSocketNotifier::Read);
        QObject::connect(asker.readable, &QSocketNotifier::activated, asker.readable, [this, &asker] { read(asker); });
    }
}

void LockedFolder::read(Asker& asker)
{
    char buffer[64];
    const ssize_t n = ::read(asker.fd, buffer, sizeof buffer);
    if (n < 0 && (errno == EAGAIN || errno == EINTR))
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
        (void)::send(asker.fd, reply.constData(), static_cast<std::size_t>(reply.size()), MSG_NOSIGNAL);
    }
    drop(asker);
}

void LockedFolder::drop(Asker& asker)
{
    // Its notifier is inside its own signal here: it is let go of later.
    asker.readable->setEnabled(false);
    asker.readable->deleteLater();
    ::close(asker.fd);
    askers_.remove_if([&](const Asker& a) { return &a == &asker; });
}

void LockedFolder::release()
{
    while (!askers_.empty())
        drop(askers_.front());
    incoming_.reset();
    if (listener_ >= 0) {
        ::close(listener_);
        ::unlink(path_.constData());
        listener_ = -1;
    }
    if (lock_)
        lock_->unlock();
}

} // namespace

QString lockFilePath(const QString& folder) { return QDir(folder).filePath(kLockName); }

FolderClaimAttempt claimSettingsFolder(const QString& folder)
{
    FolderClaimAttempt attempt;
    if (!QDir().mkpath(folder)) {
        attempt.why = QStringLiteral("the folder cannot be created");
        return attempt;
    }
    const QString path = lockFilePath(folder);
    auto lock = std::make_unique<QLockFile>(path);
    // Only a lock whose process is gone is stale, however old it is: Corvane runs for days.
    lock->setStaleLockTime(0);
    if (lock->tryLock(0)) {
        attempt.result = FolderClaimAttempt::Result::Claimed;
        attempt.claim = std::make_unique<LockedFolder>(std::move(lock), socketPath(folder));
        return attempt;
    }
    switch (lock->error()) {
    case QLockFile::LockFailedError: {
        attempt.result = FolderClaimAttempt::Result::HeldByAnother;
        QString host, program;
        if (!lock->getLockInfo(&attempt.holder, &host, &program))
            attempt.holder = 0;
        break;
    }
    case QLockFile::PermissionError:
        attempt.why = QStringLiteral("the folder may not be written");
        break;
    default:
        attempt.why = QStringLiteral("the lock file %1 cannot be written (is the disk full?)")
                          .arg(QDir::toNativeSeparators(path));
        break;
    }
    return attempt;
}

bool askHolderToShow(const QString& folder, int timeoutMs)
{
    sockaddr_un address;
    if (!addressOf(socketPath(folder), address))
        return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    QByteArray answer;
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0
        && ::send(fd, kShow.constData(), static_cast<std::size_t>(kShow.size()), MSG_NOSIGNAL) == kShow.size()) {
        const QDeadlineTimer deadline(timeoutMs);
        while (!answer.endsWith('\n')) {
            pollfd readable{fd, POLLIN, 0};
            if (::poll(&readable, 1, static_cast<int>(deadline.remainingTime())) <= 0)
                break;
            char buffer[64];
            const ssize_t n = ::read(fd, buffer, sizeof buffer);
            if (n <= 0)
                break;
            answer.append(buffer, n);
        }
    }
    ::close(fd);
    return answer == kShown;
}

} // namespace corvane::platform
