// The two profile files: their exact bytes both ways, the reading rules for
// damaged or odd content, and failed writes that keep the old file.
#include "core/Fault.h"
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

using namespace corvane;
using namespace std::string_view_literals;
using corvane::testing::faultOf;
using corvane::testing::writeFile;

namespace {

const QByteArray kMouseEmulationLine =
    R"("Default Mouse Emulation","Ambrel","COM 1","19200 Kbps","Mouse Emulation",2,3,4,"Mouse Event",)"
    R"(9,7,0,17,16,0,"Disabled","","","","","","","D162D163D083U083U163U162","D162D163D083U083U163U162",20)"
    "\r\n";

QStringList readInto(ProfileTable& table, const QByteArray& bytes)
{
    QStringList listed;
    readProfilesBytes(bytes, table, [&](const QString& name) { listed << name; });
    return listed;
}

} // namespace

TEST(ProfileFile, ExactBytesBothWays)
{
    EXPECT_EQ(profileLine(defaultMouseEmulation()), kMouseEmulationLine);
    ProfileTable table;
    EXPECT_EQ(readInto(table, kMouseEmulationLine), QStringList{kDefaultMouseEmulation});
    EXPECT_EQ(table.count(), 1);
    EXPECT_EQ(table.at(1), defaultMouseEmulation());

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
        {"n,m,,,,abc", 1, {"n"}, "m", 0},
        {"n,m,,,,-2.5x", 1, {"n"}, "m", -2},
        {"n,m,,,,3.5", 1, {"n"}, "m", 4},
        {"n,m,,,,-2147483648", 1, {"n"}, "m", -2147483647 - 1},
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
    const std::pair<const char*, const char*> cases[] = {
        {"", "fallback"}, {"\"A\"\r\n\"B\"\r\n", "B"}, {"\"\"\r\n", ""},
        {"\"A\"\r\n \t ", "A"}, {"Bare name", "Bare name"}, {"\"x,y\"", "x,y"},
    };
    for (const auto& [bytes, name] : cases)
        EXPECT_EQ(lastProfileFromBytes(bytes, QStringLiteral("fallback")), QString::fromLatin1(name)) << bytes;
}

TEST(ProfileStore, WritesNamedRecordsAndReadsThemBackInOrder)
{
    QTemporaryDir dir;
    ProfileStore store(dir.path());
    for (int i = 1; i <= 6; ++i) {
        Profile& p = store.table.at(store.table.grow());
        p = defaultFlightSimulator();
        p.name = QStringLiteral("P%1, with comma").arg(i);
        p.magnetic = -i;
    }
    store.table.at(2).name.clear();
    store.table.at(5).name.clear();
    const ProfileTable written = store.table;
    store.writeProfiles();

    QStringList listed;
    store.readProfiles([&](const QString& name) { listed << name; });
    ASSERT_EQ(store.table.count(), 4);
    const int kept[] = {1, 3, 4, 6};
    for (int i = 1; i <= 4; ++i) {
        EXPECT_EQ(store.table.at(i), written.at(kept[i - 1]));
        EXPECT_EQ(listed.value(i - 1), written.at(kept[i - 1]).name);
    }

    // A file of 0 bytes, one of more records than a profiles file holds (here
    // commas: empty records of 25 bytes, unreadable as a whole), one over
    // 64 MiB or none at all leaves an empty table; the table never grows past
    // the record limit.
    const QByteArray commas(25 * (kMaxProfileRecords + 1), ',');
    for (const QByteArray& bytes : {QByteArray(), commas}) {
        writeFile(store.profilesPath(), bytes);
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

TEST(SettingsFolder, BesideAWritableProgramElseTheConfigurationFolder)
{
    EXPECT_EQ(chooseSettingsFolder("/opt/c/bin", true, "/home/u/.config/Corvane").path, "/opt/c/bin");
    const SettingsFolder installed = chooseSettingsFolder("/usr/bin", false, "/home/u/.config/Corvane");
    EXPECT_EQ(std::tuple(installed.path, installed.besideProgram),
              std::tuple(QString("/home/u/.config/Corvane"), false));
    QTemporaryDir dir;
    EXPECT_TRUE(settingsFolderFor(dir.path()).besideProgram);
    EXPECT_FALSE(settingsFolderFor(dir.path() + "/missing").besideProgram);
}

TEST(ProfileStore, FailedWriteIsFaultAndKeepsOldFile)
{
    QTemporaryDir dir;
    ProfileStore fresh(dir.path() + "/config/Corvane");
    fresh.lastProfileName = "P";
    fresh.writeLastProfile();
    EXPECT_TRUE(QFileInfo::exists(fresh.lastProfilePath()));
    writeFile(dir.path() + "/file", "x");
    ProfileStore nowhere(dir.path() + "/file/Corvane");
    try {
        nowhere.writeProfiles();
        ADD_FAILURE() << "written into a folder that cannot be made";
    } catch (const Fault& fault) {
        EXPECT_EQ(fault.number, kFaultFileAccess);
        EXPECT_TRUE(fault.description.contains("folder \"" + nowhere.folder() + "\""))
            << fault.description.toStdString();
    }
    EXPECT_EQ(faultOf([&] { nowhere.writeLastProfile(); }), kFaultFileAccess);
    ProfileStore blocked(dir.path());
    ASSERT_TRUE(QDir(dir.path()).mkpath(blocked.profilesPath() + "/inside"));
    EXPECT_EQ(faultOf([&] { blocked.writeProfiles(); }), kFaultFileAccess);
    EXPECT_TRUE(QFileInfo::exists(blocked.profilesPath() + "/inside"));
}
