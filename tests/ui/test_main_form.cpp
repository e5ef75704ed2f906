// The main window: its layout in twips, the settings panel with its tabs, the
// mode lists' enable rules, the port and speed lists and the home-page button.
#include "platform/fakes/Fakes.h"
#include "ui/KeyBox.h"
#include "ui/MainForm.h"
#include "ui/PickList.h"
#include "ui/SettingPair.h"
#include "ui/Twips.h"

#include <gtest/gtest.h>

#include "tests/support/QtTestApp.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTemporaryDir>

#include <memory>
#include <ostream>
#include <set>
#include <string>
#include <vector>

void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }
void PrintTo(const QSize& size, std::ostream* os) { *os << size.width() << "x" << size.height(); }
void PrintTo(const QRect& r, std::ostream* os) { *os << r.x() << "," << r.y() << " " << r.width() << "x" << r.height(); }

namespace corvane {
namespace {

// The application lives from the first test to the last and is gone before
// the process exits, ahead of Qt's own global state.
class MainWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        form.Form_Load();
        form.show();
    }

    QSize outerPixels(int width, int height) const { return {twipsX(width, form), twipsY(height, form)}; }

    // Names of the group frames visible now.
    std::set<std::string> visibleFrames() const
    {
        std::set<std::string> out;
        for (QWidget* frame : form.groupFrames())
            if (frame->isVisible())
                out.insert(frame->objectName().toStdString());
        return out;
    }

    void addCurrentProfile(const Profile& profile)
    {
        ProfileTable& table = app.store.table;
        table.at(table.grow()) = profile;
        table.currentIndex = table.count();
    }

    QTemporaryDir dir;
    platform::fakes::FakePlatform fakes;
    AppContext app{fakes.platform, dir.path()};
    MainForm form{app};
};

const std::set<std::string> kTracker = {"Model_Frame", "Connection_Frame", "Filters_Frame"};
const std::set<std::string> kMouse = {"MouseMode_Frame", "Smoothing_Frame", "Speed_Frame"};
const std::set<std::string> kKeyboard = {"KeyMode_Frame", "Mappings_Frame"};
const std::set<std::string> kOther = {"StartStop_Frame", "DelayMillisecs_Frame", "Monitor_Frame"};

TEST_F(MainWindow, StartsShortWithTheSettingsHidden)
{
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Tollan Corvane"));
    EXPECT_EQ(form.frameGeometry().size(), outerPixels(4425, 2010));
    EXPECT_EQ(form.TollanHome_Command->y(), twipsY(945, form));
    EXPECT_FALSE(form.TabStrip_Frame->isVisible());
    EXPECT_TRUE(visibleFrames().empty());
    EXPECT_EQ(form.ShowSettings_Command->text(), QStringLiteral("Show Settings"));
    EXPECT_EQ(form.Start_Command->text(), QStringLiteral("Start"));
    EXPECT_EQ(form.TabStrip->tabText(form.TabStrip->currentIndex()), QStringLiteral("Tracker"));
    // The profile buttons lie below the short window's edge.
    EXPECT_GE(form.Save_Command->y(), form.height());
}

TEST_F(MainWindow, ShowAndHideSettingsResizeTheWindowAndRememberTheTab)
{
    form.ShowSettings_Command->click();
    EXPECT_EQ(form.ShowSettings_Command->text(), QStringLiteral("Hide Settings"));
    EXPECT_EQ(form.frameGeometry().size(), outerPixels(4425, 6675));
    EXPECT_EQ(form.TollanHome_Command->y(), twipsY(5610, form));
    EXPECT_TRUE(form.TabStrip_Frame->isVisible());
    EXPECT_EQ(visibleFrames(), kTracker);
    EXPECT_LE(form.Save_Command->geometry().bottom(), form.height());

    form.TabStrip->setCurrentIndex(3);
    EXPECT_EQ(visibleFrames(), kOther);

    form.ShowSettings_Command->click();
    EXPECT_EQ(form.ShowSettings_Command->text(), QStringLiteral("Show Settings"));
    EXPECT_EQ(form.frameGeometry().size(), outerPixels(4425, 2010));
    EXPECT_EQ(form.TollanHome_Command->y(), twipsY(945, form));
    EXPECT_FALSE(form.TabStrip_Frame->isVisible());
    EXPECT_TRUE(visibleFrames().empty());

    form.ShowSettings_Command->click();
    EXPECT_EQ(visibleFrames(), kOther) << "the tab chosen before is shown again";
}

