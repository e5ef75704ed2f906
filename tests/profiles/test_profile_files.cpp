// The two profile files: their exact bytes both ways, the reading rules for
// damaged or odd content, and failed writes that keep the old file.
#include "core/Fault.h"
#include "platform/Files.h"
#include "profiles/ProfileFile.h"
#include "profiles/SettingsFolder.h"

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

// Beside the program only for a copy of the user's own, outside the system's
// folders: an installed program run by the administrator, who may write
// /usr/bin, still keeps its settings in the configuration folder.
TEST(SettingsFolder, BesideAWritableCopyOutsideTheSystemsFoldersElseTheConfigurationFolder)
{
    const QString config = "/home/u/.config/Corvane";
    // clang-format off
    const std::pair<QString, bool> cases[] = {
        {"/home/u/corvane", true}, {"/tmp/c/bin", true}, {"/usr-local/bin", true}, {"/optional", true}, {"/var/tmp/c", true},
        {"/usr/bin", false}, {"/usr/local/bin", false}, {"/bin", false}, {"/sbin", false},
        {"/lib64/x", false}, {"/opt/corvane", false}, {"/etc", false}, {"/var/lib/c", false}, {"/", false}, {"/snap/corvane/1/bin", false},
    };
    // clang-format on
    for (const auto& [folder, beside] : cases) {
        const SettingsFolder chosen = chooseSettingsFolder(folder, true, config);
        EXPECT_EQ(std::tuple(chosen.path, chosen.besideProgram, chosen.programFolder),
                  std::tuple(beside ? folder : config, beside, folder))
            << folder.toStdString();
        EXPECT_EQ(chooseSettingsFolder(folder, false, config).path, config);
    }
    // clang-format off
    const std::pair<SettingsFolder, const char*> described[] = {
        {chooseSettingsFolder("/home/u/c", true, config), "(the program's folder, which you may write)"},
        {chooseSettingsFolder("/usr/bin", true, config), "(your configuration folder, as the program is installed in a system folder)"},
        {chooseSettingsFolder("/home/u/c", false, config), "(your configuration folder, as you may not write the program's folder)"},
    };
    // clang-format on
    for (const auto& [folder, why] : described)
        EXPECT_EQ(describeSettingsFolder(folder), "Settings folder: " + folder.path + " " + why);
    QTemporaryDir dir;
    EXPECT_TRUE(settingsFolderFor(dir.path()).besideProgram);
    EXPECT_FALSE(settingsFolderFor(dir.path() + "/missing").besideProgram);
}

// The first start in the configuration folder brings the user's profile files
// and comN entries over from the program's folder, links as links to the same
// device; the program's folder is left as it was, and the next start carries
// nothing, as the configuration folder then holds the files.
TEST(SettingsFolder, CarriesTheProfilesOverOnceFromAFolderItMayNotWrite)
{
    QTemporaryDir dir;
    const QString program = dir.path() + "/program", config = dir.path() + "/config/Corvane";
    ASSERT_TRUE(QDir().mkpath(program));
    writeFile(program + "/" + kProfilesFileName, kMouseEmulationLine);
    writeFile(program + "/" + kLastProfileFileName, "\"Default Mouse Emulation\"\r\n");
    writeFile(program + "/device", "");
    ASSERT_TRUE(QFile::link("device", program + "/com2"));
    writeFile(program + "/come", "");
    const SettingsFolder folder{config, false, program};
    EXPECT_EQ(carryOverSettings({program, true, program}), QStringList());
    // A configuration folder that holds either profile file is in use already.
    ASSERT_TRUE(QDir().mkpath(dir.path() + "/used"));
    writeFile(dir.path() + "/used/" + kLastProfileFileName, "\"P\"\r\n");
    EXPECT_EQ(carryOverSettings({dir.path() + "/used", false, program}), QStringList());
    EXPECT_EQ(carryOverSettings(folder), QStringList({kProfilesFileName, kLastProfileFileName, "com2"}));
    EXPECT_EQ(readFile(config + "/" + kProfilesFileName), kMouseEmulationLine);
    EXPECT_EQ(QFileInfo(config + "/com2").symLinkTarget(), program + "/device");
    EXPECT_EQ(QDir(program).entryList(QDir::Files | QDir::System).size(), 5);
    writeFile(program + "/" + kProfilesFileName, "changed");
    EXPECT_EQ(carryOverSettings(folder), QStringList());
    EXPECT_EQ(readFile(config + "/" + kProfilesFileName), kMouseEmulationLine);
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
    try {
        nowhere.writeProfiles();
        ADD_FAILURE() << "written into a folder that cannot be made";
    } catch (const Fault& fault) {
        EXPECT_EQ(fault.number, kFaultFileAccess);
        EXPECT_TRUE(fault.description.contains("folder \"" + nowhere.folder() + "\""))
            << fault.description.toStdString();
    }
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
        try {
            save();
            ADD_FAILURE() << "saved on a full disk";
        } catch (const Fault& fault) {
            EXPECT_EQ(fault.number, kFaultFileAccess);
            EXPECT_TRUE(fault.description.endsWith("(the disk is full)")) << fault.description.toStdString();
        }
        EXPECT_EQ(readFile(store.profilesPath()), old);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"filler", kProfilesFileName}));
        writeFile(dir.path() + "/filler", QByteArray(8192, 'x'));
    }
}
