// The main window: its layout in twips, the settings panel with its tabs, the
// mode lists' enable rules, the profile list's order and the Help and
// home-page buttons. The lists' items are the ones the other tests choose.
#include <gtest/gtest.h>

#include "tests/support/FormFixture.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QTabWidget>
#include <QWheelEvent>

#include <algorithm>
#include <tuple>

namespace corvane {
namespace {

using MainWindow = test::FormTest;

TEST_F(MainWindow, ShowAndHideSettingsResizeTheWindowAndEachTabShowsExactlyItsFrames)
{
    // The outer height and the home-page button's top (twips), the settings
    // button's caption and the group frames visible.
    const auto expectPanel = [this](int height, int homeTop, const char* caption, const QStringList& frames) {
        // The status line adds its height to the outer size, at the bottom edge.
        EXPECT_EQ(form.frameGeometry().size(), QSize(twipsX(4425, form), twipsY(height + kStatusLineHeight, form)));
        const QWidget* status = form.findChild<QWidget*>(QStringLiteral("Status_Line"));
        EXPECT_EQ(status->geometry(), QRect(twipsX(120, form), form.height() - twipsY(kStatusLineHeight, form),
                                            twipsX(4095, form), twipsY(kStatusLineHeight, form)));
        EXPECT_EQ(ui.TollanHome_Command->y(), twipsY(homeTop, form));
        EXPECT_EQ(ui.ShowSettings_Command->text().remove(u'&'), QString::fromLatin1(caption));
        QStringList visible;
        for (QWidget* frame : form.groupFrames())
            if (frame->isVisible())
                visible << frame->objectName();
        EXPECT_EQ(visible, frames);
    };
    // clang-format off
    const std::pair<const char*, QStringList> tabs[] = {
        {"Tracker", {"Model_Frame", "Connection_Frame", "Filters_Frame"}},
        {"Mouse", {"MouseMode_Frame", "Smoothing_Frame", "Speed_Frame"}},
        {"Keyboard", {"KeyMode_Frame", "Mappings_Frame"}},
        {"Other", {"StartStop_Frame", "DelayMillisecs_Frame", "Monitor_Frame"}}};
    // clang-format on
    form.show();
    expectPanel(2010, 945, "Show Settings", {});
    ui.ShowSettings_Command->click();
    expectPanel(6675, 5610, "Hide Settings", tabs[0].second);
    for (int tab : {1, 2, 3, 0}) {
        ui.TabStrip->setCurrentIndex(tab);
        EXPECT_EQ(ui.TabStrip->tabText(tab).remove(u'&'), QString::fromLatin1(tabs[tab].first));
        expectPanel(6675, 5610, "Hide Settings", tabs[tab].second);
    }
    form.hide();
    form.show();
    expectPanel(6675, 5610, "Hide Settings", tabs[0].second);

    ui.ShowSettings_Command->click();
    expectPanel(2010, 945, "Show Settings", {});
    ui.TabStrip->setCurrentIndex(1); // the tab switch while hidden shows nothing
    expectPanel(2010, 945, "Show Settings", {});
    ui.ShowSettings_Command->click();
    expectPanel(6675, 5610, "Hide Settings", tabs[1].second);
}

TEST_F(MainWindow, EveryControlIsThereWithItsCaption)
{
    // Left, top, width and height in the parent are checked when given.
    // clang-format off
    const struct { const char* name; const char* caption; QRect twips; } controls[] = {
        // The top strip and the settings panel.
        {"Profile_Label", "Profile", {180, 120, 675, 315}}, {"Profile_Combo", "", {960, 90, 3255, 315}},
        {"Start_Command", "Start", {120, 510, 1335, 315}}, {"Help_Command", "Help", {2880, 510, 1335, 315}},
        {"ShowSettings_Command", "Show Settings", {1500, 510, 1335, 315}},
        {"TollanHome_Command", "Tollan Home Page", {120, 945, 4095, 465}},
        {"TabStrip_Frame", "", {60, 870, 4275, 4695}}, {"TabStrip", "", {60, 90, 4095, 4545}},
        // Tracker: the frames, a mode frame's list and the rows of lists and of settings.
        {"Model_Frame", "", {240, 1410, 3855, 495}}, {"Model_Combo", "Ambrel", {1380, 120, 2295, 315}},
        {"Connection_Frame", "Connection", {240, 1890, 3855, 1515}},
        {"LocationLabel", "Location", {240, 300, 1035, 315}}, {"Location_Combo", "COM 1", {1380, 300, 2295, 315}},
        {"Speed_Combo", "19200 Kbps", {}}, {"Mode_Combo", "Mouse Emulation", {1380, 1020, 2295, 315}},
        {"Filters_Frame", "Filters", {240, 3420, 3855, 1515}},
        {"Magnetic_Label", "Magnetic", {240, 300, 1035, 315}}, {"Magnetic_HScroll", "", {1380, 300, 1695, 315}},
        {"Magnetic_Text", "2", {3180, 300, 495, 315}},
        // Mouse.
        {"MouseMode_Frame", "", {240, 1410, 3855, 495}}, {"MouseMode_Combo", "Mouse Event", {}},
        {"Smoothing_Frame", "Smoothing", {240, 1890, 3855, 1515}}, {"SideSideSmooth_Label", "Side-Side", {}},
        {"Speed_Frame", "Speed", {240, 3420, 3855, 1515}}, {"UpDownSpeed_Text", "5", {3180, 660, 495, 315}},
        {"SideSideSpeed_HScroll", "", {1380, 1020, 1695, 315}},
        // Keyboard: six rows of mappings down the frame.
        {"KeyMode_Frame", "", {240, 1410, 3855, 495}}, {"KeyMode_Combo", "Disabled", {}},
        {"Mappings_Frame", "Mappings", {240, 1890, 3855, 3045}},
        {"TurnLeftKey_Check", "Turn Left", {240, 300, 1035, 315}}, {"LookDownKey_Check", "LookDown", {}},
        {"LeanRightKey_Check", "Lean Right", {240, 2550, 1035, 315}},
        {"LeanRightKey_RichText", "", {1380, 2550, 2295, 315}},
        // Other.
        {"StartStop_Frame", "Global Keys", {240, 1410, 3855, 1155}}, {"StopKey_Check", "Stop", {240, 660, 1035, 315}},
        {"StartKey_RichText", "", {1380, 300, 2295, 315}},
        {"DelayMillisecs_Frame", "Update Delay", {240, 2580, 3855, 795}},
        {"Millesecs_Label", "Milleseconds", {}}, {"DelayMillisecs_Text", "20", {}},
        {"Monitor_Frame", "Output Monitor", {240, 3390, 3855, 1545}}, {"LRMon_Text", "0", {180, 570, 1095, 315}},
        {"UDMon_Text", "0", {1380, 570, 1095, 315}}, {"SSMon_Text", "0", {2580, 570, 1095, 315}},
        {"KeyMon_Text", "", {180, 1020, 3495, 315}},
        // The profile buttons and the hidden focus taker.
        {"Cancel_Command", "Cancel", {240, 5040, 915, 315}}, {"Save_Command", "Save", {1220, 5040, 915, 315}},
        {"SaveAs_Command", "Save As", {2200, 5040, 915, 315}}, {"Delete_Command", "Delete", {3180, 5040, 915, 315}},
        {"Dummy_Command", "Dummy", {}},
    };
    // clang-format on
    for (const auto& c : controls) {
        SCOPED_TRACE(c.name);
        auto* w = form.findChild<QWidget*>(QString::fromLatin1(c.name));
        ASSERT_NE(w, nullptr);
        // A frame's title, a list's selected item, or the text of a label, button or box.
        const char* caption = w->inherits("QGroupBox") ? "title" : w->inherits("QComboBox") ? "currentText" : "text";
        EXPECT_EQ(w->property(caption).toString().remove(u'&'), c.caption);
        EXPECT_FALSE(w->property("editable").toBool()) << "a list takes no typed text";
        const auto* button = qobject_cast<QPushButton*>(w);
        EXPECT_EQ(button && button->isCheckable(), w->objectName().endsWith(QStringLiteral("_Check")));
        const QRect r = c.twips;
        EXPECT_EQ(r.isEmpty() ? QRect() : w->geometry(), twipsRect(r.x(), r.y(), r.width(), r.height(), form));
        const auto* label = qobject_cast<QLabel*>(w); // a row's label is right-aligned
        EXPECT_TRUE(!label || r.x() != 240 || label->alignment() & Qt::AlignRight);
    }
}

// Which groups are enabled, one character each: the side-side rows, the turn
// and look mappings, the lean mappings, the global keys; "1" all of the group,
// "0" none of it, "?" a part.
QString enabledGroups(const test::FormControls& f)
{
    const auto& c = f.keyChecks;
    const auto& b = f.keyBoxes;
    // clang-format off
    const std::vector<std::vector<QWidget*>> groups = {
        {f.SideSideSmooth->label(), f.SideSideSmooth->slider(), f.SideSideSmooth->box(), f.SideSideSpeed->label(),
         f.SideSideSpeed->slider(), f.SideSideSpeed->box()},
        {c[0], b[0], c[1], b[1], c[2], b[2], c[3], b[3]}, {c[4], b[4], c[5], b[5]}, {c[6], b[6], c[7], b[7]}};
    // clang-format on
    QString out;
    for (const auto& group : groups) {
        const auto on = std::count_if(group.begin(), group.end(), [](QWidget* w) { return w->isEnabled(); });
        out += QLatin1Char(on == 0 ? '0' : on == std::ssize(group) ? '1' : '?');
    }
    return out;
}

TEST_F(MainWindow, TheListsSwitchTheSideSideAndMappingControlsAndStoreOnlyIntoACurrentProfile)
{
    const auto choose = [this](PickList* list, const char* text) {
        list->setText(QString::fromLatin1(text));
        return enabledGroups(ui);
    };
    EXPECT_EQ(enabledGroups(ui), "0001");
    EXPECT_EQ(choose(ui.KeyMode_Combo, "Send Keys"), "0101");
    choose(ui.MouseMode_Combo, "Disabled");
    EXPECT_EQ(table().at(0).keyMode + table().at(0).mouseMode, QString()) << "no profile is current";

    addCurrent(defaultEulerAngle()); // key mode "Disabled"
    EXPECT_EQ(choose(ui.Mode_Combo, "Euler Angle"), "1101") << "the profile's key mode counts, not the list's";
    EXPECT_EQ(choose(ui.KeyMode_Combo, "Emulate Keys"), "1111");
    EXPECT_EQ(choose(ui.KeyMode_Combo, "Disabled"), "1001");
    EXPECT_EQ(choose(ui.Mode_Combo, "Mouse Emulation"), "0001");
    for (const auto& [list, text] :
         {std::pair{ui.MouseMode_Combo, "Disabled"}, {ui.Location_Combo, "COM 3"}, {ui.Speed_Combo, "2400 Kbps"}})
        choose(list, text);
    EXPECT_EQ(std::tuple(current().keyMode, current().mouseMode, current().mode, current().location, current().speed),
              std::tuple(QStringLiteral("Disabled"), QStringLiteral("Disabled"), QStringLiteral("Euler Angle"),
                         QStringLiteral("COM 3"), QStringLiteral("2400 Kbps")))
        << "the tracker mode list stores nothing";
    // The link's reopening on each port and speed is in the link's own tests.
    EXPECT_EQ(std::tuple(app.link.portNumber, app.link.portSettings), std::tuple(3, QStringLiteral("2400,n,8,1")));

    // The user's choice, here by the arrow key, runs the same handler.
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QCoreApplication::sendEvent(ui.Mode_Combo, &down);
    EXPECT_EQ(enabledGroups(ui), "1001") << "Euler Angle is chosen";
}

TEST_F(MainWindow, TheProfileListSortsWithoutCaseAndAddingNeverChangesTheSelection)
{
    PickList& list = *ui.Profile_Combo;
    for (const char* name : {"b", "C", "B", "b", "a"})
        list.addText(QString::fromLatin1(name));
    EXPECT_EQ(list.items(), QStringList({"a", "B", "b", "b", "C"}));
    EXPECT_EQ(list.text(), QString()) << "nothing is selected by adding";
    list.setText(QStringLiteral("a"));
    list.addText(QStringLiteral("0"));
    EXPECT_EQ(list.text(), QStringLiteral("a"));

    // Choosing by text follows every change of the items since the last choice.
    list.setText(QStringLiteral("0"));
    list.setItemText(1, QStringLiteral("A2"));
    list.removeItem(list.count() - 1);
    EXPECT_EQ(std::tuple(list.text(), list.currentIndex()), std::tuple(QStringLiteral("0"), 0));
    list.setText(QStringLiteral("A2"));
    EXPECT_EQ(list.currentIndex(), 1);
    for (const char* gone : {"a", "C"})
        EXPECT_THROW(list.setText(QString::fromLatin1(gone)), Fault) << gone;
}

TEST_F(MainWindow, HelpShowsTheHelpWindowAndTheHomePageButtonOpensTheHomePage)
{
    ui.Help_Command->click();
    EXPECT_TRUE(form.help().isVisible());
    fakes.log.clear();
    ui.TollanHome_Command->click();
    EXPECT_EQ(fakes.log.lines(), QStringList({QStringLiteral("open ") + kHomePageUrl}));
}

TEST_F(MainWindow, MappingButtonsRecordOneAtATimeAndTypedTextIsUndone)
{
    table().at(table().grow()) = defaultFlightSimulator(); // "Emulate Keys", turn and look mapped
    ui.Profile_Combo->addText(kDefaultFlightSimulator);
    form.commands().ApplyProfile(kDefaultFlightSimulator);
    const auto pressedIn = [this] {
        QString in;
        for (const auto* check : ui.keyChecks)
            in += check->isChecked() ? u'1' : u'0';
        return in + (form.recording() ? " recording" : "");
    };
    // Which button is clicked, and which are pressed in after it.
    // clang-format off
    const std::pair<int, const char*> clicks[] = {{2, "00100000 recording"}, {6, "00100010 recording"},
                                                  {3, "00010010 recording"}, {7, "00010001 recording"},
                                                  {3, "00000001"}};
    // clang-format on
    for (const auto& [button, after] : clicks) {
        ui.keyChecks[button]->click();
        EXPECT_EQ(pressedIn(), after) << button;
    }
    EXPECT_EQ(std::tuple(current().lookUpKey, ui.keyBoxes[2]->toPlainText(), current().startKey),
              std::tuple("", "", ""))
        << "emptied when their recordings began";

    // Keys typed while a button is pressed in are for the recording; the focus
    // moving to another control pops it out, the window losing it does not.
    for (const auto type : {QEvent::KeyPress, QEvent::KeyRelease}) {
        QKeyEvent space(type, Qt::Key_Space, Qt::NoModifier);
        QCoreApplication::sendEvent(ui.keyChecks[7], &space);
    }
    EXPECT_EQ(pressedIn(), "00000001") << "the space key did not pop it out";
    // clang-format off
    const std::pair<Qt::FocusReason, const char*> focusOuts[] = {{Qt::ActiveWindowFocusReason, "00000001"},
                                                                 {Qt::PopupFocusReason, "00000001"},
                                                                 {Qt::TabFocusReason, "00000000"}};
    // clang-format on
    for (const auto& [reason, after] : focusOuts) {
        QFocusEvent out(QEvent::FocusOut, reason);
        QCoreApplication::sendEvent(ui.keyChecks[7], &out);
        EXPECT_EQ(pressedIn(), after) << reason;
    }

    // Text typed into a box is undone, the lean boxes' included.
    for (int box : {0, 4}) {
        const QString before = ui.keyBoxes[box]->toPlainText();
        ui.keyBoxes[box]->insertPlainText(QStringLiteral("x"));
        EXPECT_EQ(ui.keyBoxes[box]->toPlainText(), before) << box;
    }
}

TEST_F(MainWindow, TabTheWheelAndTooltipsReachOnlyWhatTheUserCanSee)
{
    form.show();
    form.activateWindow();
    QApplication::processEvents();
    const auto tabs = [this](int count) {
        QStringList names;
        ui.Profile_Combo->setFocus();
        for (int i = 0; i < count; ++i) {
            QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
            QApplication::sendEvent(QApplication::focusWidget(), &tab);
            names << QApplication::focusWidget()->objectName();
        }
        return names.join(u' ');
    };
    EXPECT_EQ(tabs(6), "Start_Command ShowSettings_Command Help_Command TollanHome_Command Status_Line Profile_Combo");
    ui.ShowSettings_Command->click();
    EXPECT_EQ(tabs(21), "Start_Command ShowSettings_Command Help_Command qt_tabwidget_tabbar Model_Combo "
                        "Location_Combo Speed_Combo Mode_Combo Magnetic_HScroll Magnetic_Text Jitter_HScroll "
                        "Jitter_Text Tilt_HScroll Tilt_Text Cancel_Command Save_Command SaveAs_Command Delete_Command "
                        "TollanHome_Command Status_Line Profile_Combo");

    // The wheel turns a list only when the list has the focus.
    QWheelEvent down({10, 10}, {10, 10}, {}, {0, -120}, Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(ui.Location_Combo, &down);
    EXPECT_EQ(ui.Location_Combo->text(), "COM 1");
    ui.Location_Combo->setFocus();
    QApplication::sendEvent(ui.Location_Combo, &down);
    EXPECT_EQ(ui.Location_Combo->text(), "COM 2");

    // A mapping whose labels are cut off shows them all in its tooltip.
    KeyBox& box = *ui.keyBoxes[0];
    for (const QString sequence : {"D065U065", "D162D163D083U083U163U162D162D163D083U083U163U162"}) {
        RenderKeySequence(app, box, sequence);
        QHelpEvent hover(QEvent::ToolTip, {5, 5}, box.mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(box.viewport(), &hover);
        EXPECT_EQ(box.toolTip(), sequence.size() > 8 ? box.toPlainText() : QString());
    }
}

} // namespace
} // namespace corvane