TEST_F(MainWindow, EachTabShowsExactlyItsFrames)
{
    form.ShowSettings_Command->click();
    const std::set<std::string>* byTab[] = {&kTracker, &kMouse, &kKeyboard, &kOther};
    for (int tab : {1, 2, 3, 0, 2}) {
        form.TabStrip->setCurrentIndex(tab);
        EXPECT_EQ(visibleFrames(), *byTab[tab]) << form.TabStrip->tabText(tab).toStdString();
    }
}

TEST_F(MainWindow, TheTabSwitchWhileTheSettingsAreHiddenShowsNoFrame)
{
    for (int tab : {1, 2, 3, 0}) {
        form.TabStrip->setCurrentIndex(tab);
        form.TabStrip_Click();
        EXPECT_TRUE(visibleFrames().empty()) << tab;
    }
    form.ShowSettings_Command->click();
    EXPECT_EQ(visibleFrames(), kTracker);
}

// The caption a control shows: a frame's title, a list's selected item, or the
// text of a label, button or number box; nothing for the other kinds.
QString captionOf(const QWidget* w)
{
    if (const auto* frame = qobject_cast<const QGroupBox*>(w))
        return frame->title();
    if (const auto* list = qobject_cast<const PickList*>(w))
        return list->text();
    return w->property("text").toString();
}

