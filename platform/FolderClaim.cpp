#include "platform/FolderClaim.h"

#include "platform/Descriptor.h"
#include "platform/Files.h"
#include "platform/InstanceSocket.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace corvane::platform {

namespace {

// The texts of this file, translated in the context "corvane::platform::FolderClaim".
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(corvane::platform::FolderClaim)
};

const char kLockName[] = "Corvane.lock";
// Tries at a lock file that other Corvanes remove or make meanwhile.
constexpr int kLockTries = 5;

bool sameFile(const struct stat& a, const struct stat& b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

QString errorText(int error) { return QString::fromLocal8Bit(std::strerror(error)); }

// What stands in the lock file's place, in words, when Corvane could not
// have written it there; empty for a lock file it could have.
QString strangeLock(const QString& path, const struct stat& info)
{
    if (S_ISLNK(info.st_mode) || !S_ISREG(info.st_mode)) {
        const QString kind = describeNonFile(path);
        if (!kind.isEmpty())
            return kind;
        return S_ISLNK(info.st_mode) ? Texts::tr("a link to %1").arg(QFile::symLinkTarget(path))
                                     : Texts::tr("something other than a regular file");
    }
    if (info.st_uid != ::geteuid() && info.st_uid != 0)
        return Texts::tr("a file that belongs to another user (user id %1)").arg(info.st_uid);
    if (info.st_nlink != 1)
        return Texts::tr("a file with %1 names (hard links), so that writing it would change another file")
            .arg(info.st_nlink);
    return {};
}

// Refuses the folder when what `info` describes is no lock file of Corvane's.
bool refuse(FolderClaimAttempt& attempt, const QString& path, const struct stat& info)
{
    const QString what = strangeLock(path, info);
    if (what.isEmpty())
        return false;
    attempt.result = FolderClaimAttempt::Result::Refused;
    attempt.why = Texts::tr("where its lock file %1 belongs there is %2, which Corvane did not make and does "
                            "not open. Move it away or remove it, and start Corvane again.")
                      .arg(QDir::toNativeSeparators(path), what);
    return true;
}

// The process that the lock file names, 0 for none: the first line holds
// its id (as QLockFile wrote it too).
qint64 holderIn(int fd)
{
    char text[32];
    const ssize_t n = ::pread(fd, text, sizeof text, 0);
    bool number = false;
    const qint64 pid = QByteArray(text, n > 0 ? n : 0).split('\n').constFirst().trimmed().toLongLong(&number);
    return number && pid > 0 ? pid : 0;
}

// Names this process in the lock file for the message of a later start. The
// lock does not depend on it, so a failed write (a full disk) is let be.
// No one else may open the file, to lock it in this Corvane's place.
void stampHolder(int fd)
{
    const QByteArray pid = QByteArray::number(::getpid()) + '\n';
    if (::ftruncate(fd, 0) == 0)
        (void)!::pwrite(fd, pid.constData(), static_cast<std::size_t>(pid.size()), 0);
    ::fchmod(fd, S_IRUSR | S_IWUSR);
}

class LockedFolder final : public FolderClaim {
public:
    LockedFolder(QString folder, Descriptor dir, Descriptor lock, const struct stat& identity)
        : folder_(std::move(folder)), dir_(std::move(dir)), lock_(std::move(lock)),
          requests_(instanceAddress(identity.st_dev, identity.st_ino))
    {
    }
    ~LockedFolder() override { release(); }
    void whenAskedToShow(std::function<QWidget*()> window) override { requests_.whenAsked(std::move(window)); }
    bool stillAtItsPath() const override;
    void release() override;

private:
    QString folder_;
    Descriptor dir_;  // the folder locked, wherever its path leads now
    Descriptor lock_; // its lock file, locked
    ShowRequests requests_;
};

bool LockedFolder::stillAtItsPath() const
{
    struct stat there {
    }, held{};
    return ::stat(QFile::encodeName(folder_).constData(), &there) == 0 && ::fstat(dir_.get(), &held) == 0
        && sameFile(there, held);
}

void LockedFolder::release()
{
    requests_.close();
    if (!lock_)
        return;
    // The lock file is removed from the folder that was locked, and only while
    // it is the one locked; the kernel's lock goes with the descriptor.
    struct stat mine {
    }, there{};
    if (::fstat(lock_.get(), &mine) == 0 && ::fstatat(dir_.get(), kLockName, &there, AT_SYMLINK_NOFOLLOW) == 0
        && sameFile(mine, there))
        ::unlinkat(dir_.get(), kLockName, 0);
    lock_.reset();
}

} // namespace

QString lockFilePath(const QString& folder) { return QDir(folder).filePath(QString::fromLatin1(kLockName)); }

FolderClaimAttempt claimSettingsFolder(const QString& folder)
{
    FolderClaimAttempt attempt;
    const QString path = lockFilePath(folder);
    const QString shownPath = QDir::toNativeSeparators(path);
    if (!QDir().mkpath(folder)) {
        attempt.why = Texts::tr("the folder cannot be created");
        return attempt;
    }
    Descriptor dir(::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    struct stat identity {};
    if (!dir || ::fstat(dir.get(), &identity) != 0) {
        attempt.why = Texts::tr("the folder cannot be opened (%1)").arg(errorText(errno));
        return attempt;
    }
    for (int tries = 0; tries < kLockTries; ++tries) {
        // What stands there is judged before it is opened: a pipe or a device
        // could hold the start, or answer for ever.
        struct stat seen {};
        const bool found = ::fstatat(dir.get(), kLockName, &seen, AT_SYMLINK_NOFOLLOW) == 0;
        if (found && refuse(attempt, path, seen))
            return attempt;
        Descriptor lock(::openat(dir.get(), kLockName,
                                 O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, S_IRUSR | S_IWUSR));
        if (!lock) {
            const int error = errno;
            // Something else took the name after it was judged: judged again.
            if (error == ELOOP || error == EISDIR || error == ENXIO)
                continue;
            attempt.why = Texts::tr("the lock file %1 cannot be %2 (%3)")
                              .arg(shownPath, found ? Texts::tr("opened for writing") : Texts::tr("made"),
                                   errorText(error));
            return attempt;
        }
        struct stat held {};
        if (::fstat(lock.get(), &held) != 0) {
            attempt.why = Texts::tr("the lock file %1 cannot be examined (%2)").arg(shownPath, errorText(errno));
            return attempt;
        }
        if (refuse(attempt, path, held))
            return attempt;
        if (::flock(lock.get(), LOCK_EX | LOCK_NB) != 0) {
            if (errno != EWOULDBLOCK) {
                attempt.why = Texts::tr("the lock file %1 cannot be locked (%2)").arg(shownPath, errorText(errno));
                return attempt;
            }
            attempt.result = FolderClaimAttempt::Result::HeldByAnother;
            attempt.holder = holderIn(lock.get());
            return attempt;
        }
        // The Corvane that held it may have removed it between the open and
        // the lock, and another made a new one: the file at the path is the lock.
        struct stat now {};
        if (::fstatat(dir.get(), kLockName, &now, AT_SYMLINK_NOFOLLOW) != 0 || !sameFile(now, held))
            continue;
        stampHolder(lock.get());
        attempt.result = FolderClaimAttempt::Result::Claimed;
        attempt.claim = std::make_unique<LockedFolder>(folder, std::move(dir), std::move(lock), identity);
        return attempt;
    }
    attempt.why = Texts::tr("the lock file %1 kept changing while Corvane locked it").arg(shownPath);
    return attempt;
}

} // namespace corvane::platform
