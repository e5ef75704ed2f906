// One Corvane per settings folder, against what a crash, a sync tool, the
// user's own programs and another local user leave in its way: the lock file,
// the folder at its path, and the socket a later start asks through.
#include "engine/AppContext.h"
#include "platform/FolderClaim.h"
#include "platform/InstanceSocket.h"
#include "tests/support/FileBytes.h"
#include "tests/support/QtTestApp.h"
#include "tests/support/SocketSquatter.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>

#include <filesystem>
#include <future>

#include <poll.h>
#include <sys/stat.h>
#include <sys/un.h>

using namespace corvane::platform;
using Result = FolderClaimAttempt::Result;
using corvane::test::bytesAt;
using corvane::test::put;

namespace {

int openDescriptors() { return static_cast<int>(QDir(QStringLiteral("/proc/self/fd")).count()); }

// Runs the event loop until `done` holds or `ms` have passed.
bool pumpUntil(const std::function<bool()>& done, int ms)
{
    for (const QDeadlineTimer deadline(ms); !done() && !deadline.hasExpired();)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

// Runs `work` on another thread while this one answers.
template <typename Work>
auto whilePumping(Work work)
{
    auto result = std::async(std::launch::async, work);
    pumpUntil([&] { return result.wait_for(std::chrono::seconds(0)) == std::future_status::ready; }, 5000);
    return result.get();
}
// Asks as a later start would.
bool askWhilePumping(const QString& folder)
{
    return whilePumping([&] { return askHolderToShow(folder, 3000); });
}

int connectTo(const QByteArray& name)
{
    sockaddr_un where{};
    where.sun_family = AF_UNIX;
    std::memcpy(where.sun_path, name.constData(), static_cast<std::size_t>(name.size()));
    const auto length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + name.size());
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    // A full queue refuses: the listener makes room as it runs.
    while (::connect(fd, reinterpret_cast<const sockaddr*>(&where), length) != 0 && errno == EAGAIN)
        QCoreApplication::processEvents();
    return fd;
}

class FolderClaimTest : public ::testing::Test {
protected:
    // The socket takes an abstract name, which the tests can take first.
    void SetUp() override { qunsetenv("XDG_RUNTIME_DIR"); }
    QString sub(const QString& name) const { return QDir(dir.path()).filePath(name); }
    // Claims the folder, with a window for a later start to show.
    FolderClaimAttempt claimShowing(QWidget* window)
    {
        FolderClaimAttempt attempt = claimSettingsFolder(folder);
        attempt.claim->whenAskedToShow([window] { return window; });
        return attempt;
    }
    QTemporaryDir dir;
    const QString folder = dir.path(), lock = lockFilePath(dir.path()), runtime = sub("runtime");
};

TEST_F(FolderClaimTest, ALockThatNoLivingProcessHoldsIsTakenOverAndNamesThisOne)
{
    const int descriptors = openDescriptors();
    for (const QByteArray& left : {QByteArray(), QByteArray("\xff\x01garbage"), QByteArray("999999999\n"),
                                   QByteArray::number(::getpid()) + "\nCorvane\nhost\n"}) {
        ASSERT_TRUE(put(lock, left));
        FolderClaimAttempt attempt = claimSettingsFolder(folder);
        ASSERT_EQ(attempt.result, Result::Claimed) << left.toStdString() << attempt.why.toStdString();
        EXPECT_EQ(bytesAt(lock), QByteArray::number(::getpid()) + '\n');
        // A second start in the meantime finds it held, by this process.
        const FolderClaimAttempt second = claimSettingsFolder(folder);
        EXPECT_EQ(second.result, Result::HeldByAnother);
        EXPECT_EQ(second.holder, ::getpid());
        EXPECT_EQ(QFile::permissions(lock) & 0x77, 0) << "no one else opens it, to lock it in Corvane's place";
        attempt.claim->release();
        EXPECT_FALSE(QFile::exists(lock));
        EXPECT_EQ(claimSettingsFolder(folder).result, Result::Claimed) << "given up while its object lives";
    }
    EXPECT_EQ(openDescriptors(), descriptors);
    // Removed under it, and made again by another start: that one's stays.
    FolderClaimAttempt first = claimSettingsFolder(folder);
    ASSERT_TRUE(QFile::remove(lock));
    const FolderClaimAttempt second = claimSettingsFolder(folder);
    ASSERT_EQ(second.result, Result::Claimed);
    first.claim->release();
    EXPECT_TRUE(QFile::exists(lock));
}

TEST_F(FolderClaimTest, WhatIsNoLockFileOfCorvanesIsRefusedUnopenedAndUntouched)
{
    ASSERT_TRUE(put(sub("mine"), "the user's own bytes"));
    const QByteArray at = QFile::encodeName(lock);
    const uid_t id = corvane::test::kNeighbourId;
    const auto socketThere = [&] {
        sockaddr_un where{AF_UNIX, {}};
        std::strcpy(where.sun_path, at.constData());
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
        const int bound = ::bind(fd, reinterpret_cast<sockaddr*>(&where), sizeof where);
        return ::close(fd), bound;
    };
    // clang-format off
    const struct { std::function<int()> make; const char* said; bool asRoot = false; } cases[] = {
        {[&] { return ::mkfifo(at, 0600); }, "a named pipe (FIFO)"},
        {[&] { return QDir().mkdir(lock) ? 0 : -1; }, "a directory"},
        {socketThere, "a socket"},
        {[&] { return ::symlink("/dev/zero", at); }, "a link to /dev/zero, a character device"},
        {[&] { return ::symlink("mine", at); }, "a link to "},
        {[&] { return ::symlink("nowhere", at); }, "which leads nowhere"},
        {[&] { return ::link(QFile::encodeName(sub("mine")), at); }, "a file with 2 names"},
        // Only root makes a file another user's.
        {[&] { return put(lock, "1\n") ? ::chown(at, id, id) : -1; },
         "a file that belongs to another user (user id 64123)", true},
    };
    // clang-format on
    for (const auto& c : cases) {
        if (c.asRoot && !corvane::test::canBecomeNeighbour())
            continue;
        ASSERT_EQ(c.make(), 0) << c.said;
        const FolderClaimAttempt attempt = claimSettingsFolder(folder);
        EXPECT_EQ(attempt.result, Result::Refused) << c.said;
        EXPECT_TRUE(attempt.why.contains(QString::fromUtf8(c.said))) << attempt.why.toStdString();
        EXPECT_TRUE(attempt.why.contains(lock)) << attempt.why.toStdString();
        EXPECT_EQ(bytesAt(sub("mine")), "the user's own bytes");
        std::filesystem::remove(lock.toStdString());
    }
    EXPECT_FALSE(QFile::exists(sub("nowhere")));
}

// A sync or restore moves the folder away and puts another, or a link to
// another, at its path, where another Corvane may run.
TEST_F(FolderClaimTest, AFolderReplacedAtItsPathIsNeitherWrittenNorUnlocked)
{
    const QString path = sub("settings");
    for (const bool byLink : {false, true}) {
        ASSERT_TRUE(QDir().mkpath(path));
        corvane::platform::Platform platform;
        platform.claim = claimSettingsFolder(path).claim;
        ASSERT_TRUE(platform.claim);
        corvane::AppContext app(platform, path);
        app.store.lastProfileName = QStringLiteral("Mine");
        app.store.writeLastProfile();
        EXPECT_TRUE(platform.claim->stillAtItsPath());
        const QString away = sub(byLink ? "linked" : "moved");
        ASSERT_TRUE(QDir().rename(path, away));
        ASSERT_TRUE(byLink ? QDir().mkpath(away + "2") && QFile::link(away + "2", path) : QDir().mkpath(path));
        FolderClaimAttempt second = claimSettingsFolder(path);
        ASSERT_EQ(second.result, Result::Claimed) << second.why.toStdString();
        EXPECT_FALSE(platform.claim->stillAtItsPath());
        EXPECT_TRUE(second.claim->stillAtItsPath());
        try {
            app.store.writeLastProfile();
            ADD_FAILURE() << "written into the folder that took its place";
        } catch (const corvane::Fault& fault) {
            EXPECT_TRUE(fault.description.contains(QStringLiteral("no longer the one Corvane started on")))
                << fault.description.toStdString();
        }
        EXPECT_EQ(QDir(path).entryList(QDir::Files), QStringList{QStringLiteral("Corvane.lock")});
        platform.claim->release();
        EXPECT_FALSE(QFile::exists(lockFilePath(away)));
        EXPECT_TRUE(QFile::exists(lockFilePath(path))) << "the other Corvane's lock stays";
        second.claim->release();
        QFile::remove(path);
        QDir(path).removeRecursively();
    }
}

TEST_F(FolderClaimTest, TheSocketIsInTheRuntimeFolderOnlyWhenNoOneElseCanMakeNamesThereAndAnswersThere)
{
    const QByteArray abstract = QByteArray(1, '\0') + "corvane-" + QByteArray::number(::geteuid()) + '-';
    EXPECT_TRUE(instanceAddress(folder).startsWith(abstract));
    ASSERT_TRUE(QDir().mkdir(runtime) && QFile::link(runtime, sub("link")));
    // clang-format off
    const struct { QString dir; mode_t mode; bool used; } cases[] = {
        {runtime, 0700, true},  {runtime + "/", 0755, true}, {runtime, 0770, false},
        {runtime, 0702, false}, {sub("link"), 0700, false},  {QStringLiteral("relative"), 0700, false}};
    // clang-format on
    for (const auto& c : cases) {
        ::chmod(QFile::encodeName(runtime).constData(), c.mode);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(c.dir));
        const QByteArray address = instanceAddress(folder);
        EXPECT_EQ(address.startsWith(QFile::encodeName(runtime) + "/corvane-"), c.used) << c.dir.toStdString();
        EXPECT_EQ(address.startsWith(abstract), !c.used) << c.dir.toStdString();
    }
    // A later start is answered in the runtime folder, and at the abstract name.
    ::chmod(QFile::encodeName(runtime).constData(), 0700);
    for (const bool inRuntime : {true, false}) {
        inRuntime ? qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime)) : qunsetenv("XDG_RUNTIME_DIR");
        FolderClaimAttempt attempt = claimShowing(nullptr);
        ASSERT_EQ(attempt.result, Result::Claimed);
        EXPECT_FALSE(askWhilePumping(folder)) << "no window to show yet";
        QWidget window;
        attempt.claim->whenAskedToShow([&] { return &window; });
        EXPECT_TRUE(askWhilePumping(folder));
        EXPECT_TRUE(window.isVisible());
        attempt.claim->release();
        EXPECT_EQ(QDir(runtime).entryList(QDir::System).size(), 0) << "its socket goes with it";
        EXPECT_FALSE(askWhilePumping(folder));
    }
}

