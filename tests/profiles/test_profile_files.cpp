// The two profile files: their exact bytes both ways, the reading rules for
// damaged or odd content, what counts as Corvane's own file behind a link,
// what the writer refuses, and failed writes that keep the old file.
#include "core/Fault.h"
#include "platform/Files.h"
#include "profiles/ProfileFile.h"

#include <gtest/gtest.h>

#include <tuple>

#include "tests/support/TestData.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <string_view>
#include <sys/mount.h>
#include <unistd.h>

using namespace corvane;
using namespace std::string_view_literals;
using corvane::test::faultOf;
using corvane::test::readFile;
using corvane::test::writeFile;

namespace {

const QByteArray kMouseEmulationLine =
    R"("Default Mouse Emulation","Ambrel","COM 1","19200 Kbps","Mouse Emulation",2,3,4,"Mouse Event",)"
    R"(9,7,0,17,16,0,"Disabled","","","","","","","D162D163D083U083U163U162","D162D163D083U083U163U162",20)"
    "\r\n";

// A store whose saves go through the machine's own file writer.
ProfileStore storeIn(const QString& folder) { return ProfileStore(folder, &platform::replaceFileWhole); }

QStringList readInto(ProfileTable& table, const QByteArray& bytes)
{
    QStringList listed;
    readProfilesBytes(bytes, table, [&](const QString& name) { listed << name; });
    return listed;
}

// The description of the failure that the save raised; empty when it raised none.
QString refusalOf(const std::function<void()>& save)
{
    try {
        save();
    } catch (const Fault& fault) {
        return fault.description;
    }
    return QString();
}

} // namespace

// Each built-in profile as its exact line, read back into the same profile;
// the last-profile file in Latin-1.
TEST(ProfileFile, ExactBytesBothWays)
{
    // clang-format off
    const std::pair<Profile, QByteArray> cases[] = {
        {defaultMouseEmulation(), kMouseEmulationLine},
        {defaultEulerAngle(),
         R"("Default Euler Angle","Ambrel","COM 1","19200 Kbps","Euler Angle",3,2,4,"Mouse Event",)"
         R"(12,12,0,7,5,0,"Disabled","","","","","","","D162D164D083U083U164U162",)"
         R"("D162D164D083U083U164U162",20)" "\r\n"},
        {defaultFlightSimulator(),
         R"("Default Flight Simulator","Ambrel","COM 1","19200 Kbps","Mouse Emulation",3,2,4,"Mouse Event",)"
         R"(9,9,0,6,6,0,"Emulate Keys","D160D190U190U160","D160D188U188U160","D162D188U188U162",)"
         R"("D162D191U191U162","","","D162D164D083U083U164U162","D162D164D083U083U164U162",20)" "\r\n"},
    };
    // clang-format on
    for (const auto& [profile, line] : cases) {
        EXPECT_EQ(profileLine(profile), line);
        ProfileTable table;
        EXPECT_EQ(readInto(table, line), QStringList{profile.name});
        EXPECT_EQ(std::pair(table.count(), table.at(1)), std::pair(1, profile));
    }
    EXPECT_EQ(lastProfileBytes(kDefaultEulerAngle), QByteArray("\"Default Euler Angle\"\r\n"));
    EXPECT_EQ(lastProfileBytes(QStringLiteral("caf\u00e9")), QByteArray("\"caf\xe9\"\r\n"));
}

TEST(ProfileFile, ReadingRules)
{
    // Cases that list a name get the remaining 19 fields appended.
    const QByteArray rest = R"(,0,0,"",0,0,0,0,0,0,"","","","","","","","","",0)";
    struct Case {
        std::string_view bytes;
        int count;
        QStringList listed;
        const char* model;
        int magnetic;
    } const cases[] = {
        {"", 0, {}, "", 0},
        {R"("a,b","M","","","",-50)", 1, {"a,b"}, "M", -50},
        {"  \"x\" junk ,\t M2 , \"\"\n\"\",\"\",7", 1, {"x"}, "M2 ", 7},
        {"\"split\r\nname\",\"M\"\r\"\",\"\",\"\",  \"12\"", 1, {"split\r\nname"}, "M", 12},
        {"n,m,,,,-2.5x", 1, {"n"}, "m", -2},
        {"n,m,,,,2147483648,9", 1, {}, "m", 0},
        {"n,m,,,", 1, {}, "m", 0},
        {"n,\"unclosed,,,,,,,,,,,,,,,,,,,,,,,,,,", 1, {}, "unclosed,,,,,,,,,,,,,,,,,,,,,,,,,,", 0},
        {"\x01\xff\x00,\"\xe9\""sv, 1, {}, "\xe9", 0},
    };
    for (const Case& c : cases) {
        QByteArray bytes(c.bytes.data(), qsizetype(c.bytes.size()));
        if (!c.listed.isEmpty())
            bytes += rest;
        SCOPED_TRACE(bytes.toStdString());
        ProfileTable table;
        EXPECT_EQ(readInto(table, bytes), c.listed);
        EXPECT_EQ(table.count(), c.count);
        EXPECT_GE(table.upperBound(), std::max(11, table.count() + 1));
        EXPECT_EQ(table.at(1).model, QString::fromLatin1(c.model));
        EXPECT_EQ(table.at(1).magnetic, c.magnetic);
    }
}

