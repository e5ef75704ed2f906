// A save killed at any moment: the program is ended with SIGKILL while it
// replaces a settings file, 200 times at random moments. Every time the file
// holds the old bytes or the new ones, whole, and what the killed save left
// beside it is its own new file, which the next start removes.
#include "platform/Files.h"
#include "tests/support/FileBytes.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace corvane::platform;

TEST(SaveKilled, LeavesTheOldOrTheNewFileWholeAndOnlyItsOwnLeftovers)
{
    QTemporaryDir dir;
    const QString name = QStringLiteral("Profiles1.2.dat");
    const QString path = dir.filePath(name);
    // Large enough that a save takes a while to write.
    const QByteArray first(256 * 1024, 'a'), second(192 * 1024, 'b');
    ASSERT_EQ(replaceFileWhole(path, first, {}), "");
    QRandomGenerator random(20261207);
    int seenSecond = 0;
    for (int round = 0; round < 200; ++round) {
        const pid_t saver = ::fork();
        ASSERT_GE(saver, 0);
        if (saver == 0) {
            for (int n = 0;; ++n)
                (void)replaceFileWhole(path, n % 2 ? first : second, {});
        }
        ::usleep(random.bounded(200, 6000));
        ::kill(saver, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(saver, &status, 0), saver);
        ASSERT_TRUE(WIFSIGNALED(status));

        const QByteArray now = corvane::test::bytesAt(path);
        ASSERT_TRUE(now == first || now == second) << "round " << round << ": " << now.size() << " bytes";
        seenSecond += now == second;
        (void)removeSaveLeftovers(dir.path(), {name});
        ASSERT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System), QStringList{name})
            << "round " << round;
    }
    // The kills landed at different moments: both versions were found.
    EXPECT_GT(seenSecond, 0);
    EXPECT_LT(seenSecond, 200);
}