// Another user takes the abstract name first: the running Corvane still
// holds the folder, and a later start believes no one else's answer and
// waits for no one beyond its deadline.
TEST_F(FolderClaimTest, AnotherUserIsNeitherBelievedNorAnswered)
{
    SKIP_WITHOUT_NEIGHBOUR();
    const QByteArray name = instanceAddress(folder);
    for (const auto how : {corvane::test::Squat::AnswersShown, corvane::test::Squat::NeverAccepts}) {
        corvane::test::Neighbour squatter(
            [&](corvane::test::Neighbour& self) { return squatSocket(self, name.toStdString(), how); });
        FolderClaimAttempt attempt = claimSettingsFolder(folder);
        EXPECT_EQ(attempt.result, Result::Claimed);
        QElapsedTimer clock;
        clock.start();
        EXPECT_FALSE(askHolderToShow(folder, 1500));
        EXPECT_LT(clock.elapsed(), 3000);
        EXPECT_EQ(claimSettingsFolder(folder).result, Result::HeldByAnother);
    }
    // Another user's connection is dropped unanswered.
    QWidget window;
    const FolderClaimAttempt attempt = claimShowing(&window);
    corvane::test::Neighbour asker([&](corvane::test::Neighbour& self) {
        const int fd = connectTo(name);
        (void)!::write(fd, "show\n", 5);
        self.ready();
        pollfd reply{fd, POLLIN, 0};
        char byte;
        // Hung up on, unanswered: the end of the stream, or a reset as the request went unread.
        return ::poll(&reply, 1, 3000) == 1 && ::read(fd, &byte, 1) <= 0 ? 0 : 1;
    });
    EXPECT_EQ(whilePumping([&] { return asker.wait(); }), 0);
    EXPECT_FALSE(window.isVisible());
}

TEST_F(FolderClaimTest, SilentConnectionsAreFewAndBrief)
{
    QWidget window;
    const FolderClaimAttempt attempt = claimShowing(&window);
    const QByteArray name = instanceAddress(folder);
    const int before = openDescriptors();
    std::vector<int> silent;
    for (int i = 0; i < 400; ++i)
        silent.push_back(connectTo(name)), QCoreApplication::processEvents();
    pumpUntil([] { return false; }, 100);
    EXPECT_LE(openDescriptors() - before, 400 + kMostAskers);
    EXPECT_TRUE(askWhilePumping(folder));
    // The last ones kept are dropped once their second is up.
    EXPECT_TRUE(
        pumpUntil([&, byte = '\0']() mutable { return ::recv(silent.back(), &byte, 1, MSG_DONTWAIT) == 0; }, 3000));
    for (const int fd : silent)
        ::close(fd);
    pumpUntil([] { return false; }, 200);
    EXPECT_EQ(openDescriptors(), before);
}

} // namespace