TEST(ProfileFile, LastProfileTakesLastField)
{
    // clang-format off
    const std::pair<const char*, const char*> cases[] = {
        {"", "fallback"}, {"\"A\"\r\n\"B\"\r\n", "B"}, {"\"\"\r\n", ""},
        {"\"A\"\r\n \t ", "A"}, {"Bare name", "Bare name"}, {"\"x,y\"", "x,y"},
    };
    // clang-format on
    for (const auto& [bytes, name] : cases)
        EXPECT_EQ(lastProfileFromBytes(bytes, QStringLiteral("fallback")), QString::fromLatin1(name)) << bytes;
}

// A file counts as Corvane's only as Corvane writes it: every line a whole
// record, or one quoted name and its line end.
TEST(ProfileFile, OnlyAFileAsCorvaneWritesItHoldsItsSettings)
{
    const QByteArray line = kMouseEmulationLine, name = "\"Racing\"\r\n";
    QByteArray damaged = line;
    damaged.replace(",20\r\n", ",2O\r\n");
    // The bytes, and whether they are a profiles file and a last-profile file.
    const std::tuple<QByteArray, bool, bool> cases[] = {
        {QByteArray("Notes for Monday, and a few things to do, written down\n").repeated(30), false, false},
        {QByteArray("daemon:x:1:1:daemon:/usr/sbin:/usr/sbin/nologin\n").repeated(26), false, false},
        {"\" vim settings\nset number\nsyntax on\n", false, false},
        {line.repeated(3), true, false},
        {line + QByteArray(line).replace("\r\n", "\n") + QByteArray(line).replace("\r\n", "\r"), true, false},
        {line.repeated(kMaxProfileRecords), true, false},
        {line.repeated(kMaxProfileRecords + 1), false, false},
        {line + damaged, false, false},
        {line + QByteArray(line).replace("\"Ambrel\"", "Ambrel"), false, false},
        {line + QByteArray(line).replace("\"Ambrel\"", "\"\rAmbrel\""), false, false},
        {line + QByteArray(line).replace("\"Ambrel\"", "\"Ambrel\n\""), false, false},
        {line + QByteArray(line).replace(",20\r\n", ",20,1\r\n"), false, false},
        {line + QByteArray(line).replace(",20\r\n", "\r\n"), false, false},
        {line + QByteArray(line).replace(",20\r\n", ",20 \r\n"), false, false},
        {line + QByteArray(line).replace(",2,3,4,", ",2,3,99999999999,"), false, false},
        {line.chopped(2), false, false},
        {line + "\r\n", false, false},
        {name, false, true},
        {"\"\"\n", false, true},
        {"\"Racing\"\r", false, true},
        {"\"Racing\"", false, false},
        {name + name, false, false},
        {"\"Racing\" ", false, false},
        {" \"Racing\"\r\n", false, false},
        {"", false, false},
    };
    for (const auto& [bytes, profiles, last] : cases) {
        SCOPED_TRACE(bytes.left(120).toStdString());
        EXPECT_EQ(holdsProfiles(bytes), profiles);
        EXPECT_EQ(holdsLastProfile(bytes), last);
    }
}

// A save writes through a link in the settings folder only to a file as
// Corvane writes it; any other file is left byte for byte, and the message
// names the link, its folder and the file it leads to.
TEST(ProfileStore, WritesThroughALinkOnlyToAFileAsCorvaneWritesIt)
{
    QTemporaryDir dir, home;
    ProfileStore store = storeIn(dir.path());
    store.table.at(store.table.grow()) = defaultEulerAngle();
    store.lastProfileName = kDefaultEulerAngle;
    // The file the link leads to, whether it is the last-profile file's link,
    // and whether the save writes it. (Which files are Corvane's is the test above's.)
    const std::tuple<const char*, QByteArray, bool, bool> cases[] = {
        {"notes.txt", QByteArray("A line of my notes, with a comma\n").repeated(30), false, false},
        {".vimrc", "\" my settings\nset number\n", true, false},
        {"Profiles1.2.dat", kMouseEmulationLine, false, true},
        {"LastProfile1.2.dat", "\"Default Mouse Emulation\"\r\n", true, true},
    };
    for (const auto& [name, bytes, last, written] : cases) {
        SCOPED_TRACE(name);
        const QString target = home.path() + "/" + name;
        const QString link = last ? store.lastProfilePath() : store.profilesPath();
        writeFile(target, bytes);
        QFile::remove(link);
        ASSERT_TRUE(QFile::link(target, link));
        const QString message = refusalOf([&] { last ? store.writeLastProfile() : store.writeProfiles(); });
        const QByteArray saved = last ? lastProfileBytes(kDefaultEulerAngle) : profilesFileBytes(store.table);
        EXPECT_EQ(readFile(target), written ? saved : bytes);
        // The message's own words are the file writer's and the profile commands' to check.
        EXPECT_EQ(message.contains("(it is a link to " + target + ", a file that does not hold"), !written);
        EXPECT_TRUE(QFileInfo(link).isSymLink());
    }
}