TEST_F(MainWindow, EveryDocumentedControlIsThereWithItsCaption)
{
    const struct {
        const char* name;
        const char* kind; // exact class
        const char* caption;
        QRect twips; // left, top, width, height in the parent; empty when not checked
    } controls[] = {
        {"Profile_Label", "QLabel", "Profile", {180, 120, 675, 315}},
        {"Profile_Combo", "corvane::PickList", "", {960, 90, 3255, 315}},
        {"Start_Command", "QPushButton", "Start", {120, 510, 1335, 315}},
        {"ShowSettings_Command", "QPushButton", "Show Settings", {1500, 510, 1335, 315}},
        {"Help_Command", "QPushButton", "Help", {2880, 510, 1335, 315}},
        {"TollanHome_Command", "QPushButton", "Tollan Home Page", {120, 945, 4095, 465}},
        {"TabStrip_Frame", "QFrame", "", {60, 870, 4275, 4695}},
        {"Model_Frame", "QFrame", "", {240, 1410, 3855, 495}},
        {"Model_Label", "QLabel", "Model", {}},
        {"Model_Combo", "corvane::PickList", "Ambrel", {1380, 120, 2295, 315}},
        {"Connection_Frame", "QGroupBox", "Connection", {240, 1890, 3855, 1515}},
        {"LocationLabel", "QLabel", "Location", {240, 300, 1035, 315}},
        {"Location_Combo", "corvane::PickList", "COM 1", {1380, 300, 2295, 315}},
        {"Speed_Label", "QLabel", "Speed", {}},
        {"Speed_Combo", "corvane::PickList", "19200 Kbps", {}},
        {"Mode_Label", "QLabel", "Mode", {}},
        {"Mode_Combo", "corvane::PickList", "Mouse Emulation", {1380, 1020, 2295, 315}},
        {"Filters_Frame", "QGroupBox", "Filters", {240, 3420, 3855, 1515}},
        {"Magnetic_Label", "QLabel", "Magnetic", {240, 300, 1035, 315}},
        {"Magnetic_HScroll", "QScrollBar", "", {1380, 300, 1695, 315}},
        {"Magnetic_Text", "QLineEdit", "2", {3180, 300, 495, 315}},
        {"Jitter_Label", "QLabel", "Jitter", {}},
        {"Tilt_Label", "QLabel", "Tilt", {}},
        {"MouseMode_Frame", "QFrame", "", {240, 1410, 3855, 495}},
        {"MouseMode_Label", "QLabel", "Mode", {}},
        {"MouseMode_Combo", "corvane::PickList", "Mouse Event", {}},
        {"Smoothing_Frame", "QGroupBox", "Smoothing", {240, 1890, 3855, 1515}},
        {"LeftRightSmooth_Label", "QLabel", "Left-Right", {}},
        {"UpDownSmooth_Label", "QLabel", "Up-Down", {}},
        {"SideSideSmooth_Label", "QLabel", "Side-Side", {}},
        {"Speed_Frame", "QGroupBox", "Speed", {240, 3420, 3855, 1515}},
        {"LeftRightSpeed_Label", "QLabel", "Left-Right", {}},
        {"UpDownSpeed_Text", "QLineEdit", "5", {3180, 660, 495, 315}},
        {"SideSideSpeed_HScroll", "QScrollBar", "", {1380, 1020, 1695, 315}},
        {"KeyMode_Frame", "QFrame", "", {240, 1410, 3855, 495}},
        {"KeyMode_Label", "QLabel", "Mode", {}},
        {"KeyMode_Combo", "corvane::PickList", "Disabled", {}},
        {"Mappings_Frame", "QGroupBox", "Mappings", {240, 1890, 3855, 3045}},
        {"TurnLeftKey_Check", "QPushButton", "Turn Left", {}},
        {"TurnRightKey_Check", "QPushButton", "Turn Right", {}},
        {"LookUpKey_Check", "QPushButton", "Look Up", {}},
        {"LookDownKey_Check", "QPushButton", "LookDown", {}},
        {"LeanLeftKey_Check", "QPushButton", "Lean Left", {}},
        {"LeanRightKey_Check", "QPushButton", "Lean Right", {}},
        {"LeanRightKey_RichText", "corvane::KeyBox", "", {}},
        {"StartStop_Frame", "QGroupBox", "Global Keys", {240, 1410, 3855, 1155}},
        {"StartKey_Check", "QPushButton", "Start", {}},
        {"StopKey_Check", "QPushButton", "Stop", {}},
        {"StartKey_RichText", "corvane::KeyBox", "", {}},
        {"StopKey_RichText", "corvane::KeyBox", "", {}},
        {"DelayMillisecs_Frame", "QGroupBox", "Update Delay", {240, 2580, 3855, 795}},
        {"Millesecs_Label", "QLabel", "Milleseconds", {}},
        {"DelayMillisecs_Text", "QLineEdit", "20", {}},
        {"Monitor_Frame", "QGroupBox", "Output Monitor", {240, 3390, 3855, 1545}},
        {"LRMon_Text", "QLineEdit", "0", {180, 570, 1095, 315}},
        {"UDMon_Text", "QLineEdit", "0", {1380, 570, 1095, 315}},
        {"SSMon_Text", "QLineEdit", "0", {2580, 570, 1095, 315}},
        {"KeyMon_Text", "QLineEdit", "", {180, 1020, 3495, 315}},
        {"Cancel_Command", "QPushButton", "Cancel", {240, 5040, 915, 315}},
        {"Save_Command", "QPushButton", "Save", {1220, 5040, 915, 315}},
        {"SaveAs_Command", "QPushButton", "Save As", {2200, 5040, 915, 315}},
        {"Delete_Command", "QPushButton", "Delete", {3180, 5040, 915, 315}},
        {"Dummy_Command", "QPushButton", "Dummy", {}},
    };
    for (const auto& c : controls) {
        SCOPED_TRACE(c.name);
        auto* w = form.findChild<QWidget*>(QString::fromLatin1(c.name));
        ASSERT_NE(w, nullptr);
        EXPECT_STREQ(w->metaObject()->className(), c.kind);
        EXPECT_EQ(captionOf(w), QString::fromLatin1(c.caption));
        if (auto* button = qobject_cast<QPushButton*>(w)) {
            EXPECT_EQ(button->isCheckable(), w->objectName().endsWith(QStringLiteral("_Check")));
        }
        if (!c.twips.isEmpty()) {
            const QRect r = c.twips;
            EXPECT_EQ(w->geometry(), twipsRect(r.x(), r.y(), r.width(), r.height(), form));
        }
    }
    QStringList tabs;
    for (int i = 0; i < form.TabStrip->count(); ++i)
        tabs.append(form.TabStrip->tabText(i));
    EXPECT_EQ(tabs, QStringList({"Tracker", "Mouse", "Keyboard", "Other"}));
    EXPECT_EQ(form.Location_Combo->items(), QStringList({"COM 1", "COM 2", "COM 3", "COM 4"}));
    EXPECT_EQ(form.Speed_Combo->items(),
              QStringList({"19200 Kbps", "9600 Kbps", "4800 Kbps", "2400 Kbps", "1200 Kbps"}));
    EXPECT_EQ(form.Mode_Combo->items(), QStringList({"Mouse Emulation", "Euler Angle"}));
    EXPECT_EQ(form.MouseMode_Combo->items(), QStringList({"Disabled", "Mouse Event"}));
    EXPECT_EQ(form.KeyMode_Combo->items(),
              QStringList({"Disabled", "Send Keys", "Emulate Keys", "Keyboard Event"}));
    EXPECT_TRUE(form.Profile_Combo->items().isEmpty());
}

