// The settings folder: which folder it is, and what the first start in the
// configuration folder carries over from the program's folder, and what not.
#include "engine/StartUpBoxes.h"
#include "platform/Files.h"
#include "profiles/SettingsFolder.h"

#include <gtest/gtest.h>

#include "tests/support/Neighbour.h"
#include "tests/support/TestData.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include <functional>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

using namespace corvane;
using corvane::test::readFile;
using corvane::test::writeFile;

namespace {

// A profiles file of one profile.
QByteArray profilesBytes() { return profileLine(defaultMouseEmulation()); }

// The machine's own access for a carry-over.
const CarryOverAccess kMachine{&platform::readOwnFile, &platform::readDeviceLink, &platform::replaceFileWhole};

} // namespace

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
// and the comN links to devices over from the program's folder; the program's
// folder is left as it was, and the next start carries nothing, as the
// configuration folder then holds the files. A comN entry that is no link to
// a device, or a link of another user's, stays behind and is named.
TEST(SettingsFolder, CarriesTheProfilesOverOnceFromAFolderItMayNotWrite)
{
    QTemporaryDir dir;
    const QString program = dir.path() + "/program", config = dir.path() + "/config/Corvane";
    ASSERT_TRUE(QDir().mkpath(program));
    writeFile(program + "/" + kProfilesFileName, profilesBytes());
    writeFile(program + "/" + kLastProfileFileName, "\"Default Mouse Emulation\"\r\n");
    ASSERT_TRUE(QFile::link("/dev/null", program + "/com2"));
    writeFile(program + "/com3", "");
    writeFile(program + "/come", "");
    QStringList left{"com3: it is a file, not a link to a serial device"};
    if (test::canBecomeNeighbour()) {
        ASSERT_TRUE(QFile::link("/dev/null", program + "/com4"));
        ASSERT_EQ(::lchown(QFile::encodeName(program + "/com4").constData(), test::kNeighbourId, test::kNeighbourId),
                  0);
        left << "com4: it belongs to another user";
    }
    const SettingsFolder folder{config, false, program};
    EXPECT_EQ(carryOverSettings({program, true, program}, kMachine).carried, QStringList());
    // A configuration folder that holds either profile file is in use already.
    ASSERT_TRUE(QDir().mkpath(dir.path() + "/used"));
    writeFile(dir.path() + "/used/" + kLastProfileFileName, "\"P\"\r\n");
    EXPECT_EQ(carryOverSettings({dir.path() + "/used", false, program}, kMachine).carried, QStringList());
    const CarriedOver result = carryOverSettings(folder, kMachine);
    EXPECT_EQ(result.carried, QStringList({kProfilesFileName, kLastProfileFileName, "com2"}));
    EXPECT_EQ(result.left, left);
    EXPECT_EQ(carriedOverText(folder, result),
              "Corvane may not write its own folder, " + program + ", so it keeps its settings in " + config
                  + " from now on.\r\n\r\nIt has copied Profiles1.2.dat, LastProfile1.2.dat, com2 there from " + program
                  + ", which stays as it was.\r\n\r\nIt has not copied these from " + program
                  + ", which could have been put there by another user or are not Corvane's own:\r\n"
                  + left.join("\r\n"));
    EXPECT_EQ(readFile(config + "/" + kProfilesFileName), profilesBytes());
    EXPECT_EQ(QFileInfo(config + "/com2").symLinkTarget(), "/dev/null");
    EXPECT_EQ(QDir(program).entryList(QDir::Files | QDir::System).size(), left.size() + 4);
    writeFile(program + "/" + kProfilesFileName, "changed");
    EXPECT_EQ(carryOverSettings(folder, kMachine).carried, QStringList());
    EXPECT_EQ(readFile(config + "/" + kProfilesFileName), profilesBytes());
}

// What another user could have put in the program's folder is never carried,
// nor what a reading would refuse: the profiles file as a link to the user's
// own notes, as a sparse file of 300 MB, as a file of another user's, as a
// pipe that no one writes, or as a file that is not Corvane's. Nothing at all
// is carried then, the file is named with the reason, and the notes stay.
TEST(SettingsFolder, CarriesNothingThatAnotherUserCouldHavePlanted)
{
    QTemporaryDir dir;
    const QString program = dir.path() + "/program", config = dir.path() + "/config", notes = dir.path() + "/notes";
    const QString planted = program + "/" + kProfilesFileName;
    const QByteArray notesBytes = "Remember the milk\n";
    const auto encoded = [](const QString& path) { return QFile::encodeName(path); };
    const std::pair<std::function<void()>, QString> cases[] = {
        {[&] { QFile::link(notes, planted); }, "it is a link to " + notes + ", which is not followed"},
        {[&] {
             writeFile(planted, profilesBytes());
             ASSERT_EQ(::truncate(encoded(planted).constData(), qint64{300} * 1024 * 1024), 0);
         },
         "it is larger than a settings file can be"},
        {[&] {
             writeFile(planted, profilesBytes());
             ASSERT_EQ(::chown(encoded(planted).constData(), test::kNeighbourId, test::kNeighbourId), 0);
         },
         "it belongs to another user"},
        {[&] { ASSERT_EQ(::mkfifo(encoded(planted).constData(), 0666), 0); }, "it is a named pipe (FIFO), not a file"},
        {[&] { writeFile(planted, notesBytes); }, "it does not hold Corvane's settings as Corvane writes them"},
    };
    for (const auto& [plant, why] : cases) {
        SCOPED_TRACE(why.toStdString());
        if (why.contains("another user") && !test::canBecomeNeighbour())
            continue;
        QDir(program).removeRecursively();
        QDir(config).removeRecursively();
        ASSERT_TRUE(QDir().mkpath(program));
        writeFile(notes, notesBytes);
        writeFile(program + "/" + kLastProfileFileName, "\"Default Mouse Emulation\"\r\n");
        ASSERT_TRUE(QFile::link("/dev/null", program + "/com1"));
        plant();
        const CarriedOver result = carryOverSettings({config, false, program}, kMachine);
        EXPECT_EQ(result.carried, QStringList());
        EXPECT_EQ(result.left, QStringList(kProfilesFileName + ": " + why));
        EXPECT_FALSE(QFileInfo::exists(config));
        EXPECT_EQ(readFile(notes), notesBytes);
    }
}
