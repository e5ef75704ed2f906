#include "platform/Files.h"

#include "platform/Descriptor.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <algorithm>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace corvane::platform {

namespace {

// The texts of this file, translated in the context "corvane::platform::LinuxFiles".
struct Texts {
    Q_DECLARE_TR_FUNCTIONS(corvane::platform::LinuxFiles)
};

// A link's target larger than this is no settings file of Corvane's.
constexpr qint64 kMaxOwnFileBytes = qint64{64} * 1024 * 1024;
const QString kSavingInfix = QStringLiteral(".saving-");
constexpr int kSavingSuffixLength = 6;

QString reasonFor(int error)
{
    switch (error) {
    case ENOSPC:
        return Texts::tr("the disk is full");
    case EDQUOT:
        return Texts::tr("your disk quota is used up");
    case EROFS:
        return Texts::tr("the file system is read-only");
    case EACCES:
    case EPERM:
        return Texts::tr("permission denied");
    case EFBIG:
        return Texts::tr("the file would be larger than the system allows");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

QByteArray native(const QString& path) { return QFile::encodeName(path); }

QString linkText(const QByteArray& link)
{
    char target[PATH_MAX];
    const ssize_t n = ::readlink(link.constData(), target, sizeof target);
    return n < 0 ? QString::fromLocal8Bit(link) : QString::fromLocal8Bit(target, n);
}

// Whether a file of this owner may be believed: the user's own, or root's,
// who can write anything anyway.
bool trustedOwner(uid_t owner) { return owner == ::geteuid() || owner == 0; }

// What the descriptor `fd` holds, in `info`: empty text when it is of the
// kind `type` (S_IFREG, S_IFLNK) and the user's or root's, else why not.
QString heldKindAndOwner(int fd, struct stat& info, mode_t type, const QString& wanted)
{
    if (fd < 0 || ::fstat(fd, &info) != 0)
        return reasonFor(errno);
    if ((info.st_mode & S_IFMT) != type)
        return Texts::tr("it is %1, not %2").arg(kindOf(info.st_mode), wanted);
    if (!trustedOwner(info.st_uid))
        return Texts::tr("it belongs to another user");
    return {};
}

// Reads an open file to its end into `bytes`, never more than `limit` bytes;
// 0 when it did, EFBIG when the file holds more, else the error.
int readToEnd(int fd, qint64 limit, QByteArray& bytes)
{
    bytes.clear();
    QByteArray chunk(64 * 1024, Qt::Uninitialized);
    for (;;) {
        const ssize_t n = ::read(fd, chunk.data(), static_cast<size_t>(chunk.size()));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : 0;
        if (bytes.size() + n > limit)
            return EFBIG;
        bytes.append(chunk.constData(), n);
    }
}

// The bytes of the regular file at `path`, or nothing when it cannot be read
// or is too large to be a settings file.
std::optional<QByteArray> readRegular(const QByteArray& path)
{
    Descriptor fd(::open(path.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    struct stat info {};
    QByteArray bytes;
    if (fd.get() < 0 || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)
        || readToEnd(fd.get(), kMaxOwnFileBytes, bytes) != 0)
        return std::nullopt;
    return bytes;
}

// A link as a message names it: its own text, and where it leads when that
// is another path.
QString linkAndTarget(const QByteArray& link, const char* resolved)
{
    const QString text = linkText(link);
    const QString target = QString::fromLocal8Bit(resolved);
    return text == target ? text : QStringLiteral("%1 (%2)").arg(text, target);
}

// Where a replace of `path` writes, and the file it replaces (when one is
// there); or the reason it may not.
struct Destination {
    QByteArray path;
    std::optional<struct stat> existing;
    QString refusal;
};

Destination destinationOf(const QByteArray& path, const OwnFileTest& ownFile)
{
    struct stat info {};
    if (::lstat(path.constData(), &info) != 0) {
        if (errno == ENOENT)
            return {path, std::nullopt, {}};
        return {{}, std::nullopt, reasonFor(errno)};
    }
    if (S_ISREG(info.st_mode))
        return {path, info, {}};
    if (!S_ISLNK(info.st_mode))
        return {{}, std::nullopt, Texts::tr("it is %1, not a file").arg(kindOf(info.st_mode))};

    const QString target = linkText(path);
    char resolved[PATH_MAX];
    if (::realpath(path.constData(), resolved) == nullptr || ::stat(resolved, &info) != 0)
        return {{}, std::nullopt, Texts::tr("it is a link to %1, which leads nowhere").arg(target)};
    if (!S_ISREG(info.st_mode))
        return {{}, std::nullopt, Texts::tr("it is a link to %1, %2, not a file").arg(target, kindOf(info.st_mode))};
    const std::optional<QByteArray> bytes = readRegular(resolved);
    if (!bytes || !ownFile || !ownFile(*bytes))
        return {{},
                std::nullopt,
                Texts::tr("it is a link to %1, a file that does not hold Corvane's settings and is left as it was")
                    .arg(linkAndTarget(path, resolved))};
    return {QByteArray(resolved), info, {}};
}

QString randomSuffix()
{
    static const char kChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QString suffix;
    for (int i = 0; i < kSavingSuffixLength; ++i)
        suffix += QLatin1Char(kChars[QRandomGenerator::global()->bounded(int(sizeof kChars - 1))]);
    return suffix;
}

// Writes `bytes` into a new file beside `destination` and returns its path,
// or the reason it failed (the new file then removed).
QString writeNewFile(const Destination& destination, const QByteArray& bytes, QByteArray& written)
{
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        written = destination.path + native(kSavingInfix + randomSuffix());
        fd = ::open(written.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
        if (fd < 0 && errno != EEXIST)
            return reasonFor(errno);
    }
    if (fd < 0)
        return reasonFor(EEXIST);
    Descriptor file(fd);
    const auto fail = [&](int error) {
        ::unlink(written.constData());
        return reasonFor(error);
    };
    if (destination.existing) {
        // The new file takes the old one's place with its mode and, where the
        // system lets it (an administrator saving a user's file), its owner.
        (void)::fchown(fd, destination.existing->st_uid, destination.existing->st_gid);
        if (::fchmod(fd, destination.existing->st_mode & 07777) != 0)
            return fail(errno);
    }
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return fail(n < 0 ? errno : ENOSPC);
        done += n;
    }
    // A file system that allocates late reports a full disk only here.
    if (::fsync(fd) != 0 && errno != EINVAL)
        return fail(errno);
    if (file.close() != 0)
        return fail(errno);
    return {};
}

} // namespace

QString kindOf(mode_t mode)
{
    static constexpr std::pair<mode_t, const char*> kKinds[] = {
        {S_IFREG, QT_TRANSLATE_NOOP("corvane::platform::LinuxFiles", "a file")},
        {S_IFLNK, QT_TRANSLATE_NOOP("corvane::platform::LinuxFiles", "a link")},
        {S_IFDIR, QT_TRANSLATE_NOOP("corvane::platform::LinuxFiles", "a directory")},
        {S_IFIFO, QT_TRANSLATE_NOOP("corvane::platform::LinuxFiles", "a named pipe (FIFO)")},
        {S_IFCHR, QT_TRANSLATE_NOOP("corvane::platform::LinuxFiles", "a character device")},
        {S_IFBLK, QT_TRANSLATE_NOOP("corvane::platform::LinuxFiles", "a block device")},
        {S_IFSOCK, QT_TRANSLATE_NOOP("corvane::platform::LinuxFiles", "a socket")}};
    for (const auto& [type, kind] : kKinds) {
        if ((mode & S_IFMT) == type)
            return Texts::tr(kind);
    }
    return Texts::tr("not a regular file");
}

QString replaceFileWhole(const QString& path, const QByteArray& bytes, const OwnFileTest& ownFile)
{
    const Destination destination = destinationOf(native(path), ownFile);
    if (!destination.refusal.isEmpty())
        return destination.refusal;
    QByteArray written;
    if (QString reason = writeNewFile(destination, bytes, written); !reason.isEmpty())
        return reason;
    if (::rename(written.constData(), destination.path.constData()) != 0) {
        const int error = errno;
        ::unlink(written.constData());
        return reasonFor(error);
    }
    // The new name reaches the disk with the folder.
    const QByteArray folder = native(QFileInfo(QFile::decodeName(destination.path)).absolutePath());
    Descriptor dir(::open(folder.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.get() >= 0)
        (void)::fsync(dir.get());
    return {};
}

QString readOwnFile(const QString& path, qint64 limit, QByteArray& bytes)
{
    const QByteArray name = native(path);
    struct stat info {};
    // What is not a regular file is never opened: a pipe could block, a
    // device act on being opened.
    if (::lstat(name.constData(), &info) != 0)
        return reasonFor(errno);
    if (S_ISLNK(info.st_mode))
        return Texts::tr("it is a link to %1, which is not followed").arg(linkText(name));
    if (!S_ISREG(info.st_mode))
        return Texts::tr("it is %1, not a file").arg(kindOf(info.st_mode));
    // What was checked above may have been swapped since: the checks that
    // count are those on the descriptor that is read.
    Descriptor fd(::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY));
    if (QString why = heldKindAndOwner(fd.get(), info, S_IFREG, Texts::tr("a file")); !why.isEmpty())
        return why;
    const int error = readToEnd(fd.get(), limit, bytes);
    if (error == EFBIG)
        return Texts::tr("it is larger than a settings file can be");
    return error == 0 ? QString() : reasonFor(error);
}

QString readDeviceLink(const QString& path, QString& target)
{
    const QByteArray name = native(path);
    // The link itself, held open: its owner and its text are those of one link.
    Descriptor link(::open(name.constData(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
    struct stat info {};
    if (QString why = heldKindAndOwner(link.get(), info, S_IFLNK, Texts::tr("a link to a serial device"));
        !why.isEmpty())
        return why;
    char text[PATH_MAX];
    const ssize_t n = ::readlinkat(link.get(), "", text, sizeof text);
    if (n <= 0 || n == ssize_t(sizeof text))
        return reasonFor(n < 0 ? errno : ENAMETOOLONG);
    const QString written = QFile::decodeName(QByteArray(text, n));
    const QString absolute = written.startsWith(u'/') ? written : QFileInfo(path).absolutePath() + u'/' + written;
    if (::stat(native(absolute).constData(), &info) != 0)
        return Texts::tr("it is a link to %1, which leads nowhere").arg(written);
    if (!S_ISCHR(info.st_mode))
        return Texts::tr("it is a link to %1, %2, not a serial device").arg(written, kindOf(info.st_mode));
    target = absolute;
    return {};
}

QString describeNonFile(const QString& path)
{
    const QByteArray name = native(path);
    struct stat info {};
    if (::lstat(name.constData(), &info) != 0 || S_ISREG(info.st_mode))
        return {};
    if (!S_ISLNK(info.st_mode))
        return kindOf(info.st_mode);
    const QString target = linkText(name);
    if (::stat(name.constData(), &info) != 0)
        return Texts::tr("a link to %1, which leads nowhere").arg(target);
    if (S_ISREG(info.st_mode))
        return {};
    return Texts::tr("a link to %1, %2").arg(target, kindOf(info.st_mode));
}

QStringList removeSaveLeftovers(const QString& folder, const QStringList& names)
{
    // The folder is listed once and the names compared as they are: a name
    // filter would cost a regular expression at every start.
    QStringList removed;
    const QDir dir(folder);
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        const QString prefix = name + kSavingInfix;
        for (const QString& entry : entries) {
            if (!entry.startsWith(prefix))
                continue;
            const QString suffix = entry.mid(prefix.size());
            const bool ours = suffix.size() == kSavingSuffixLength
                           && std::all_of(suffix.begin(), suffix.end(),
                                          [](QChar c) { return c.isLetterOrNumber() && c.unicode() < 128; });
            struct stat info {};
            const QByteArray full = native(dir.filePath(entry));
            if (ours && ::lstat(full.constData(), &info) == 0 && S_ISREG(info.st_mode)
                && ::unlink(full.constData()) == 0)
                removed.append(entry);
        }
    }
    return removed;
}

void settleHomeFolder()
{
    if (!qEnvironmentVariableIsEmpty("HOME"))
        return;
    if (const passwd* user = ::getpwuid(::getuid()); user != nullptr && user->pw_dir != nullptr && *user->pw_dir != 0)
        qputenv("HOME", user->pw_dir);
}

} // namespace corvane::platform
