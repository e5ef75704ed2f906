// The started cycle end to end: tracker data fed into the fake port comes out
// as Output Monitor texts, pointer moves and keys; stopped or unconfigured cycles do
// nothing; an overflowing value ends the main loop.
#include <gtest/gtest.h>

#include "tests/support/EngineFixture.h"
#include "ui/StatusStrip.h"

#include <QGroupBox>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTabWidget>
#include <QTimer>

namespace corvane {
namespace {

struct Rig : test::EngineRig {
    // One cycle sets the tracker up (in Euler Angle mode when asked), then the
    // axes are tuned and tracking starts.
    void configureAndStart(bool euler, std::initializer_list<const char*> tuning)
    {
        startUp();
        if (euler)
            ui().Mode_Combo->setText(QStringLiteral("Euler Angle"));
        engine.cycle();
        ASSERT_FALSE(accepted().isEmpty());
        tune(tuning);
        clickStart();
    }
    void showMonitor()
    {
        ui().ShowSettings_Command->click();
        ui().TabStrip->setCurrentIndex(3);
        ASSERT_TRUE(ui().Monitor_Frame->isVisible());
    }
    // Feeds bytes to the port and runs one cycle; returns the moves it made.
    QStringList feed(const QByteArray& bytes)
    {
        serial().receive(bytes);
        cycle();
        return fakes.log.matching(QStringLiteral("move "));
    }
};

// Each mode's packets fed in one cycle at a time: "Mouse Emulation" moves by
// the smoothed, scaled sum of the packets, "Euler Angle" by the change of
// angle beyond the jitter threshold. Per cycle: the bytes fed, the monitor's
// texts (left-right, up-down, side-side) and the pointer moves after it.
TEST(TrackingCycle, EachModeMovesByItsRulesAndTheMonitorShowsTheValues)
{
    // An "Euler Angle" packet of three angles, each centred on 16384.
    const auto packet = [](int lr, int ud, int ss) { return test::eulerPacket(lr + 16384, ud + 16384, ss + 16384); };
    struct CycleRow {
        QByteArray bytes;
        const char *monitor, *moves;
    };
    // clang-format off
    const struct { bool euler; std::initializer_list<const char*> tuning; std::vector<CycleRow> cycles; } modes[] = {
        // Left-right doubled; up-down averaged over two cycles and halved.
        {false, {"0", "20", "1", "5", "0", "10"}, {
            {"C0 02 01 ", "40 -2 0", "move 40,-2"}, // 20 and (-10 + 0) / 2 / 2 = -2.5, to even
            {"", "0 -2 0", "move 0,-2"},            // the last reading still in the average
            {"", "0 0 0", ""},
            {"C0 01 0", "0 0 0", ""}, // incomplete: kept for the next cycle
            {"1 ", "20 -2 0", "move 20,-2"}}},
        // Jitter 3: the threshold is 10 * 3 / 8 = 3.75 on both axes.
        {true, {"0", "10", "0", "10", "0", "20"}, {
            {packet(100, -50, 7), "-100 50 -14", "move -100,50"}, // measured from position 0
            {packet(98, -50, 8), "2 0 -2", ""},                   // within the threshold
            {"", "0 0 0", ""},                                    // no packet: position kept
            {packet(90, -40, 7), "8 -10 2", "move 8,-10"}}},
    };
    // clang-format on
    for (const auto& mode : modes) {
        Rig rig;
        rig.configureAndStart(mode.euler, mode.tuning);
        ASSERT_EQ(rig.ui().Jitter->slider()->value(), 3);
        rig.showMonitor();
        const test::FormControls& f = rig.ui();
        for (std::size_t i = 0; i < mode.cycles.size(); ++i) {
            SCOPED_TRACE(::testing::Message()
                         << (mode.euler ? "Euler Angle" : "Mouse Emulation") << ", cycle " << i + 1);
            EXPECT_EQ(rig.feed(mode.cycles[i].bytes).join(' '), QString::fromLatin1(mode.cycles[i].moves));
            EXPECT_EQ(QStringList({f.LRMon_Text->text(), f.UDMon_Text->text(), f.SSMon_Text->text()}).join(' '),
                      QString::fromLatin1(mode.cycles[i].monitor));
        }
    }
}

// A mapped direction presses its keys instead of moving the pointer. A key the
// mapping leaves down is released when the program ends, before the
// tracker is stopped and reset: when the system asks it to end, and when a
// library ends it because the display has gone (then with status 1).
TEST(TrackingCycle, AMappedDirectionPressesItsKeysAndEveryEndReleasesThemThenResetsTheTracker)
{
    for (const bool abrupt : {false, true}) {
        SCOPED_TRACE(abrupt ? "display gone" : "asked to end");
        Rig rig;
        rig.configureAndStart(false, {"0", "10", "0", "10", "0", "10"});
        rig.ui().KeyMode_Combo->setText(QStringLiteral("Emulate Keys"));
        rig.profile().turnLeftKey = QStringLiteral("D160");
        rig.feed("C3 3F 00 "); // -10 to the left: the key instead of a move
        EXPECT_EQ(rig.fakes.log.joined(), "down 160");
        rig.fakes.log.clear();
        if (abrupt)
            ASSERT_TRUE(rig.fakes.process().endAbruptly(QStringLiteral("The display has gone")));
        else
            rig.fakes.process().askToEnd();
        EXPECT_EQ(rig.fakes.log.joined(), QStringLiteral("up 160, write !, write !R<CR>, close, end %1").arg(abrupt));
    }
}

TEST(TrackingCycle, OnlyStartedCyclesWithAConfiguredTrackerReadIt)
{
    Rig rig;
    rig.configureAndStart(false, {"0", "10", "0", "10", "0", "10"});
    EXPECT_TRUE(rig.feed("C0 02").isEmpty());
    EXPECT_EQ(rig.engine.receiveBuffer(), QByteArray("C0 02"));
    const int index = rig.engine.motion().historyIndex();

    rig.clock().advance(2000); // past the toggle's guard
    rig.clickStart();          // stopped: the data waits in the port
    EXPECT_TRUE(rig.feed(" 01 ").isEmpty());
    EXPECT_EQ(rig.engine.receiveBuffer(), QByteArray("C0 02"));
    EXPECT_EQ(rig.engine.motion().historyIndex(), index);
    rig.clock().advance(2000);
    rig.clickStart();
    EXPECT_EQ(rig.feed({}), QStringList("move 20,-10"));

    // A refused set-up leaves the tracker unconfigured: what it sends after it is not read.
    rig.serial().ackReply = "NO\r";
    rig.ui().Magnetic->box()->setText(QStringLiteral("5"));
    rig.serial().onWrite = [&](const QByteArray& bytes) {
        if (bytes == "S")
            rig.serial().receive("C0 02 01 ");
    };
    EXPECT_TRUE(rig.feed({}).isEmpty());
    EXPECT_TRUE(rig.accepted().isEmpty());
    EXPECT_EQ(rig.engine.motion().historyIndex(), index + 1);
}

// Mouse mode "Joystick": the device is there as soon as the mode is chosen;
// while tracking the axes follow the head instead of the pointer, and the
// monitor shows them. Leaving the mode and Stop centre the axes, coming back
// and Start re-centre them, and the end centres and removes the device
// before the tracker is stopped.
TEST(TrackingCycle, InJoystickModeTheAxesFollowTheHeadAndReturnToTheCentre)
{
    Rig rig;
    rig.configureAndStart(false, {"0", "10", "0", "10", "0", "10"});
    rig.showMonitor();
    const test::FormControls& f = rig.ui();
    const auto monitor = [&] { return QStringList({f.LRMon_Text->text(), f.UDMon_Text->text()}).join(' '); };
    // What the joystick and the pointer were asked, cycles and clicks alike.
    QStringList seen;
    const auto output = [&](const QByteArray& bytes) {
        seen += rig.fakes.log.lines();
        rig.serial().receive(bytes);
        seen += rig.cycle();
        const QString out = seen.filter(QRegularExpression(QStringLiteral("^(joystick|move)"))).join(", ");
        seen.clear();
        rig.fakes.log.clear();
        return out;
    };
    const auto toggle = [&] {
        rig.clock().advance(2000);
        rig.clickStart();
    };
    toggle(); // stopped
    rig.ui().MouseMode_Combo->setText(QStringLiteral("Joystick"));
    EXPECT_EQ(output({}), "joystick made");
    toggle();
    EXPECT_EQ(output({}), ""); // the Start's cycle: what the tracker sent before counts for nothing
    EXPECT_EQ(output("C3 3F 00 "), "joystick -80,0,0"); // 10 to the left: 80 axis units at speed 10
    EXPECT_EQ(monitor(), "-80 0");
    EXPECT_EQ(output("C0 02 01 "), "joystick 80,-80,0"); // 20 to the right and 10 up
    EXPECT_EQ(monitor(), "80 -80");
    EXPECT_EQ(rig.form().findChild<StatusStrip*>(QStringLiteral("Status_Line"))->toolTip(),
              "Tracking: the head moves the joystick \"Corvane head\"; keys through the kernel's input devices");

    rig.ui().MouseMode_Combo->setText(QStringLiteral("Mouse Event"));
    EXPECT_EQ(output("C0 02 01 "), "joystick 0,0,0, move 20,-10");
    rig.ui().MouseMode_Combo->setText(QStringLiteral("Joystick"));
    EXPECT_EQ(output("C3 3F 00 "), "joystick -80,0,0");

    // What the tracker sent as it stopped is where the head was then.
    toggle();
    rig.serial().receive("C0 02 01 ");
    toggle();
    EXPECT_EQ(output({}), "joystick 0,0,0");
    EXPECT_EQ(output("C3 3F 00 "), "joystick -80,0,0");
    // Without a tracker set up the axes rest at the centre; once it is set
    // up again, its first cycle is passed over.
    rig.serial().ackReply = "NO\r";
    rig.ui().Magnetic->box()->setText(QStringLiteral("5"));
    EXPECT_EQ(output({}), "joystick 0,0,0");
    rig.serial().ackReply = "OK\r";
    for (int cycle = 0; cycle < 200 && rig.accepted().isEmpty(); ++cycle)
        EXPECT_EQ(output("C3 3F 00 "), "");
    EXPECT_EQ(output("C0 02 01 "), "joystick 160,-80,0");
    rig.fakes.process().askToEnd();
    EXPECT_EQ(rig.fakes.log.joined(), "joystick 0,0,0, joystick gone, write !, write !R<CR>, close, end 0");
}

// Without /dev/uinput the status line says that the joystick needs it, with
// the commands that give it, and a box says it once.
TEST(TrackingCycle, AJoystickThatCannotBeMadeIsAProblemWithItsFix)
{
    Rig rig;
    rig.configureAndStart(false, {"0", "10", "0", "10", "0", "10"});
    rig.fakes.joystick().refusal = QStringLiteral("/dev/uinput cannot be opened for writing (Permission denied)");
    rig.fakes.platform.input.uinputFix = QStringLiteral("A udev rule gives access. Run:\n  sudo udevadm trigger\n");
    StatusStrip& line = *rig.form().findChild<StatusStrip*>(QStringLiteral("Status_Line"));
    const QString problem = QStringLiteral("The joystick needs write access to /dev/uinput: run sudo udevadm trigger");
    for (const char* mode : {"Joystick", "Mouse Event", "Joystick"}) {
        rig.ui().MouseMode_Combo->setText(QString::fromLatin1(mode));
        rig.feed("C3 3F 00 ");
        EXPECT_EQ(line.toolTip() == problem, mode[0] == 'J') << line.toolTip().toStdString();
    }
    ASSERT_EQ(rig.fakes.dialogs().boxes.size(), 1);
    EXPECT_TRUE(rig.fakes.dialogs().boxes[0].text.contains(QStringLiteral("  sudo udevadm trigger")));
    // Refused for another reason than access: the reason alone.
    rig.fakes.platform.input.uinputFix.clear();
    rig.ui().MouseMode_Combo->setText(QStringLiteral("Mouse Event"));
    rig.cycle();
    rig.ui().MouseMode_Combo->setText(QStringLiteral("Joystick"));
    rig.cycle();
    EXPECT_EQ(line.toolTip(), QStringLiteral("The joystick cannot be made: ") + rig.fakes.joystick().refusal);
    EXPECT_TRUE(rig.fakes.log.matching(QStringLiteral("joystick")).isEmpty());
    // Given its access, it is made at the next Start.
    rig.fakes.joystick().refusal.clear();
    for (int toggle = 0; toggle < 2; ++toggle) {
        rig.clock().advance(2000);
        rig.clickStart();
    }
    EXPECT_TRUE(rig.fakes.joystick().made());
}

// Each stage that rounds a value runs only when it is on: the monitor while its
// frame is visible, the mouse while its mode is not "Disabled".
TEST(TrackingCycle, AnOverflowEndsTheLoopWhileTheWindowsServeEventsUntilClosed)
{
    for (const bool monitor : {true, false}) {
        SCOPED_TRACE(monitor ? "monitor only" : "mouse only");
        Rig rig;
        rig.clock().at(190, [&] {                        // in the second cycle, the tracker set up
            rig.tune({"0", "40", "0", "10", "0", "10"}); // seven packets of 1280 at speed 40: 35840
            if (monitor)
                rig.showMonitor();
            rig.ui().MouseMode_Combo->setText(QString::fromLatin1(monitor ? "Disabled" : "Mouse Event"));
            rig.clickStart();
            rig.serial().receive(QByteArray("C2 00 00 ").repeated(7));
            QTimer::singleShot(50, [&] { rig.form().close(); });
        });
        EXPECT_EQ(rig.engine.Main(), 0);
        ASSERT_EQ(rig.fakes.dialogs().boxes.size(), 1) << rig.fakes.log.joined().toStdString();
        EXPECT_EQ(rig.fakes.dialogs().boxes[0].text, test::errorReport(6, QStringLiteral("Overflow")));
        EXPECT_EQ(rig.clock().sleeps().size(), 6) << "no cycle after the fault";
        EXPECT_TRUE(rig.fakes.log.matching(QStringLiteral("move")).isEmpty());
        EXPECT_EQ(rig.lastLines(4), test::kShutdownLines);
    }
}

} // namespace
} // namespace corvane
