#include "core/Fault.h"
#include "profiles/Profile.h"
#include "profiles/ProfileFile.h"

#include <gtest/gtest.h>

#include "tests/support/TestData.h"

#include <map>

using namespace corvane;

TEST(ProfileTable, GrowsInStepsOfTen)
{
    ProfileTable table;
    table.at(5).name = QStringLiteral("kept");
    const std::map<int, int> boundAfterAppend = {{1, 11}, {10, 11}, {11, 21}, {20, 21}, {21, 31}};
    for (int n = 1; n <= 21; ++n) {
        ASSERT_EQ(table.grow(), n);
        EXPECT_GE(table.upperBound(), table.count() + 1);
        if (const auto it = boundAfterAppend.find(n); it != boundAfterAppend.end()) {
            EXPECT_EQ(table.upperBound(), it->second) << "after append " << n;
        }
    }
    EXPECT_EQ(table.at(5).name, "kept");
    const ProfileTable& readOnly = table;
    for (int index : {0, 31}) {
        EXPECT_NO_THROW(table.at(index)) << index;
        EXPECT_NO_THROW(readOnly.at(index)) << index;
    }
    for (int index : {-1, 32}) {
        EXPECT_THROW(table.at(index), Fault) << index;
        EXPECT_THROW(readOnly.at(index), Fault) << index;
    }
    table.reset();
    EXPECT_EQ(table.upperBound(), 11);
    EXPECT_TRUE(table.at(5).name.isEmpty());
}

TEST(ProfileTable, FindTakesFirstExactMatchWithinCount)
{
    ProfileTable table;
    table.at(0).name = QStringLiteral("zero");
    for (const char* name : {"a", "A", "A", "B"})
        table.at(table.grow()).name = QString::fromLatin1(name);
    table.at(5).name = QStringLiteral("beyond");
    const std::pair<const char*, int> expected[] = {{"A", 2}, {"a", 1}, {"A ", 0}, {"zero", 0}, {"beyond", 0}};
    for (const auto& [name, index] : expected)
        EXPECT_EQ(table.find(QString::fromLatin1(name)), index) << name;
}

TEST(DefaultProfiles, HoldTheBuiltInValues)
{
    const std::pair<Profile, const char*> cases[] = {
        {defaultEulerAngle(),
         R"("Default Euler Angle","Ambrel","COM 1","19200 Kbps","Euler Angle",3,2,4,"Mouse Event",)"
         R"(12,12,0,7,5,0,"Disabled","","","","","","","D162D164D083U083U164U162",)"
         R"("D162D164D083U083U164U162",20)"},
        {defaultFlightSimulator(),
         R"("Default Flight Simulator","Ambrel","COM 1","19200 Kbps","Mouse Emulation",3,2,4,"Mouse Event",)"
         R"(9,9,0,6,6,0,"Emulate Keys","D160D190U190U160","D160D188U188U160","D162D188U188U162",)"
         R"("D162D191U191U162","","","D162D164D083U083U164U162","D162D164D083U083U164U162",20)"},
    };
    for (const auto& [profile, line] : cases)
        EXPECT_EQ(profileLine(profile), QByteArray(line) + "\r\n");
}

TEST(DefaultProfiles, AppendUnlessLastSelectedThenRestoreInPlace)
{
    ProfileTable table;
    createDefaultFlightSimulator(table, QString());
    createDefaultEulerAngle(table, QString());
    createDefaultMouseEmulation(table, QString());
    ASSERT_EQ(table.count(), 3);
    EXPECT_EQ(table.currentIndex, 3);
    EXPECT_EQ(table.at(1), defaultFlightSimulator());
    EXPECT_EQ(table.at(2), defaultEulerAngle());
    EXPECT_EQ(table.at(3), defaultMouseEmulation());

    // Restoring overwrites the current record whatever it holds, every field.
    table.currentIndex = 2;
    table.at(2).name = QStringLiteral("Mine");
    table.at(2).leanRightKey = QStringLiteral("D065U065");
    table.at(2).delayMillisecs = -99;
    createDefaultEulerAngle(table, kDefaultEulerAngle);
    EXPECT_EQ(table.count(), 3);
    EXPECT_EQ(table.currentIndex, 2);
    EXPECT_EQ(table.at(2), defaultEulerAngle());

    // Any other last profile appends, even though the name exists already.
    createDefaultEulerAngle(table, kDefaultMouseEmulation);
    EXPECT_EQ(table.count(), 4);
    EXPECT_EQ(table.currentIndex, 4);
    EXPECT_EQ(table.at(4), defaultEulerAngle());
}