// The writer refuses what a reading would not take back whole, before it
// writes anything: more profiles than a reading takes, a text that cannot be
// written, more bytes than a reading takes.
TEST(ProfileStore, WritesNothingThatAReadingWouldRefuse)
{
    QTemporaryDir dir;
    ProfileStore store = storeIn(dir.path());
    writeFile(store.profilesPath(), kMouseEmulationLine);
    writeFile(store.lastProfilePath(), "\"Default Mouse Emulation\"\r\n");
    const QString prefix = "Path/File access error: cannot write %1 in the settings folder \"" + dir.path() + "\" (";
    for (int i = 0; i <= kMaxProfileRecords; ++i) {
        Profile& p = store.table.at(store.table.grow());
        p = defaultMouseEmulation();
        p.name = QString::number(i);
        if (i == 10)
            store.table.at(store.table.grow()); // a deleted record, never written
    }
    EXPECT_EQ(refusalOf([&] { store.writeProfiles(); }),
              prefix.arg(kProfilesFileName)
                  + "it would hold 10001 profiles, and Corvane reads no more than 10000: "
                    "delete a profile to make room; nothing was written)");
    store.table.at(1).name.clear();
    store.table.at(2).location = "COM \u00ff"; // the last Latin-1 character
    EXPECT_EQ(refusalOf([&] { store.writeProfiles(); }), QString());
    EXPECT_TRUE(holdsProfiles(readFile(store.profilesPath())));
    const QByteArray saved = readFile(store.profilesPath());
    const std::pair<QString Profile::*, QString> texts[] = {{&Profile::name, "Two\nlines"},
                                                            {&Profile::stopKey, "D065\rU065"},
                                                            {&Profile::model, "Am\"brel"},
                                                            {&Profile::location, "COM \u2460"}};
    for (const auto& [field, text] : texts) {
        store.table.at(2).*field = text;
        EXPECT_EQ(refusalOf([&] { store.writeProfiles(); }),
                  prefix.arg(kProfilesFileName) + "the profile \"" + store.table.at(2).name
                      + "\" holds a text with a double quote, a line break or a character outside the Western "
                        "European (Latin-1) set; nothing was written)");
        store.table.at(2) = store.table.at(3);
        store.lastProfileName = text;
        EXPECT_EQ(refusalOf([&] { store.writeLastProfile(); }).left(prefix.arg(kLastProfileFileName).size() + 9),
                  prefix.arg(kLastProfileFileName) + "the name ");
    }
    EXPECT_EQ(readFile(store.profilesPath()), saved);
    EXPECT_EQ(readFile(store.lastProfilePath()), "\"Default Mouse Emulation\"\r\n");
    EXPECT_EQ(profilesFileRefusal(store.table, QByteArray(kMaxProfileFileBytes + 1, ',')),
              "it would be larger than the 64 MiB that Corvane reads");
    EXPECT_EQ(profilesFileRefusal(store.table, QByteArray(kMaxProfileFileBytes, ',')), QString());
}

// A file of 0 bytes, one of more records than a profiles file holds (here
// commas: empty records of 25 bytes, unreadable as a whole), one over 64 MiB
// or none at all leaves an empty table; the table never grows past the record
// limit. (The round trip of named records is the profile commands' to check.)
TEST(ProfileStore, AnEmptyOverlongOrMissingFileLeavesAnEmptyTable)
{
    QTemporaryDir dir;
    ProfileStore store = storeIn(dir.path());
    const QByteArray commas(25 * (kMaxProfileRecords + 1), ',');
    for (const QByteArray& bytes : {QByteArray(), commas}) {
        writeFile(store.profilesPath(), bytes);
        while (store.table.count() < 11) // what a reading replaces
            store.table.grow();
        store.readProfiles({});
        EXPECT_EQ(std::tuple(store.table.count(), store.table.upperBound(), store.found.read),
                  std::tuple(0, 11, bytes.isEmpty()));
    }
    ProfileTable full;
    EXPECT_FALSE(readProfilesBytes(commas, full, {}));
    EXPECT_EQ(full.count(), kMaxProfileRecords);
    writeFile(store.profilesPath(), kMouseEmulationLine);
    ASSERT_TRUE(QFile::resize(store.profilesPath(), qint64{64} * 1024 * 1024 + 1));
    store.readProfiles({});
    EXPECT_EQ(store.table.count(), 0);
    ASSERT_TRUE(QFile::remove(store.profilesPath()));
    store.table.grow();
    store.readProfiles({});
    EXPECT_EQ(store.table.count(), 0);
    EXPECT_EQ(store.table.upperBound(), 11);
}

