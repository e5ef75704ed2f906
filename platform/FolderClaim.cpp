#include "platform/FolderClaim.h"

#include "platform/X11Requests.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QLoggingCategory>

namespace corvane::platform {

namespace {

Q_LOGGING_CATEGORY(lcClaim, "corvane.instance")

const QString kLockName = QStringLiteral("Corvane.lock");
const QByteArray kShow = "show\n";
const QByteArray kShown = "shown\n";
const QByteArray kNotShown = "not shown\n";

// The local socket's name: the same for every path that leads to the folder.
QString serverName(const QString& folder)
{
    const QFileInfo info(folder);
    const QString canonical = info.canonicalFilePath();
    const QByteArray path = (canonical.isEmpty() ? info.absoluteFilePath() : canonical).toUtf8();
    return QStringLiteral("corvane-")
         + QString::fromLatin1(QCryptographicHash::hash(path, QCryptographicHash::Sha256).toHex().left(32));
}

class LockedFolder final : public FolderClaim {
public:
    LockedFolder(std::unique_ptr<QLockFile> lock, const QString& name);
    ~LockedFolder() override { release(); }
    void whenAskedToShow(std::function<QWidget*()> window) override { window_ = std::move(window); }
    void release() override;

private:
    void answer(QLocalSocket& socket);

    std::unique_ptr<QLockFile> lock_;
    QLocalServer server_;
    std::function<QWidget*()> window_;
};

LockedFolder::LockedFolder(std::unique_ptr<QLockFile> lock, const QString& name) : lock_(std::move(lock))
{
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    // A socket left by a Corvane that is gone: the lock says that none runs on the folder now.
    QLocalServer::removeServer(name);
    if (!server_.listen(name)) {
        qCWarning(lcClaim).noquote() << "a later start on this settings folder cannot ask for the window:"
                                     << server_.errorString();
        return;
    }
    QObject::connect(&server_, &QLocalServer::newConnection, &server_, [this] {
        while (QLocalSocket* socket = server_.nextPendingConnection()) {
            QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, socket] { answer(*socket); });
        }
    });
}

void LockedFolder::answer(QLocalSocket& socket)
{
    if (!socket.canReadLine()) {
        if (socket.bytesAvailable() > kShow.size())
            socket.abort(); // not a request of ours
        return;
    }
    QWidget* window = socket.readLine() == kShow && window_ ? window_() : nullptr;
    if (window)
        bringToFront(*window);
    const bool shown = window != nullptr;
    socket.write(shown ? kShown : kNotShown);
    socket.disconnectFromServer();
}

void LockedFolder::release()
{
    server_.close();
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
        attempt.claim = std::make_unique<LockedFolder>(std::move(lock), serverName(folder));
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
    QLocalSocket socket;
    socket.connectToServer(serverName(folder));
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(kShow);
    const QDeadlineTimer deadline(timeoutMs);
    QByteArray answer;
    while (!answer.endsWith('\n')) {
        const bool more = socket.waitForReadyRead(static_cast<int>(deadline.remainingTime()));
        answer += socket.readAll();
        if (!more || deadline.hasExpired())
            break;
    }
    return answer == kShown;
}

} // namespace corvane::platform
