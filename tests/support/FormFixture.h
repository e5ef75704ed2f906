#pragma once
// A set-up main window with its help window over the recording platform fakes,
// its profile files in a scratch folder, for the tests of the window's handlers,
// with the headers of the window's controls.
#include "platform/fakes/Fakes.h"
#include "profiles/ProfileCommands.h"
#include "ui/HelpForm.h"
#include "ui/MainForm.h"
#include "ui/Twips.h"

#include "tests/support/FormControls.h"
#include "tests/support/QtTestApp.h"
#include "tests/support/TestData.h"

#include <QScrollBar>
#include <QTemporaryDir>

#include <ostream>

inline void PrintTo(const QSize& s, std::ostream* os) { *os << s.width() << "x" << s.height(); }
inline void PrintTo(const QRect& r, std::ostream* os)
{
    *os << r.x() << "," << r.y() << " ";
    PrintTo(r.size(), os);
}

namespace corvane::test {

// A loaded main window over fakes, in a folder of its own, for tests that make
// it themselves (after installing a translation, say).
struct LoadedForm {
    LoadedForm() { form.Form_Load(); }

    QTemporaryDir dir;
    platform::fakes::FakePlatform fakes;
    AppContext app{fakes.platform, dir.path()};
    MainForm form{app};
    FormControls ui{form};
};

class FormTest : public ::testing::Test {
protected:
    void SetUp() override { form.Form_Load(); }

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
    FormControls ui{form};
};

} // namespace corvane::test
