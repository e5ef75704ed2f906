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

TEST(DefaultProfiles, AppendUnlessLastSelectedThenRestoreInPlace)
{
    ProfileTable table;
    createDefaultFlightSimulator(table, QString());
    createDefaultEulerAngle(table, QString());
    createDefaultMouseEmulation(table, QString());
    ASSERT_EQ(std::pair(table.count(), table.currentIndex), std::pair(3, 3));
    EXPECT_EQ(corvane::test::records(table),
              std::vector({defaultFlightSimulator(), defaultEulerAngle(), defaultMouseEmulation()}));

    // Restoring overwrites the current record whatever it holds, every field.
    table.currentIndex = 2;
    table.at(2).name = QStringLiteral("Mine");
    table.at(2).leanRightKey = QStringLiteral("D065U065");
    table.at(2).delayMillisecs = -99;
    createDefaultEulerAngle(table, kDefaultEulerAngle);
    EXPECT_EQ(std::tuple(table.count(), table.currentIndex, table.at(2)), std::tuple(3, 2, defaultEulerAngle()));

    // Any other last profile appends, even though the name exists already.
    createDefaultEulerAngle(table, kDefaultMouseEmulation);
    EXPECT_EQ(std::tuple(table.count(), table.currentIndex, table.at(4)), std::tuple(4, 4, defaultEulerAngle()));
}
