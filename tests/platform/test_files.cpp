// Replacing a settings file whole on the machine: what stands in the file's
// place decides whether it is written, and a refusal changes nothing anywhere.
#include "platform/Files.h"
#include "tests/support/FileBytes.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <functional>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace corvane::platform;

namespace {

QByteArray readAll(const QString& path) { return corvane::test::bytesAt(path); }

void write(const QString& path, const QByteArray& bytes)
{
    ASSERT_TRUE(corvane::test::put(path, bytes)) << path.toStdString();
}

mode_t modeOf(const QString& path)
{
    struct stat info {};
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? info.st_mode & 07777 : 0;
}

bool ours(const QByteArray& bytes) { return bytes.startsWith("\"Mine\""); }

// The path of a character device to plant a link to: one of the test's own
// for root, who could replace /dev/null, else /dev/null itself.
QString characterDevice(const QString& folder)
{
    const QString own = folder + "/null";
    if (::geteuid() == 0 && ::mknod(QFile::encodeName(own).constData(), S_IFCHR | 0666, makedev(1, 3)) == 0)
        return own;
    return "/dev/null";
}

} // namespace

// Each kind of thing in the file's place, the reason a save gives, and the
// bytes of the place (or of the link's target) afterwards.
TEST(ReplaceFileWhole, WritesOnlyARegularFileOrALinkToOneOfOurs)
{
    QTemporaryDir dir, outside;
    const QString path = dir.path() + "/Profiles1.2.dat";
    const QString victim = outside.path() + "/victim.txt";
    const QString own = outside.path() + "/dotfiles-Profiles1.2.dat";
    const QString device = characterDevice(outside.path());
    struct Case {
        const char* label;
        std::function<void()> plant;
        QString reason;   // empty: written
        QString checked;  // the file whose bytes are then checked
        QByteArray bytes; // its bytes then
    };
    // clang-format off
    const Case cases[] = {
        {"nothing there", [] {}, "", path, "new"},
        {"a regular file", [&] { write(path, "old"); }, "", path, "new"},
        {"a link to our own file elsewhere", [&] { write(own, "\"Mine\",old"); QFile::link(own, path); }, "", own, "new"},
        {"a link to a device", [&] { QFile::link(device, path); },
         "it is a link to " + device + ", a character device, not a file", path, ""},
        {"a link to someone else's file", [&] { write(victim, "notes"); QFile::link(victim, path); },
         "it is a link to " + victim + ", a file that does not hold Corvane's settings and is left as it was", victim, "notes"},
        {"a link to an empty file", [&] { write(victim, ""); QFile::link(victim, path); },
         "it is a link to " + victim + ", a file that does not hold Corvane's settings and is left as it was", victim, ""},
        {"a link to nothing", [&] { QFile::link(victim, path); }, "it is a link to " + victim + ", which leads nowhere",
         victim, "<none>"},
        {"a directory", [&] { QDir().mkdir(path); }, "it is a directory, not a file", victim, "<none>"},
        {"a named pipe", [&] { ::mkfifo(QFile::encodeName(path).constData(), 0600); },
         "it is a named pipe (FIFO), not a file", victim, "<none>"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        QDir(path).removeRecursively();
        QFile::remove(path);
        QFile::remove(victim);
        QFile::remove(own);
        c.plant();
        const QString description = describeNonFile(path);
        EXPECT_EQ(replaceFileWhole(path, "new", ours), c.reason);
        if (c.label != std::string_view("a link to a device")) {
            EXPECT_EQ(readAll(c.checked), c.bytes);
        }
        EXPECT_EQ(QFileInfo(device).isFile(), false);
        // The place keeps its kind, and nothing is left beside it.
        EXPECT_EQ(describeNonFile(path), description);
        EXPECT_EQ(description.isEmpty(), c.reason.isEmpty() || c.reason.contains("settings"));
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System | QDir::Hidden),
                  QStringList("Profiles1.2.dat"));
    }
}

// A replaced file keeps its mode; a new one follows the umask.
TEST(ReplaceFileWhole, KeepsTheModeOfTheFileItReplaces)
{
    QTemporaryDir dir;
    const QString path = dir.path() + "/LastProfile1.2.dat";
    const mode_t mask = ::umask(022);
    EXPECT_EQ(replaceFileWhole(path, "a", {}), "");
    EXPECT_EQ(modeOf(path), 0644u);
    ::chmod(QFile::encodeName(path).constData(), 0600);
    EXPECT_EQ(replaceFileWhole(path, "b", {}), "");
    ::umask(mask);
    EXPECT_EQ(modeOf(path), 0600u);
    EXPECT_EQ(readAll(path), "b");
}

// A file of another folder is read whole when it holds no more bytes than
// the limit, and not at all when it holds more.
TEST(ReadOwnFile, ReadsAFileUpToTheLimitAndNoFurther)
{
    QTemporaryDir dir;
    const QString path = dir.path() + "/LastProfile1.2.dat";
    const QByteArray bytes(100 * 1024, 'x'); // more than one read takes
    write(path, bytes);
    QByteArray read;
    EXPECT_EQ(readOwnFile(path, bytes.size(), read), "");
    EXPECT_EQ(read, bytes);
    EXPECT_EQ(readOwnFile(path, bytes.size() - 1, read), "it is larger than a settings file can be");
}

// What a save cut off by the end of the program left is removed at the next
// start; files of similar names that are not its leftovers stay.
TEST(RemoveSaveLeftovers, RemovesOnlyTheNewFilesOfAnInterruptedSave)
{
    QTemporaryDir dir;
    const QStringList names = {"Profiles1.2.dat.saving-Ab12Cd",
                               "LastProfile1.2.dat.saving-000000",
                               "Profiles1.2.dat.saving-backup1",
                               "Profiles1.2.dat.backup",
                               "Profiles1.2.dat",
                               "Other.dat.saving-Ab12Cd",
                               "Profiles1.2.dat.saving-Ab12C!"};
    for (const QString& name : names)
        write(dir.path() + "/" + name, "x");
    QDir().mkdir(dir.path() + "/Profiles1.2.dat.saving-Folder");
    EXPECT_EQ(removeSaveLeftovers(dir.path(), {"Profiles1.2.dat", "LastProfile1.2.dat"}),
              QStringList({"Profiles1.2.dat.saving-Ab12Cd", "LastProfile1.2.dat.saving-000000"}));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(), names.size() - 2 + 1);
}

// Without HOME the home folder comes from the user database, so that the
// configuration folder is not sought at the root of the file system.
TEST(SettleHomeFolder, TakesAnUnsetHomeFromTheUserDatabase)
{
    const QByteArray home = qgetenv("HOME");
    for (const char* unset : {static_cast<const char*>(""), static_cast<const char*>(nullptr)}) {
        if (unset)
            qputenv("HOME", unset);
        else
            qunsetenv("HOME");
        settleHomeFolder();
        EXPECT_EQ(qgetenv("HOME"), QByteArray(::getpwuid(::getuid())->pw_dir));
    }
    qputenv("HOME", "/somewhere/else");
    settleHomeFolder();
    EXPECT_EQ(qgetenv("HOME"), "/somewhere/else");
    qputenv("HOME", home);
}