// Enabled state of the three groups that the mode lists switch.
struct Enabled {
    bool sideSide, turnLook, lean;
    bool operator==(const Enabled&) const = default;
};
void PrintTo(const Enabled& e, std::ostream* os)
{
    *os << "{sideSide " << e.sideSide << ", turnLook " << e.turnLook << ", lean " << e.lean << "}";
}

Enabled enabledNow(const MainForm& form)
{
    auto all = [](std::initializer_list<QWidget*> ws, bool on) {
        for (QWidget* w : ws)
            if (w->isEnabled() != on)
                return false;
        return true;
    };
    auto state = [&](std::initializer_list<QWidget*> ws) {
        if (all(ws, true))
            return true;
        EXPECT_TRUE(all(ws, false)) << "a group is partly enabled";
        return false;
    };
    const auto& c = form.keyChecks;
    const auto& b = form.keyBoxes;
    // The global keys are never disabled.
    EXPECT_TRUE(all({c[6], c[7], b[6], b[7]}, true));
    return {state({form.SideSideSmooth->label(), form.SideSideSmooth->slider(), form.SideSideSmooth->box(),
                   form.SideSideSpeed->label(), form.SideSideSpeed->slider(), form.SideSideSpeed->box()}),
            state({c[0], b[0], c[1], b[1], c[2], b[2], c[3], b[3]}), state({c[4], b[4], c[5], b[5]})};
}

TEST_F(MainWindow, TheModeListsEnableTheSideSideAndMappingControlsInEitherOrder)
{
    struct Step {
        PickList* MainForm::*list;
        const char* text;
        Enabled after;
    };
    PickList* MainForm::*const keyMode = &MainForm::KeyMode_Combo;
    const struct {
        const char* name;
        std::vector<Step> steps;
    } scenarios[] = {
        {"key mode first",
         {{&MainForm::KeyMode_Combo, "Send Keys", {false, true, false}},
          {&MainForm::Mode_Combo, "Euler Angle", {true, true, true}},
          {&MainForm::Mode_Combo, "Mouse Emulation", {false, true, false}}}},
        {"tracker mode first",
         {{&MainForm::Mode_Combo, "Euler Angle", {true, false, false}},
          {&MainForm::KeyMode_Combo, "Keyboard Event", {true, true, true}},
          {&MainForm::KeyMode_Combo, "Disabled", {true, false, false}},
          {&MainForm::Mode_Combo, "Mouse Emulation", {false, false, false}}}},
    };
    for (const auto& s : scenarios) {
        SCOPED_TRACE(s.name);
        form.Form_Load();
        addCurrentProfile(defaultMouseEmulation()); // key mode "Disabled"
        EXPECT_EQ(enabledNow(form), (Enabled{false, false, false}));
        for (const Step& step : s.steps) {
            SCOPED_TRACE(step.text);
            (form.*step.list)->setText(QString::fromLatin1(step.text));
            EXPECT_EQ(enabledNow(form), step.after);
            if (step.list == keyMode) {
                EXPECT_EQ(app.store.table.current().keyMode, QString::fromLatin1(step.text));
            }
        }
        EXPECT_EQ(app.store.table.current().mode, QStringLiteral("Mouse Emulation")) << "the mode list stores nothing";
    }
}

