// The main window: its layout in twips, the settings panel with its tabs, the
// mode lists' enable rules, the port and speed lists and the home-page button.
#include "ui/KeyBox.h"
#include "ui/PickList.h"
#include "ui/SettingPair.h"
#include "ui/Twips.h"

#include <gtest/gtest.h>

#include "tests/support/FormFixture.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>

#include <algorithm>
#include <set>
#include <string>

void PrintTo(const QSize& size, std::ostream* os) { *os << size.width() << "x" << size.height(); }
void PrintTo(const QRect& r, std::ostream* os)
{
    *os << r.x() << "," << r.y() << " " << r.width() << "x" << r.height();
}

namespace corvane {
namespace {

class MainWindow : public testing::FormTest {
protected:
    void SetUp() override
    {
        FormTest::SetUp();
        form.show();
    }

    // The window's outer size and the top of the home-page button, in pixels.
    void expectHeight(int height, int homeTop)
    {
        EXPECT_EQ(form.frameGeometry().size(), QSize(twipsX(4425, form), twipsY(height, form)));
        EXPECT_EQ(form.TollanHome_Command->y(), twipsY(homeTop, form));
    }

    // Names of the group frames visible now.
    std::set<std::string> visibleFrames() const
    {
        std::set<std::string> out;
        for (QWidget* frame : form.groupFrames())
            if (frame->isVisible())
                out.insert(frame->objectName().toStdString());
        return out;
    }
};

const std::set<std::string> kTracker = {"Model_Frame", "Connection_Frame", "Filters_Frame"};
const std::set<std::string> kOther = {"StartStop_Frame", "DelayMillisecs_Frame", "Monitor_Frame"};
const std::set<std::string> kByTab[] = {kTracker,
                                        {"MouseMode_Frame", "Smoothing_Frame", "Speed_Frame"},
                                        {"KeyMode_Frame", "Mappings_Frame"},
                                        kOther};

TEST_F(MainWindow, ShowAndHideSettingsResizeTheWindowAndEachTabShowsExactlyItsFrames)
{
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Tollan Corvane"));
    expectHeight(2010, 945);
    EXPECT_FALSE(form.TabStrip_Frame->isVisible());
    EXPECT_TRUE(visibleFrames().empty());
    EXPECT_EQ(form.TabStrip->currentIndex(), 0);
    // While the settings are hidden the tab switch shows no frame.
    for (int tab : {1, 2, 3, 0}) {
        form.TabStrip->setCurrentIndex(tab);
        form.TabStrip_Click();
        EXPECT_TRUE(visibleFrames().empty()) << tab;
    }

    form.ShowSettings_Command->click();
    EXPECT_EQ(form.ShowSettings_Command->text(), QStringLiteral("Hide Settings"));
    expectHeight(6675, 5610);
    EXPECT_TRUE(form.TabStrip_Frame->isVisible());
    EXPECT_EQ(visibleFrames(), kTracker);
    for (int tab : {1, 2, 3, 0, 2, 3}) {
        form.TabStrip->setCurrentIndex(tab);
        EXPECT_EQ(visibleFrames(), kByTab[tab]) << form.TabStrip->tabText(tab).toStdString();
    }

    form.ShowSettings_Command->click();
    EXPECT_EQ(form.ShowSettings_Command->text(), QStringLiteral("Show Settings"));
    expectHeight(2010, 945);
    EXPECT_FALSE(form.TabStrip_Frame->isVisible());
    EXPECT_TRUE(visibleFrames().empty());

    form.ShowSettings_Command->click();
    EXPECT_EQ(visibleFrames(), kOther) << "the tab chosen before is shown again";
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
    // Left, top, width and height in the parent are checked when given.
    const struct { const char* name; const char* caption; QRect twips; } controls[] = {
        // The top strip and the settings panel.
        {"Profile_Label", "Profile", {180, 120, 675, 315}}, {"Profile_Combo", "", {960, 90, 3255, 315}},
        {"Start_Command", "Start", {120, 510, 1335, 315}}, {"Help_Command", "Help", {2880, 510, 1335, 315}},
        {"ShowSettings_Command", "Show Settings", {1500, 510, 1335, 315}},
        {"TollanHome_Command", "Tollan Home Page", {120, 945, 4095, 465}},
        {"TabStrip_Frame", "", {60, 870, 4275, 4695}},
        // Tracker.
        {"Model_Frame", "", {240, 1410, 3855, 495}}, {"Model_Label", "Model", {}},
        {"Model_Combo", "Ambrel", {1380, 120, 2295, 315}},
        {"Connection_Frame", "Connection", {240, 1890, 3855, 1515}},
        {"LocationLabel", "Location", {240, 300, 1035, 315}}, {"Location_Combo", "COM 1", {1380, 300, 2295, 315}},
        {"Speed_Label", "Speed", {}}, {"Speed_Combo", "19200 Kbps", {}}, {"Mode_Label", "Mode", {}},
        {"Mode_Combo", "Mouse Emulation", {1380, 1020, 2295, 315}},
        {"Filters_Frame", "Filters", {240, 3420, 3855, 1515}}, {"Jitter_Label", "Jitter", {}},
        {"Magnetic_Label", "Magnetic", {240, 300, 1035, 315}}, {"Magnetic_HScroll", "", {1380, 300, 1695, 315}},
        {"Magnetic_Text", "2", {3180, 300, 495, 315}}, {"Tilt_Label", "Tilt", {}},
        // Mouse.
        {"MouseMode_Frame", "", {240, 1410, 3855, 495}}, {"MouseMode_Label", "Mode", {}},
        {"MouseMode_Combo", "Mouse Event", {}}, {"Smoothing_Frame", "Smoothing", {240, 1890, 3855, 1515}},
        {"LeftRightSmooth_Label", "Left-Right", {}}, {"UpDownSmooth_Label", "Up-Down", {}},
        {"SideSideSmooth_Label", "Side-Side", {}}, {"Speed_Frame", "Speed", {240, 3420, 3855, 1515}},
        {"LeftRightSpeed_Label", "Left-Right", {}}, {"UpDownSpeed_Text", "5", {3180, 660, 495, 315}},
        {"SideSideSpeed_HScroll", "", {1380, 1020, 1695, 315}},
        // Keyboard.
        {"KeyMode_Frame", "", {240, 1410, 3855, 495}}, {"KeyMode_Label", "Mode", {}},
        {"KeyMode_Combo", "Disabled", {}}, {"Mappings_Frame", "Mappings", {240, 1890, 3855, 3045}},
        {"TurnLeftKey_Check", "Turn Left", {}}, {"TurnRightKey_Check", "Turn Right", {}},
        {"LookUpKey_Check", "Look Up", {}}, {"LookDownKey_Check", "LookDown", {}},
        {"LeanLeftKey_Check", "Lean Left", {}}, {"LeanRightKey_Check", "Lean Right", {}},
        {"LeanRightKey_RichText", "", {}},
        // Other.
        {"StartStop_Frame", "Global Keys", {240, 1410, 3855, 1155}}, {"StartKey_Check", "Start", {}},
        {"StopKey_Check", "Stop", {}}, {"StartKey_RichText", "", {}}, {"StopKey_RichText", "", {}},
        {"DelayMillisecs_Frame", "Update Delay", {240, 2580, 3855, 795}},
        {"Millesecs_Label", "Milleseconds", {}}, {"DelayMillisecs_Text", "20", {}},
        {"Monitor_Frame", "Output Monitor", {240, 3390, 3855, 1545}},
        {"LRMon_Text", "0", {180, 570, 1095, 315}}, {"UDMon_Text", "0", {1380, 570, 1095, 315}},
        {"SSMon_Text", "0", {2580, 570, 1095, 315}}, {"KeyMon_Text", "", {180, 1020, 3495, 315}},
        // The profile buttons and the hidden focus taker.
        {"Cancel_Command", "Cancel", {240, 5040, 915, 315}}, {"Save_Command", "Save", {1220, 5040, 915, 315}},
        {"SaveAs_Command", "Save As", {2200, 5040, 915, 315}}, {"Delete_Command", "Delete", {3180, 5040, 915, 315}},
        {"Dummy_Command", "Dummy", {}},
    };
    for (const auto& c : controls) {
        SCOPED_TRACE(c.name);
        auto* w = form.findChild<QWidget*>(QString::fromLatin1(c.name));
        ASSERT_NE(w, nullptr);
        EXPECT_EQ(captionOf(w), QString::fromLatin1(c.caption));
        if (auto* button = qobject_cast<QPushButton*>(w)) {
            EXPECT_EQ(button->isCheckable(), w->objectName().endsWith(QStringLiteral("_Check")));
        }
        if (const QRect r = c.twips; !r.isEmpty()) {
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
        return std::all_of(ws.begin(), ws.end(), [on](QWidget* w) { return w->isEnabled() == on; });
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
    const struct { const char* name; std::vector<Step> steps; } scenarios[] = {
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
        addCurrent(defaultMouseEmulation()); // key mode "Disabled"
        EXPECT_EQ(enabledNow(form), (Enabled{false, false, false}));
        for (const Step& step : s.steps) {
            SCOPED_TRACE(step.text);
            (form.*step.list)->setText(QString::fromLatin1(step.text));
            EXPECT_EQ(enabledNow(form), step.after);
            if (step.list == keyMode) {
                EXPECT_EQ(current().keyMode, QString::fromLatin1(step.text));
            }
        }
        EXPECT_EQ(current().mode, QStringLiteral("Mouse Emulation")) << "the mode list stores nothing";
    }
}

TEST_F(MainWindow, EulerAngleReadsTheKeyModeOfTheProfileNotOfTheList)
{
    form.KeyMode_Combo->setText(QStringLiteral("Send Keys")); // no profile current: stored nowhere
    addCurrent(defaultEulerAngle());                          // key mode "Disabled"
    form.Mode_Combo->setText(QStringLiteral("Euler Angle"));
    EXPECT_EQ(enabledNow(form), (Enabled{true, true, false}));
}

TEST_F(MainWindow, TheMouseModeIsStoredOnlyIntoACurrentProfile)
{
    addCurrent(defaultMouseEmulation());
    table().currentIndex = 0;
    form.MouseMode_Combo->setText(QStringLiteral("Disabled"));
    EXPECT_EQ(table().at(1).mouseMode, QStringLiteral("Mouse Event"));
    EXPECT_EQ(table().at(0).mouseMode, QString());

    table().currentIndex = 1;
    form.MouseMode_Combo->setText(QStringLiteral("Disabled"));
    EXPECT_EQ(table().at(1).mouseMode, QStringLiteral("Disabled"));
}

TEST_F(MainWindow, LocationAndSpeedSetTheLinkAndTheProfileAndFallBackToTheFirstItem)
{
    // The link's reopening on each port and speed is in the link's own tests.
    const Profile& profile = addCurrent(defaultMouseEmulation());
    form.Location_Combo->setText(QStringLiteral("COM 3"));
    form.Speed_Combo->setText(QStringLiteral("2400 Kbps"));
    EXPECT_EQ(app.link.portNumber, 3);
    EXPECT_EQ(profile.location, QStringLiteral("COM 3"));
    EXPECT_EQ(app.link.portSettings, QStringLiteral("2400,n,8,1"));
    EXPECT_EQ(profile.speed, QStringLiteral("2400 Kbps"));

    // A text that is none of the items (no item selected) falls back.
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

TEST_F(MainWindow, TheProfileListSortsWithoutCaseAndAddingNeverChangesTheSelection)
{
    PickList& list = *form.Profile_Combo;
    for (const char* name : {"b", "C", "B", "b", "a"})
        list.addText(QString::fromLatin1(name));
    EXPECT_EQ(list.items(), QStringList({"a", "B", "b", "b", "C"}));
    EXPECT_EQ(list.text(), QString()) << "nothing is selected by adding";
    list.setText(QStringLiteral("a"));
    list.addText(QStringLiteral("0"));
    EXPECT_EQ(list.text(), QStringLiteral("a"));
}

TEST_F(MainWindow, TheHomePageButtonOpensTheHomePageThroughTheShell)
{
    fakes.log.clear();
    form.TollanHome_Command->click();
    EXPECT_EQ(fakes.log.lines(), QStringList({QStringLiteral("open ") + kHomePageUrl}));
}

} // namespace
} // namespace corvane