TEST(ProfileStore, FailedWriteIsFaultAndKeepsOldFile)
{
    QTemporaryDir dir;
    ProfileStore fresh = storeIn(dir.path() + "/config/Corvane");
    fresh.lastProfileName = "P";
    fresh.writeLastProfile();
    EXPECT_TRUE(QFileInfo::exists(fresh.lastProfilePath()));
    writeFile(dir.path() + "/file", "x");
    ProfileStore nowhere = storeIn(dir.path() + "/file/Corvane");
    EXPECT_TRUE(refusalOf([&] { nowhere.writeProfiles(); }).contains("folder \"" + nowhere.folder() + "\""));
    EXPECT_EQ(faultOf([&] { nowhere.writeLastProfile(); }), kFaultFileAccess);
    ProfileStore blocked = storeIn(dir.path());
    ASSERT_TRUE(QDir(dir.path()).mkpath(blocked.profilesPath() + "/inside"));
    EXPECT_EQ(faultOf([&] { blocked.writeProfiles(); }), kFaultFileAccess);
    EXPECT_TRUE(QFileInfo::exists(blocked.profilesPath() + "/inside"));
}

// A file that ends in the middle of its last profile: the profile stays
// counted and unlisted, and the store names it as cut short.
TEST(ProfileStore, NamesAProfileThatTheFileCutsShort)
{
    QTemporaryDir dir;
    ProfileStore store = storeIn(dir.path());
    // clang-format off
    const std::pair<QByteArray, QString> cases[] = {
        {kMouseEmulationLine, ""},
        {kMouseEmulationLine + "\"Mine\",\"Ambrel\",\"COM 1\",\"19200 Kbps\",\"Mouse Em", "Mine"},
        {kMouseEmulationLine + "\"Min", "Min"},
        {kMouseEmulationLine.left(kMouseEmulationLine.size() - 5), "Default Mouse Emulation"},
    };
    // clang-format on
    for (const auto& [bytes, cut] : cases) {
        writeFile(store.profilesPath(), bytes);
        QStringList listed;
        store.readProfiles([&](const QString& name) { listed << name; });
        EXPECT_EQ(store.found.cutProfile, cut) << bytes.toStdString();
        EXPECT_EQ(store.table.count() - listed.size(), cut.isEmpty() ? 0 : 1);
    }
}

// On a disk without room for the new file a save fails, says that the disk
// is full, and leaves the old file byte for byte and nothing beside it; on a
// disk with no room at all a first save leaves no empty file.
TEST(ProfileStore, ASaveOnAFullDiskKeepsTheOldFileAndSaysWhy)
{
    if (::geteuid() != 0)
        GTEST_SKIP() << "mounting a small file system needs root";
    QTemporaryDir dir;
    const QByteArray mount = QFile::encodeName(dir.path());
    if (::mount("tmpfs", mount.constData(), "tmpfs", 0, "size=16k") != 0)
        GTEST_SKIP() << "no tmpfs can be mounted here";
    const std::unique_ptr<const char, void (*)(const char*)> unmount(mount.constData(),
                                                                     [](const char* path) { ::umount(path); });
    ProfileStore store = storeIn(dir.path());
    while (profilesFileBytes(store.table).size() < 6000) {
        Profile& p = store.table.at(store.table.grow());
        p = defaultFlightSimulator();
        p.name = QStringLiteral("P%1").arg(store.table.count());
    }
    store.writeProfiles();
    const QByteArray old = readFile(store.profilesPath());
    writeFile(dir.path() + "/filler", QByteArray(4096, 'x'));
    store.table.at(1).name = "Renamed";
    const std::function<void()> saves[] = {[&] { store.writeProfiles(); }, [&] { store.writeLastProfile(); }};
    for (const auto& save : saves) {
        EXPECT_TRUE(refusalOf(save).endsWith("(the disk is full)"));
        EXPECT_EQ(readFile(store.profilesPath()), old);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"filler", kProfilesFileName}));
        writeFile(dir.path() + "/filler", QByteArray(8192, 'x'));
    }
}