TEST_F(MainWindow, EulerAngleReadsTheKeyModeOfTheProfileNotOfTheList)
{
    form.KeyMode_Combo->setText(QStringLiteral("Send Keys")); // no profile current: stored nowhere
    addCurrentProfile(defaultEulerAngle());                    // key mode "Disabled"
    form.Mode_Combo->setText(QStringLiteral("Euler Angle"));
    EXPECT_EQ(enabledNow(form), (Enabled{true, true, false}));
}

TEST_F(MainWindow, TheMouseModeIsStoredOnlyIntoACurrentProfile)
{
    ProfileTable& table = app.store.table;
    table.at(table.grow()) = defaultMouseEmulation();
    form.MouseMode_Combo->setText(QStringLiteral("Disabled"));
    EXPECT_EQ(table.at(1).mouseMode, QStringLiteral("Mouse Event"));
    EXPECT_EQ(table.at(0).mouseMode, QString());

    table.currentIndex = 1;
    form.MouseMode_Combo->setText(QStringLiteral("Disabled"));
    EXPECT_EQ(table.at(1).mouseMode, QStringLiteral("Disabled"));
}

TEST_F(MainWindow, LocationAndSpeedSetTheLinkAndTheProfileAndFallBackToTheFirstItem)
{
    addCurrentProfile(defaultMouseEmulation());
    Profile& profile = app.store.table.current();
    const struct {
        const char* location;
        int port;
    } locations[] = {{"COM 3", 3}, {"COM 1", 1}, {"COM 4", 4}, {"COM 2", 2}};
    for (const auto& l : locations) {
        form.Location_Combo->setText(QString::fromLatin1(l.location));
        EXPECT_EQ(app.link.portNumber, l.port);
        EXPECT_EQ(profile.location, QString::fromLatin1(l.location));
    }
    const struct {
        const char* speed;
        const char* settings;
    } speeds[] = {{"9600 Kbps", "9600,n,8,1"},
                  {"4800 Kbps", "4800,n,8,1"},
                  {"2400 Kbps", "2400,n,8,1"},
                  {"1200 Kbps", "1200,n,8,1"},
                  {"19200 Kbps", "19200,n,8,1"}};
    for (const auto& s : speeds) {
        form.Speed_Combo->setText(QString::fromLatin1(s.speed));
        EXPECT_EQ(app.link.portSettings, QString::fromLatin1(s.settings));
        EXPECT_EQ(profile.speed, QString::fromLatin1(s.speed));
    }

    // A text that is none of the items (no item selected) falls back.
    form.Location_Combo->setText(QStringLiteral("COM 3"));
    form.Speed_Combo->setText(QStringLiteral("2400 Kbps"));
    form.Location_Combo->setCurrentIndex(-1);
    form.Location_Combo_Click();
    form.Speed_Combo->setCurrentIndex(-1);
    form.Speed_Combo_Click();
    EXPECT_EQ(form.Location_Combo->text(), QStringLiteral("COM 1"));
    EXPECT_EQ(app.link.portNumber, 1);
    EXPECT_EQ(profile.location, QStringLiteral("COM 1"));
    EXPECT_EQ(form.Speed_Combo->text(), QStringLiteral("19200 Kbps"));
    EXPECT_EQ(app.link.portSettings, QStringLiteral("19200,n,8,1"));
    EXPECT_EQ(profile.speed, QStringLiteral("19200 Kbps"));

    EXPECT_TRUE(fakes.dialogs().boxes.isEmpty()) << fakes.log.joined().toStdString();
}

TEST_F(MainWindow, TheHomePageButtonOpensTheHomePageThroughTheShell)
{
    fakes.log.clear();
    form.TollanHome_Command->click();
    EXPECT_EQ(fakes.log.lines(), QStringList({QStringLiteral("open ") + kHomePageUrl}));
}

} // namespace
} // namespace corvane
