#pragma once
// A set-up main window over the recording platform fakes, its profile files in
// a scratch folder, for the tests of the window's handlers.
#include "platform/fakes/Fakes.h"
#include "ui/MainForm.h"

#include "tests/support/QtTestApp.h"
#include "tests/support/TestData.h"

#include <QTemporaryDir>

#include <vector>

namespace corvane::testing {

// The records 1 to count, in order.
inline std::vector<Profile> records(const ProfileTable& table)
{
    std::vector<Profile> out;
    for (int i = 1; i <= table.count(); ++i)
        out.push_back(table.at(i));
    return out;
}

class FormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        form.Form_Load();
    }

    // Appends the profile to the table and makes it current.
    Profile& addCurrent(const Profile& profile)
    {
        ProfileTable& table = app.store.table;
        table.currentIndex = table.grow();
        return table.at(table.currentIndex) = profile;
    }
    ProfileTable& table() { return app.store.table; }
    Profile& current() { return app.store.table.current(); }

    QTemporaryDir dir;
    platform::fakes::FakePlatform fakes;
    AppContext app{fakes.platform, dir.path()};
    MainForm form{app};
};

} // namespace corvane::testing
