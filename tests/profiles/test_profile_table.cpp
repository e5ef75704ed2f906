#include "core/Fault.h"
#include "profiles/Profile.h"
#include "profiles/ProfileFile.h"

#include <gtest/gtest.h>

#include "tests/support/TestData.h"

using namespace corvane;

TEST(ProfileTable, GrowsInStepsOfTen)
{
    ProfileTable table;
    table.at(5).name = QStringLiteral("kept");
    for (int n = 1; n <= 21; ++n) {
        ASSERT_EQ(table.grow(), n);
        EXPECT_EQ(table.upperBound(), n <= 10 ? 11 : n <= 20 ? 21 : 31) << "after append " << n;
    }
    EXPECT_EQ(table.at(5).name, "kept");
    const ProfileTable& readOnly = table;
    for (int index : {-1, 0, 31, 32}) {
        const bool inside = index == 0 || index == 31;
        EXPECT_EQ(corvane::test::faultOf([&] { table.at(index); }), inside ? 0 : kFaultSubscript) << index;
        EXPECT_EQ(corvane::test::faultOf([&] { readOnly.at(index); }), inside ? 0 : kFaultSubscript) << index;
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
